#include "conditions/html_text.h"

#include <gtest/gtest.h>

namespace cirrodex {
namespace {

struct HtmlCase {
  std::string doc;
  std::string text;
  bool error;
};

TEST(HtmlText, CharacterDataOnly) {
  const HtmlCase cases[] = {
      {"<p>Temp</p> <b>72</b>", "Temp 72", false},
      {"<td class=\"a>b\" id='c>d'>x</td>", "x", false},  // quoted ">" does not end a tag
      {"a<!-- <b>hidden</b> -->b", "ab", false},
      {"<!DOCTYPE html><?xml version=\"1.0\"?>t", "t", false},
      {"&nbsp;&#176;&amp;", "&nbsp;&#176;&amp;", false},  // entities stay undecoded
      {"\n  <br/>\t", "\n  \t", false},                   // whitespace is kept
      {"a < b <3 c", "a < b <3 c", false},                // "<" that starts no markup
      {"<script>if (a<b) x='</p>';</script>z", "if (a<b) x='</p>';z", false},
      {"<SCRIPT>x</scripts></Script >y", "x</scripts>y", false},
      {"<![CDATA[<raw>]]>", "<raw>", false},
      {std::string("a\0b\xB0", 4), std::string("a\0b\xB0", 4), false},
      // Markup left open: the text so far is kept and the error reported.
      {"ok<!-- never closed", "ok", true},
      {"ok<td class=\"x", "ok", true},
      {"ok</td", "ok", true},
      {"ok<script>var a;", "okvar a;", true},
      {"ok<![CDATA[x", "ok", true},
  };
  for (const auto& c : cases) {
    const HtmlText r = html_character_data(c.doc);
    EXPECT_EQ(r.text, c.text) << c.doc;
    EXPECT_EQ(r.error, c.error) << c.doc;
  }
}

TEST(HtmlText, LargeDocument) {
  std::string doc;
  for (int i = 0; i < 200000; ++i) doc += "<td>v</td><script>s</script>";
  const HtmlText r = html_character_data(doc);
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.text.size(), 400000u);
}

}  // namespace
}  // namespace cirrodex
