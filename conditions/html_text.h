#pragma once
// The character data of an HTML document: everything between tags, in
// document order, with no separator added. Tags, attributes, comments,
// declarations and processing instructions contribute nothing; whitespace is
// kept as it is; entity references are left undecoded ("&nbsp;" stays
// "&nbsp;"). The content of script and style elements and of CDATA sections
// is character data too. A "<" that cannot start markup ("a < b") is itself
// character data.

#include <string>
#include <string_view>

namespace cirrodex {

struct HtmlText {
  std::string text;    // the character data gathered (up to the error, if any)
  bool error = false;  // markup left open at the end of the document
  std::string reason;  // what was left open, for diagnostics
};

HtmlText html_character_data(std::string_view document);

}  // namespace cirrodex
