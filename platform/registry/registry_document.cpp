#include "platform/registry/registry_document.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/registry/registry.h"
#include "platform/sys/utf8_truncate.h"

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The name a line claims, whether or not its value can be read.
std::string_view NameOfLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';') return {};
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  return Trim(line.substr(0, equals));
}

// What may follow a value: blanks and perhaps a comment.
bool IsLineEnd(std::string_view rest) {
  rest = Trim(rest);
  return rest.empty() || rest.front() == '#';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> ParseDword(std::string_view text) {
  text = Trim(text);
  const size_t comment = text.find('#');
  if (comment != std::string_view::npos) text = Trim(text.substr(0, comment));
  bool negative = false;
  int base = 10;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (negative ? number > 0x80000000u : number > 0xFFFFFFFFu) return {};
  const uint32_t value = negative ? uint32_t(0u - uint32_t(number)) : uint32_t(number);
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[size_t(i)] = char((value >> (8 * i)) & 0xFF);
  return data;
}

std::optional<std::string> ParseBinary(std::string_view text) {
  std::string data;
  int high = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '#' && high < 0) break;
    if (c == ' ' || c == '\t' || c == ',') {
      if (high >= 0) return {};  // half a byte
      continue;
    }
    const int digit = HexDigit(c);
    if (digit < 0) return {};
    if (high < 0) {
      high = digit;
    } else {
      data += char(high * 16 + digit);
      high = -1;
    }
  }
  if (high >= 0) return {};
  return data;
}

std::optional<std::string> ParseQuoted(std::string_view text) {
  std::string data;
  size_t i = 1;
  for (; i < text.size() && text[i] != '"'; ++i) {
    if (text[i] != '\\') {
      data += text[i];
      continue;
    }
    if (++i >= text.size()) return {};
    switch (text[i]) {
      case '\\': data += '\\'; break;
      case '"': data += '"'; break;
      case 'n': data += '\n'; break;
      case 'r': data += '\r'; break;
      case 't': data += '\t'; break;
      case 'x': {
        if (i + 2 >= text.size()) return {};
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return {};
        data += char(high * 16 + low);
        i += 2;
        break;
      }
      default: return {};
    }
  }
  if (i >= text.size() || !IsLineEnd(text.substr(i + 1))) return {};
  return data;
}

// A quoted string takes escapes; an unquoted one is the rest of the line as
// it stands, which is what a person typing a word expects.
std::optional<std::string> ParseString(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '"') return ParseQuoted(text);
  return std::string(text);
}

struct TypeWord {
  std::string_view word;
  uint32_t type;
};
constexpr TypeWord kTypeWords[] = {{"sz", REG_SZ}, {"dword", REG_DWORD}, {"binary", REG_BINARY}};

std::string EscapeString(std::string_view data) {
  std::string text = "\"";
  for (size_t i = 0; i < data.size();) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    const size_t sequence = Utf8SequenceLength(data.data(), i, data.size());
    if (c == '\\' || c == '"') {
      text += '\\';
      text += char(c);
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c == '\t') {
      text += "\\t";
    } else if (c < 0x20 || c == 0x7F || sequence == 0) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      text += escaped;
    } else {
      text.append(data.substr(i, sequence));
      i += sequence;
      continue;
    }
    ++i;
  }
  return text + '"';
}

std::string FormatData(const RegistryValue& value) {
  if (value.type == REG_DWORD && value.data.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | uint8_t(value.data[size_t(i)]);
    return "dword " + std::to_string(number);
  }
  if (value.type == REG_SZ) return "sz " + EscapeString(value.data);
  std::string text = "binary";
  for (const char c : value.data) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(c));
    text += hex;
  }
  return text;
}

}  // namespace

bool IsWritableValueName(std::string_view name) {
  if (name.empty() || Trim(name) != name) return false;
  if (name.front() == '#' || name.front() == ';') return false;
  return name.find_first_of("=\n\r") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::optional<RegistryValue> ParseRegistryLine(std::string_view line) {
  const std::string_view name = NameOfLine(line);
  if (name.empty()) return {};
  std::string_view rest = Trim(line.substr(line.find('=') + 1));
  const size_t wordEnd = std::min(rest.find_first_of(kBlanks), rest.size());
  const std::string_view word = rest.substr(0, wordEnd);
  rest.remove_prefix(wordEnd);
  for (const TypeWord& known : kTypeWords) {
    if (!SameName(word, known.word)) continue;
    std::optional<std::string> data = known.type == REG_SZ      ? ParseString(rest)
                                      : known.type == REG_DWORD ? ParseDword(rest)
                                                                : ParseBinary(rest);
    if (!data) return {};
    return RegistryValue{std::string(name), known.type, std::move(*data)};
  }
  return {};
}

std::string FormatRegistryLine(const RegistryValue& value) {
  return value.name + " = " + FormatData(value);
}

RegistryDocument RegistryDocument::Parse(std::string_view text) {
  RegistryDocument document;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    document.lines_.push_back(Line{std::string(line), ParseRegistryLine(line)});
  }
  return document;
}

std::string RegistryDocument::Format() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += '\n';
  }
  return text;
}

const RegistryValue* RegistryDocument::Find(std::string_view name) const {
  for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
    if (line->value && SameName(line->value->name, name)) return &*line->value;
  }
  return nullptr;
}

void RegistryDocument::Set(RegistryValue value) {
  const std::string name = value.name;
  const auto named = [&](const Line& line) { return SameName(NameOfLine(line.text), name); };
  const auto first = std::find_if(lines_.begin(), lines_.end(), named);
  if (first == lines_.end()) {
    lines_.push_back(Line{FormatRegistryLine(value), std::move(value)});
    return;
  }
  first->text = FormatRegistryLine(value);
  first->value = std::move(value);
  lines_.erase(std::remove_if(std::next(first), lines_.end(), named), lines_.end());
}

std::vector<std::pair<int, std::string>> RegistryDocument::DamagedLines() const {
  std::vector<std::pair<int, std::string>> damaged;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view trimmed = Trim(lines_[i].text);
    if (lines_[i].value || trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';') {
      continue;
    }
    damaged.emplace_back(int(i + 1), lines_[i].text);
  }
  return damaged;
}

void RegistryDocument::PrependComment(std::string_view text) {
  std::vector<Line> comment;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    comment.push_back(Line{line.empty() ? "#" : "# " + std::string(line), std::nullopt});
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  lines_.insert(lines_.begin(), comment.begin(), comment.end());
}
