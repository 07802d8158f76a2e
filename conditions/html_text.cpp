#include "conditions/html_text.h"

#include "platform/text.h"

namespace cirrodex {

namespace {

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_name_char(char c) { return is_alpha(c) || text::is_digit(c) || c == '-' || c == ':' || c == '_' || c == '.'; }
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Position of needle at or after from, ignoring ASCII case; npos when absent.
std::size_t ifind(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i)
    if (text::iequals(hay.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view doc) : doc_(doc) { out_.text.reserve(doc.size()); }

  HtmlText run() {
    while (i_ < doc_.size() && !out_.error) {
      const std::size_t lt = doc_.find('<', i_);
      if (lt == std::string_view::npos) {
        out_.text.append(doc_.substr(i_));
        break;
      }
      out_.text.append(doc_.substr(i_, lt - i_));
      i_ = lt;
      markup();
    }
    return std::move(out_);
  }

 private:
  bool at(std::string_view s) const { return doc_.substr(i_, s.size()) == s; }

  void fail(const char* reason) {
    out_.error = true;
    out_.reason = reason;
    i_ = doc_.size();
  }

  // Skips to just past the terminator searched from `from`; false at the end.
  bool skip_past(std::string_view terminator, std::size_t from) {
    const std::size_t end = doc_.find(terminator, from);
    if (end == std::string_view::npos) return false;
    i_ = end + terminator.size();
    return true;
  }

  void markup() {
    const char next = i_ + 1 < doc_.size() ? doc_[i_ + 1] : '\0';
    if (at("<!--")) {
      if (!skip_past("-->", i_ + 4)) fail("comment not closed");
    } else if (at("<![CDATA[")) {
      const std::size_t start = i_ + 9;
      const std::size_t end = doc_.find("]]>", start);
      if (end == std::string_view::npos) return fail("CDATA section not closed");
      out_.text.append(doc_.substr(start, end - start));
      i_ = end + 3;
    } else if (next == '!' || next == '?') {
      if (!skip_past(">", i_ + 2)) fail("declaration not closed");
    } else if (next == '/' && i_ + 2 < doc_.size() && is_alpha(doc_[i_ + 2])) {
      if (!skip_past(">", i_ + 2)) fail("end tag not closed");
    } else if (is_alpha(next)) {
      start_tag();
    } else {
      out_.text.push_back('<');  // not markup: "a < b"
      ++i_;
    }
  }

  void start_tag() {
    std::size_t j = i_ + 1;
    while (j < doc_.size() && is_name_char(doc_[j])) ++j;
    const std::string name = text::lower(doc_.substr(i_ + 1, j - i_ - 1));
    // Attributes may quote a ">", so walk them instead of searching for it.
    char quote = 0;
    bool self_closing = false;
    for (; j < doc_.size(); ++j) {
      const char c = doc_[j];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        self_closing = j > 0 && doc_[j - 1] == '/';
        break;
      }
    }
    if (j >= doc_.size()) return fail("tag not closed");
    i_ = j + 1;
    if (!self_closing && (name == "script" || name == "style")) raw_text(name);
  }

  // Script and style content runs to the matching end tag without markup.
  void raw_text(const std::string& name) {
    const std::string close = "</" + name;
    std::size_t from = i_;
    while (true) {
      const std::size_t end = ifind(doc_, close, from);
      if (end == std::string_view::npos) {
        out_.text.append(doc_.substr(i_));
        return fail("script or style element not closed");
      }
      const std::size_t after = end + close.size();
      if (after >= doc_.size() || is_space(doc_[after]) || doc_[after] == '>' || doc_[after] == '/') {
        out_.text.append(doc_.substr(i_, end - i_));
        i_ = end;
        return;
      }
      from = end + 1;
    }
  }

  std::string_view doc_;
  std::size_t i_ = 0;
  HtmlText out_;
};

}  // namespace

HtmlText html_character_data(std::string_view document) { return Tokenizer(document).run(); }

}  // namespace cirrodex
