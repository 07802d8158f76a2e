#include "platform/settings_file_format.h"

#include <algorithm>

#include "platform/text.h"

namespace cirrodex {

// The header is part of the file format: keep its wording stable.
static constexpr std::string_view kHeader =
    "; Cirrodex settings. Cirrodex rewrites this file whenever a setting changes,\n"
    "; so comments added here are not kept. Text is UTF-8; \\\\ is a backslash and\n"
    "; \\n, \\r, \\t and \\xHH stand for line breaks, tabs and other special bytes.\n";

const std::string* SettingsSection::find(std::string_view key) const {
  const auto it =
      std::find_if(entries_.begin(), entries_.end(), [&](const SettingsEntry& e) { return text::iequals(e.key, key); });
  return it == entries_.end() ? nullptr : &it->value;
}

void SettingsSection::set(std::string_view key, std::string_view value) {
  for (SettingsEntry& e : entries_) {
    if (text::iequals(e.key, key)) {
      e.value = value;
      return;
    }
  }
  entries_.push_back({std::string(key), std::string(value)});
}

const SettingsSection* SettingsDocument::find_section(std::string_view name) const {
  const auto it = std::find_if(sections_.begin(), sections_.end(),
                               [&](const SettingsSection& s) { return text::iequals(s.name(), name); });
  return it == sections_.end() ? nullptr : &*it;
}

SettingsSection& SettingsDocument::section(std::string_view name) {
  for (SettingsSection& s : sections_) {
    if (text::iequals(s.name(), name)) return s;
  }
  return sections_.emplace_back(std::string(name));
}

const std::string* SettingsDocument::find(std::string_view section, std::string_view key) const {
  const SettingsSection* s = find_section(section);
  return s == nullptr ? nullptr : s->find(key);
}

bool SettingsDocument::erase_section(std::string_view name) {
  const auto it = std::find_if(sections_.begin(), sections_.end(),
                               [&](const SettingsSection& s) { return text::iequals(s.name(), name); });
  if (it == sections_.end()) return false;
  sections_.erase(it);
  return true;
}

std::string SettingsParseError::describe() const { return "line " + std::to_string(line) + ": " + reason; }

namespace {

enum class Part { Section, Key, Value };

void put_hex(std::string& out, unsigned char c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[c >> 4];
  out += kDigits[c & 0xF];
}

// Escapes whatever would not read back as itself: control bytes, blanks that
// trimming would eat, and the characters that give a line its meaning.
std::string encode(std::string_view s, Part part) {
  std::string out;
  out.reserve(s.size() + 8);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const bool at_edge = i == 0 || i + 1 == s.size();
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c == ' ' && at_edge)) {
      put_hex(out, c);
    } else if (part == Part::Key && (c == '=' || (i == 0 && (c == ';' || c == '#' || c == '[')))) {
      put_hex(out, c);
    } else if (part == Part::Section && c == ']') {
      put_hex(out, c);
    } else if (c >= 0xA0) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The escapes back into bytes. Escapes are plain ASCII, which the UTF-8 to
// Latin-1 step leaves alone, so that step can run first.
std::optional<std::string> decode(std::string_view raw, std::string& reason) {
  const std::string s = text::utf8_to_latin1(raw);
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (i + 1 == s.size()) {
      reason = "backslash at the end of a name or value";
      return std::nullopt;
    }
    const char e = s[++i];
    if (e == '\\') {
      out += '\\';
    } else if (e == 'n') {
      out += '\n';
    } else if (e == 'r') {
      out += '\r';
    } else if (e == 't') {
      out += '\t';
    } else if (e == 'x') {
      const int hi = i + 1 < s.size() ? hex_value(s[i + 1]) : -1;
      const int lo = i + 2 < s.size() ? hex_value(s[i + 2]) : -1;
      if (hi < 0 || lo < 0) {
        reason = "bad escape \\x (two hexadecimal digits must follow)";
        return std::nullopt;
      }
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      const bool printable = e > ' ' && e < 0x7F;
      reason = printable ? std::string("bad escape \\") + e : std::string("bad escape after a backslash");
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace

SettingsParseResult parse_settings(std::string_view input) {
  SettingsParseResult result;
  const auto fail = [&](std::size_t line, std::string reason) {
    result.document = SettingsDocument();
    result.error = SettingsParseError{line, std::move(reason)};
    return result;
  };
  if (input.starts_with("\xEF\xBB\xBF")) input.remove_prefix(3);

  SettingsSection* current = nullptr;
  std::string reason;
  std::size_t line_no = 0;
  std::size_t pos = 0;
  while (pos <= input.size()) {
    std::size_t end = input.find('\n', pos);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view raw = input.substr(pos, end - pos);
    pos = end + 1;
    ++line_no;
    if (raw.find('\0') != std::string_view::npos) return fail(line_no, "NUL byte");
    const std::string line = text::trim(raw);  // also drops the CR of CRLF
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.size() < 2 || line.back() != ']') return fail(line_no, "section line without a closing ]");
      const auto name = decode(text::trim(std::string_view(line).substr(1, line.size() - 2)), reason);
      if (!name) return fail(line_no, reason);
      current = &result.document.section(*name);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return fail(line_no, "not a [section], key=value or comment line");
    if (current == nullptr) return fail(line_no, "key=value line before the first [section]");
    const auto key = decode(text::trim(std::string_view(line).substr(0, eq)), reason);
    if (!key) return fail(line_no, reason);
    const auto value = decode(text::trim(std::string_view(line).substr(eq + 1)), reason);
    if (!value) return fail(line_no, reason);
    current->set(*key, *value);
  }
  return result;
}

std::string serialize_settings(const SettingsDocument& document) {
  std::string out(kHeader);
  for (const SettingsSection& s : document.sections()) {
    out += "\n[" + encode(s.name(), Part::Section) + "]\n";
    for (const SettingsEntry& e : s.entries()) {
      out += encode(e.key, Part::Key);
      out += '=';
      out += encode(e.value, Part::Value);
      out += '\n';
    }
  }
  return out;
}

}  // namespace cirrodex
