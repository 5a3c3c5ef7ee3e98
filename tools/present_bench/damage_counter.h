#pragma once
#include <xcb/xcb.h>

#include <string>
#include <vector>

// Counts the pictures that reach an X screen, from the server's own reports of
// what was drawn (DAMAGE, one report per rectangle of each drawing request).
// A picture can arrive in several requests (strips, bars beside it), each
// drawing somewhere else; a report that draws over a place the current picture
// already drew starts the next picture.
class DamageCounter {
 public:
  explicit DamageCounter(const std::string& display);
  ~DamageCounter();
  DamageCounter(const DamageCounter&) = delete;
  DamageCounter& operator=(const DamageCounter&) = delete;

  bool Ok() const { return damage_ != 0; }
  // Reads reports until `seconds` have passed; the pictures started meanwhile.
  long Count(double seconds);
  // True when some drawing was reported within `seconds`.
  bool WaitForDrawing(double seconds);

 private:
  bool Overlaps(const xcb_rectangle_t& r) const;
  // Handles the reports that arrived within `seconds`; the pictures they started.
  long Drain(double seconds);

  xcb_connection_t* connection_ = nullptr;
  uint8_t firstEvent_ = 0;
  uint32_t damage_ = 0;
  std::vector<xcb_rectangle_t> picture_;
};
