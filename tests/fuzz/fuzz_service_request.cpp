// Arbitrary bytes as a request head to cirrodex-service, and as a path to
// its router: nothing may crash, and nothing dotted, percent-encoded or
// with control bytes may ever reach a document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/request.h"

using namespace cirrodex::service;

namespace {

void check_route(std::string_view path) {
  const Route r = route(path);
  if (std::holds_alternative<Refusal>(r) || std::holds_alternative<NotFoundRoute>(r)) return;
  if (path.size() > kMaxPathBytes || path.find("..") != std::string_view::npos ||
      path.find("/./") != std::string_view::npos || path.find('%') != std::string_view::npos ||
      path.find('\\') != std::string_view::npos)
    std::abort();
  for (char c : path)
    if (static_cast<unsigned char>(c) < 32 || c == 127) std::abort();
  if (const auto* c = std::get_if<ConditionsRoute>(&r)) {
    if (const auto* us = std::get_if<UsCity>(&c->place)) {
      if (us->state.size() != 2 || us->city.empty() || us->city.find('/') != std::string::npos) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const HeadParse p = parse_request_head(bytes);
  if (p.state == HeadParse::State::Complete) {
    if (p.head_bytes == 0 || p.head_bytes > size || p.head_bytes > kMaxHeadBytes) std::abort();
    if (p.head.headers.size() > kMaxHeaders || p.head.target.size() > kMaxPathBytes) std::abort();
    check_route(p.head.path);
  } else if (p.state == HeadParse::State::Refused) {
    if (p.refusal.status < 400 || p.refusal.status > 599) std::abort();
  }
  check_route(bytes);
  return 0;
}
