#pragma once
#include <cstddef>

// The bytes of the well-formed UTF-8 character at text[at], or 0 when the
// byte there does not start one.
size_t Utf8SequenceLength(const char* text, size_t at, size_t length);

// The longest prefix of text[0, length) that fits in `limit` bytes and does not
// end inside a UTF-8 character. Bytes that are not UTF-8 count as characters
// of their own, so nothing is lost that need not be.
size_t Utf8PrefixLength(const char* text, size_t length, size_t limit);

// Copies the prefix into a buffer of `size` bytes and terminates it; returns
// the bytes copied.
size_t CopyUtf8Truncated(const char* text, size_t length, char* buffer, size_t size);
