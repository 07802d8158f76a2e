#pragma once
// What the About window says about the machine: memory from the text of
// /proc/meminfo, the screen, the colour depth and the local host address,
// each as the line the window shows. Plain C++ so that the tests can feed
// the texts and lists that the system would give.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/version.h"

namespace cirrodex {

struct MemoryStatus {
  std::uint64_t total_bytes = 0;
  // What programs can still get: MemAvailable, or MemFree on kernels
  // older than 3.14 that do not report it.
  std::uint64_t free_bytes = 0;
};

// Reads MemTotal, MemAvailable and MemFree from the text of /proc/meminfo.
// A line counts only in the kernel's form "Name:   digits kB"; a cut,
// garbled or overflowing line is skipped as if it were missing, and the
// first readable line of each name wins. Missing values are 0.
MemoryStatus parse_meminfo(std::string_view text);

// The whole of the file, or empty when it cannot be read.
std::string read_meminfo_file(const std::string& path = "/proc/meminfo");

// Free memory in whole percent of the total (rounded down, 0 to 100);
// 0 when the total is unknown.
int free_memory_percent(const MemoryStatus& memory);

enum class GaugeColour { Lime, Red };
// The gauge turns red once free memory is down to 4 % or less.
GaugeColour gauge_colour(int free_percent);

// "K bytes" here are thousands of bytes (bytes / 1000, rounded down), the
// unit the window has always named; not kibibytes.
std::string free_ram_text(const MemoryStatus& memory);
std::string total_ram_text(const MemoryStatus& memory);

std::string screen_resolution_text(int width, int height);

// 2 to the power of bits per pixel times planes, in exact decimal digits: a
// 32-bit screen has 4294967296 colours and even a 64-bit one is no trouble.
// Negative factors count as 0.
std::string colour_count(int bits_per_pixel, int planes);
std::string colour_depth_text(int bits_per_pixel, int planes);

// "(unknown)" stands in for an empty address.
std::string local_host_text(std::string_view address);

std::string version_text();

// One network interface as the system lists it, reduced to what choosing
// the local host address needs.
struct NetworkInterfaceInfo {
  bool up = false;
  bool loopback = false;
  std::vector<std::string> ipv4_addresses;  // dotted quads, in the system's order
};

// The first IPv4 address, outside 127.0.0.0/8, of the first interface that
// is up and not a loopback; empty when there is none.
std::string pick_local_host(const std::vector<NetworkInterfaceInfo>& interfaces);

}  // namespace cirrodex
