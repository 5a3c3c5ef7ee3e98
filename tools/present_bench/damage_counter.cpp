#include "present_bench/damage_counter.h"

#include <poll.h>
#include <xcb/damage.h>

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

bool Intersect(const xcb_rectangle_t& a, const xcb_rectangle_t& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
         b.y < a.y + a.height;
}

}  // namespace

DamageCounter::DamageCounter(const std::string& display) {
  connection_ = xcb_connect(display.c_str(), nullptr);
  if (xcb_connection_has_error(connection_)) return;
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_damage_id);
  if (!extension || !extension->present) return;
  firstEvent_ = extension->first_event;
  xcb_damage_query_version_reply_t* version = xcb_damage_query_version_reply(
      connection_, xcb_damage_query_version(connection_, 1, 1), nullptr);
  if (!version) return;
  std::free(version);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
  const uint32_t damage = xcb_generate_id(connection_);
  xcb_void_cookie_t made = xcb_damage_create_checked(connection_, damage, screen->root,
                                                     XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
  if (xcb_generic_error_t* error = xcb_request_check(connection_, made)) {
    std::free(error);
    return;
  }
  damage_ = damage;
}

DamageCounter::~DamageCounter() {
  if (connection_) xcb_disconnect(connection_);
}

bool DamageCounter::Overlaps(const xcb_rectangle_t& r) const {
  for (const xcb_rectangle_t& drawn : picture_)
    if (Intersect(drawn, r)) return true;
  return false;
}

long DamageCounter::Drain(double seconds) {
  long pictures = 0;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
  for (;;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      if ((event->response_type & 0x7F) == firstEvent_ + XCB_DAMAGE_NOTIFY) {
        const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event);
        if (notify->area.width > 0 && notify->area.height > 0) {
          if (picture_.empty() || Overlaps(notify->area)) {
            ++pictures;
            picture_.clear();
          }
          picture_.push_back(notify->area);
        }
      }
      std::free(event);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0 || xcb_connection_has_error(connection_)) return pictures;
    poll(&fd, 1, int(left.count()));
  }
}

long DamageCounter::Count(double seconds) {
  return Drain(seconds);
}

bool DamageCounter::WaitForDrawing(double seconds) {
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end)
    if (Drain(0.1) > 0) return true;
  return false;
}
