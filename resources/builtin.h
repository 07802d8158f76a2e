#pragma once
// The program's built-in resources (the default skin, ...), compiled in.

#include <optional>
#include <string_view>

namespace cirrodex {

// The bytes of a resource by its name and type ("SKIN", "INI"), names as
// written (the callers fold case where they must).
std::optional<std::string_view> builtin_resource(std::string_view name, std::string_view type);

}  // namespace cirrodex
