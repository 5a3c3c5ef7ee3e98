#pragma once
#include "platform/ref.h"
#include "platform/rm/rm_types.h"

// A light hung on a frame: ambient light everywhere, or directional light
// shining along its frame's +z.
class RMLight : public RefCounted {
 public:
  RMLight(D3DRMLIGHTTYPE type, D3DVALUE r, D3DVALUE g, D3DVALUE b)
      : type_(type), r_(r), g_(g), b_(b) {}

  D3DRMLIGHTTYPE GetType() const { return type_; }
  bool SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
    r_ = r, g_ = g, b_ = b;
    return true;
  }
  D3DVALUE Red() const { return r_; }
  D3DVALUE Green() const { return g_; }
  D3DVALUE Blue() const { return b_; }

 private:
  D3DRMLIGHTTYPE type_;
  D3DVALUE r_, g_, b_;
};
