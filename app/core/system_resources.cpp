#include "app/core/system_resources.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>

#include "platform/files.h"
#include "platform/text.h"

namespace cirrodex {

namespace {

// 100 times a 64-bit amount does not fit in 64 bits on a machine with more
// than 184 petabytes; the wide type keeps the percentage exact all the same.
__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The byte count of the value part of one line ("   16315324 kB"), or
// nothing when it is not in the kernel's form or does not fit.
std::optional<std::uint64_t> kilobyte_value(std::string_view rest) {
  std::size_t i = 0;
  while (i < rest.size() && is_blank(rest[i])) ++i;
  const std::size_t digits_start = i;
  std::uint64_t value = 0;
  for (; i < rest.size() && text::is_digit(rest[i]); ++i) {
    const auto digit = static_cast<std::uint64_t>(rest[i] - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (i == digits_start) return std::nullopt;
  const std::size_t blanks_start = i;
  while (i < rest.size() && is_blank(rest[i])) ++i;
  // Without the unit the line may have been cut in the middle of the number.
  if (i == blanks_start || !text::iequals(text::trim(rest.substr(i)), "kB")) return std::nullopt;
  if (value > kMax / 1024) return std::nullopt;
  return value * 1024;
}

}  // namespace

MemoryStatus parse_meminfo(std::string_view text) {
  std::optional<std::uint64_t> total, available, free;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));

    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, colon);
    std::optional<std::uint64_t>* slot = name == "MemTotal"       ? &total
                                         : name == "MemAvailable" ? &available
                                         : name == "MemFree"      ? &free
                                                                  : nullptr;
    if (slot == nullptr || slot->has_value()) continue;
    *slot = kilobyte_value(line.substr(colon + 1));
  }
  MemoryStatus status;
  status.total_bytes = total.value_or(0);
  status.free_bytes = available ? *available : free.value_or(0);
  return status;
}

std::string read_meminfo_file(const std::string& path) { return read_whole_file(path).bytes.value_or(std::string()); }

int free_memory_percent(const MemoryStatus& memory) {
  if (memory.total_bytes == 0) return 0;
  const std::uint64_t free = std::min(memory.free_bytes, memory.total_bytes);
  return static_cast<int>(static_cast<Wide>(free) * 100 / memory.total_bytes);
}

GaugeColour gauge_colour(int free_percent) { return free_percent > 4 ? GaugeColour::Lime : GaugeColour::Red; }

std::string free_ram_text(const MemoryStatus& memory) {
  return "Free RAM: " + std::to_string(memory.free_bytes / 1000) + " K bytes";
}

std::string total_ram_text(const MemoryStatus& memory) {
  return "Total RAM: " + std::to_string(memory.total_bytes / 1000) + " K bytes";
}

std::string screen_resolution_text(int width, int height) {
  return "Screen Resolution: " + std::to_string(width) + "x" + std::to_string(height);
}

std::string colour_count(int bits_per_pixel, int planes) {
  // Far beyond any display; it only keeps a nonsense depth from running long.
  constexpr std::int64_t kLargestPower = 1024;
  const std::int64_t power =
      std::clamp(std::int64_t{std::max(bits_per_pixel, 0)} * std::max(planes, 0), std::int64_t{0}, kLargestPower);
  // Decimal digits, least significant first, doubled power times.
  std::vector<unsigned char> digits{1};
  for (std::int64_t n = 0; n < power; ++n) {
    unsigned carry = 0;
    for (unsigned char& d : digits) {
      const unsigned doubled = d * 2u + carry;
      d = static_cast<unsigned char>(doubled % 10);
      carry = doubled / 10;
    }
    if (carry != 0) digits.push_back(static_cast<unsigned char>(carry));
  }
  std::string out;
  out.reserve(digits.size());
  std::transform(digits.rbegin(), digits.rend(), std::back_inserter(out),
                 [](unsigned char d) { return static_cast<char>('0' + d); });
  return out;
}

std::string colour_depth_text(int bits_per_pixel, int planes) {
  return "Color Depth: " + colour_count(bits_per_pixel, planes) + " colors.";
}

std::string local_host_text(std::string_view address) {
  return "Your local Host is: " + (address.empty() ? std::string("(unknown)") : std::string(address));
}

std::string version_text() { return "Version " + std::string(kProgramVersion); }

std::string pick_local_host(const std::vector<NetworkInterfaceInfo>& interfaces) {
  for (const NetworkInterfaceInfo& interface : interfaces) {
    if (!interface.up || interface.loopback) continue;
    for (const std::string& address : interface.ipv4_addresses)
      if (!address.empty() && address.rfind("127.", 0) != 0) return address;
  }
  return {};
}

}  // namespace cirrodex
