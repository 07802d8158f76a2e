#include "platform/text.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace cirrodex {
namespace {

TEST(TextLines, SplitsOnLineBreaksOfEitherKind) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(text::lines(""), V{});
  EXPECT_EQ(text::lines("a\r\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(text::lines("a\n\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(text::lines("\n"), V{""});
}

}  // namespace
}  // namespace cirrodex
