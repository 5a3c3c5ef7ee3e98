#pragma once

#include <cstdlib>
#include <memory>

// An xcb reply, which the caller must free with free(), held so that it is
// freed on every path.
template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XcbReply<T> OwnReply(T* reply) {
  return XcbReply<T>(reply, &std::free);
}
