// Whatever the settings reader accepts must come back unchanged through the
// writer, and whatever the writer writes must read back as the same model.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/settings_file_format.h"

namespace {

// Serialize, parse again and demand the same model. Names must keep their
// spelling exactly (which implies the case-blind match) and values every byte.
void check_round_trip(const cirrodex::SettingsDocument& doc) {
  const std::string text = cirrodex::serialize_settings(doc);
  const cirrodex::SettingsParseResult again = cirrodex::parse_settings(text);
  if (again.error || !(again.document == doc)) std::abort();
  if (cirrodex::serialize_settings(again.document) != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const cirrodex::SettingsParseResult parsed = cirrodex::parse_settings(input);
  if (parsed.error) {
    if (parsed.error->line == 0 || !parsed.document.sections().empty()) std::abort();
  } else {
    check_round_trip(parsed.document);
  }

  // The same bytes as a model built directly: names and values of any bytes,
  // including those a parsed file rarely holds (blanks at the ends, NUL).
  FuzzedDataProvider provider(data, size);
  cirrodex::SettingsDocument built;
  while (provider.remaining_bytes() > 0) {
    const std::string section = provider.ConsumeRandomLengthString(16);
    const std::string key = provider.ConsumeRandomLengthString(16);
    built.set(section, key, provider.ConsumeRandomLengthString(64));
  }
  check_round_trip(built);
  return 0;
}
