#include "settings/registry_words.h"

namespace {

// Only A-Z fold: the words are ASCII and a stored byte above 127 must never
// match one by accident of a locale.
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameWord(const char* stored, const char* word) {
  for (; *stored && *word; ++stored, ++word) {
    if (UpperAscii(*stored) != UpperAscii(*word)) return false;
  }
  return *stored == *word;
}

}  // namespace

int32_t CodeOfWord(const WordOption& option, const char* word) {
  for (int32_t i = 0; i < option.acceptedCount; ++i) {
    if (SameWord(word, option.accepted[i].word)) return option.accepted[i].code;
  }
  return option.otherwise;
}

const char* WordOfCode(const WordOption& option, int32_t code) {
  if (code < 0 || code >= option.writtenCount) return nullptr;
  return option.written[code];
}

bool IsKnownWord(const WordOption& option, const char* word) {
  for (int32_t i = 0; i < option.acceptedCount; ++i) {
    if (SameWord(word, option.accepted[i].word)) return true;
  }
  for (int32_t i = 0; i < option.writtenCount; ++i) {
    if (SameWord(word, option.written[i])) return true;
  }
  return false;
}
