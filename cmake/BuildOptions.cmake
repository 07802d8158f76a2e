# One interface target carries the language level, warnings and sanitizer flags;
# every target of the project links it.
add_library(cirrodex_build_options INTERFACE)
target_compile_features(cirrodex_build_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

target_compile_options(cirrodex_build_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Woverloaded-virtual -Wformat=2)
target_compile_definitions(cirrodex_build_options INTERFACE _GLIBCXX_ASSERTIONS)

if(CIRRODEX_WERROR)
  target_compile_options(cirrodex_build_options INTERFACE -Werror)
endif()

if(CIRRODEX_SANITIZE)
  target_compile_options(cirrodex_build_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(cirrodex_build_options INTERFACE -fsanitize=address,undefined)
endif()

# Fuzz builds instrument every library for coverage, not just the fuzz
# targets, so libFuzzer sees the parsers' branches.
if(CIRRODEX_FUZZ)
  target_compile_options(cirrodex_build_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

target_include_directories(cirrodex_build_options INTERFACE ${PROJECT_SOURCE_DIR})
