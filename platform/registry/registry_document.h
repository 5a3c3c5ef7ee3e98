#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One value of a key. A REG_SZ value's data is its bytes without the
// terminating NUL; other types keep their bytes as they are.
struct RegistryValue {
  std::string name;
  uint32_t type = 0;
  std::string data;
};

// The text of one key file, line by line. Lines that are not values (comments,
// blanks, damaged lines) are kept as they were written, so that a save loses
// nothing a person typed.
class RegistryDocument {
public:
  static RegistryDocument Parse(std::string_view text);
  std::string Format() const;

  // The last well-formed line of that name wins: a line appended by hand
  // overrides an earlier one. Names compare without regard to ASCII case.
  const RegistryValue* Find(std::string_view name) const;

  // Replaces the first line of that name (well-formed or not) and drops the
  // others; appends when there is none.
  void Set(RegistryValue value);

  bool Empty() const { return lines_.empty(); }

  // Lines that are neither values nor comments nor blank: their numbers
  // (from 1) and texts, for telling the user what was ignored.
  std::vector<std::pair<int, std::string>> DamagedLines() const;

  // Comment lines ("# " and the text, one per line of it) put before the first line.
  void PrependComment(std::string_view text);

private:
  struct Line {
    std::string text;
    std::optional<RegistryValue> value;
  };
  std::vector<Line> lines_;
};

// A line of the file: "Name = sz \"text\"", "Name = dword 19",
// "Name = binary 00 00 80 3f". Null for comments, blanks and damaged lines.
std::optional<RegistryValue> ParseRegistryLine(std::string_view line);
std::string FormatRegistryLine(const RegistryValue& value);

// Whether a value of this name can be written as a line and read back.
bool IsWritableValueName(std::string_view name);
