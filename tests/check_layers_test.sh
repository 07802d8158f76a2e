#!/usr/bin/env bash
# tools/check-layers on small trees: an include that points up a layer, or
# into a private folder, fails; includes that point down pass.
set -euo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work"/{platform/qt,platform/fakes,conditions,app/core,tests}
printf '#include "platform/text.h"\n#include <string>\n' >"$work/conditions/ok.h"
printf '#include "conditions/ok.h"\n#include "platform/qt/qt_host.h"\n' >"$work/app/window.cpp"
printf '#include "platform/fakes/fake_host.h"\n#include "app/window.h"\n' >"$work/tests/t.cpp"
"$check" "$work" >/dev/null

bad() {
  local file=$1 include=$2 expect=$3
  printf '#include "%s"\n' "$include" >"$work/$file"
  if out=$("$check" "$work" 2>&1); then
    echo "not caught: $file including $include"; exit 1
  fi
  grep -qF "$expect" <<<"$out" || { echo "unexpected report: $out"; exit 1; }
  rm "$work/$file"
}
bad conditions/up.h app/core/retrieval.h "conditions/up.h:1: \"app/core/retrieval.h\" (conditions/ may not use app/core/)"
bad platform/up.cpp conditions/readings.h "platform/ may not use conditions/"
bad app/core/qt.cpp platform/qt/qt_host.h "app/core/ may not use platform/qt/"
bad app/fake.cpp platform/fakes/fake_host.h "app/ may not use platform/fakes/"
echo "check-layers: caught every case"
