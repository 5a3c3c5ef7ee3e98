#include "host/xscreensaver_options.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const char* text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool IsOption(std::string word, const char* name) {
  if (word.rfind("--", 0) == 0) word.erase(0, 1);
  return word == name;
}

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

HWND ParseWindowId(const char* text) {
  if (text == nullptr) return 0;
  std::string word(text);
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    word.erase(0, 2);
  }
  if (word.empty() || word.size() > 10) return 0;
  uint64_t value = 0;
  for (char c : word) {
    int digit = DigitValue(c, base);
    if (digit < 0) return 0;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return value <= 0xFFFFFFFFu ? static_cast<HWND>(value) : 0;
}

XScreenSaverRequest ReadXScreenSaverOptions(const char* arguments, const char* environmentWindow) {
  XScreenSaverRequest request;
  std::vector<std::string> words = Words(arguments);
  bool root = false;
  for (size_t i = 0; i < words.size(); ++i) {
    if (IsOption(words[i], "-root")) {
      root = true;
    } else if (IsOption(words[i], "-window-id")) {
      request.present = true;
      request.window = i + 1 < words.size() ? ParseWindowId(words[i + 1].c_str()) : 0;
      return request;
    }
  }
  if (!root) return request;
  request.present = true;
  if (environmentWindow == nullptr || *environmentWindow == '\0') {
    request.fullScreen = true;
  } else {
    request.window = ParseWindowId(environmentWindow);
  }
  return request;
}
