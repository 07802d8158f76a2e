#pragma once
// The world location tree (continents, countries, states or provinces,
// cities) and what the location chooser does with it: the exact search and
// turning the chosen node into a location context.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locations/location_context.h"

namespace cirrodex {

struct TreeNode {
  std::string text;
  int depth = 0;
  int parent = -1;  // index of the parent node, -1 for the root
};

class LocationTree {
 public:
  // Parses one node per line, indented by one tab per level below the root;
  // throws std::runtime_error naming the line of the first fault.
  static LocationTree parse(std::string_view text);
  static const LocationTree& builtin();

  const std::vector<TreeNode>& nodes() const { return nodes_; }
  std::size_t size() const { return nodes_.size(); }

  // The first node at or after start (depth-first index) whose whole text
  // equals s, ignoring the case of a-z only.
  std::optional<int> find_from(std::string_view s, int start) const;
  // The texts from the root down to the node.
  std::vector<std::string> path(int index) const;
  // The same, each followed by a backslash.
  std::string path_text(int index) const;

 private:
  std::vector<TreeNode> nodes_;
};

// The search's message when nothing matched; next: a Next search.
std::string location_not_found_message(std::string_view s, bool next);

struct LocationChoice {
  enum class Outcome {
    Fetch,         // the context is complete
    SelectError,   // a continent, country or state is still missing: stay open
    EmptyLocation  // nothing chosen: show the chooser again
  };
  Outcome outcome = Outcome::Fetch;
  std::string message;  // the error shown with a beep (not for Fetch)
  LocationContext context;
};

// What OK makes of the selected node (nullopt or 0: the root) and the zip
// box. A zip of two or more characters overrides the tree.
LocationChoice choose_location(const LocationTree& tree, std::optional<int> selected, const std::string& zip);

}  // namespace cirrodex
