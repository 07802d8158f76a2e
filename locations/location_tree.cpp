#include "locations/location_tree.h"

#include <stdexcept>

#include "locations/state_codes.h"
#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

LocationTree LocationTree::parse(std::string_view text) {
  LocationTree tree;
  std::vector<int> last_at_depth;  // the latest node of each depth: the parents of the next
  int number = 0;
  for (const std::string_view line : text::lines(text)) {
    ++number;
    auto fail = [&](const std::string& why) {
      throw std::runtime_error("location tree line " + std::to_string(number) + ": " + why);
    };
    std::size_t depth = 0;
    while (depth < line.size() && line[depth] == '\t') ++depth;
    const std::string_view node = line.substr(depth);
    if (node.empty()) fail("empty node");
    if (tree.nodes_.empty() && depth != 0) fail("the first node must be the root");
    if (!tree.nodes_.empty() && depth == 0) fail("a second root");
    if (depth > last_at_depth.size()) fail("indented more than one level below its parent");
    last_at_depth.resize(depth);
    const int parent = depth == 0 ? -1 : last_at_depth[depth - 1];
    tree.nodes_.push_back({std::string(node), static_cast<int>(depth), parent});
    last_at_depth.push_back(static_cast<int>(tree.nodes_.size()) - 1);
  }
  if (tree.nodes_.empty()) throw std::runtime_error("location tree: no nodes");
  return tree;
}

const LocationTree& LocationTree::builtin() {
  static const LocationTree tree = [] {
    const auto text = builtin_resource("LOCTREE", "TXT");
    if (!text) throw std::runtime_error("the built-in location tree is missing");
    return parse(*text);
  }();
  return tree;
}

std::optional<int> LocationTree::find_from(std::string_view s, int start) const {
  for (int i = start < 0 ? 0 : start; i < static_cast<int>(nodes_.size()); ++i)
    if (text::iequals(nodes_[static_cast<std::size_t>(i)].text, s)) return i;
  return std::nullopt;
}

std::vector<std::string> LocationTree::path(int index) const {
  std::vector<std::string> parts;
  for (int i = index; i >= 0; i = nodes_[static_cast<std::size_t>(i)].parent)
    parts.insert(parts.begin(), nodes_[static_cast<std::size_t>(i)].text);
  return parts;
}

std::string LocationTree::path_text(int index) const {
  std::string text;
  for (const auto& part : path(index)) text += part + "\\";
  return text;
}

std::string location_not_found_message(std::string_view s, bool next) {
  return std::string(next ? "Sorry, next " : "Sorry, ") + "\"" + std::string(s) + "\"" + " was not found. " +
         "Please try to find it in the treeview.  If you " + "still cannot find your location, please e-mail me and " +
         "I'll see if I can add it for you.";
}

LocationChoice choose_location(const LocationTree& tree, std::optional<int> selected, const std::string& zip) {
  LocationChoice choice;
  LocationContext& ctx = choice.context;
  auto error = [&](const char* text) {
    choice.outcome = LocationChoice::Outcome::SelectError;
    choice.message = text;
    return choice;
  };
  // A zip code overrides the tree, so a half-made tree selection does not
  // stand in the way of it.
  if (zip.size() >= 2) {
    ctx.zip = zip;
    ctx.city = zip;
    ctx.state_or_country = ".";
    return choice;
  }
  if (selected && *selected > 0 && *selected < static_cast<int>(tree.size())) {
    const auto parts = tree.path(*selected);  // parts[0] is the root
    const auto part = [&](std::size_t i) { return i < parts.size() ? parts[i] : std::string(); };
    if (part(1).empty()) return error("Error - please select a Continent.");
    if (part(2).empty()) return error("Error - please select a Country.");
    if (part(3).empty()) return error("Error - please select a State.");
    if (parts.size() == 4) {
      ctx.city = part(3);
      ctx.state_or_country = part(2);
      ctx.country = part(1);
    } else {
      ctx.country = part(2);
      ctx.state_or_country = part(3);
      ctx.city = part(4);
    }
    ctx.state_or_country = state_code_from_tree_name(ctx.state_or_country);
  }
  if (ctx.state_or_country.empty() || ctx.city.empty()) {
    choice.outcome = LocationChoice::Outcome::EmptyLocation;
    choice.message = "Please select your location for weather conditions.";
  }
  return choice;
}

}  // namespace cirrodex
