#include "platform/ddraw/monitor_refresh.h"

#include <xcb/randr.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/gdi/x_connection.h"

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply, &std::free);
}

double ModeRate(const xcb_randr_mode_info_t& mode) {
  if (mode.dot_clock == 0 || mode.htotal == 0 || mode.vtotal == 0) return 0;
  double rate = double(mode.dot_clock) / (double(mode.htotal) * double(mode.vtotal));
  if (mode.mode_flags & XCB_RANDR_MODE_FLAG_DOUBLE_SCAN) rate /= 2;
  if (mode.mode_flags & XCB_RANDR_MODE_FLAG_INTERLACE) rate *= 2;
  return rate;
}

long Overlap(const RECT& a, int x, int y, int width, int height) {
  const long w = std::min<long>(a.right, x + width) - std::max<long>(a.left, x);
  const long h = std::min<long>(a.bottom, y + height) - std::max<long>(a.top, y);
  return w > 0 && h > 0 ? w * h : 0;
}

double RateOfCrtc(xcb_connection_t* c, xcb_randr_get_screen_resources_current_reply_t* resources,
                  xcb_randr_crtc_t crtc, long* overlap, const RECT& area) {
  auto info = Own(xcb_randr_get_crtc_info_reply(
      c, xcb_randr_get_crtc_info(c, crtc, resources->config_timestamp), nullptr));
  if (!info || info->mode == XCB_NONE) return 0;
  *overlap = Overlap(area, info->x, info->y, info->width, info->height);
  const xcb_randr_mode_info_t* modes = xcb_randr_get_screen_resources_current_modes(resources);
  const int count = xcb_randr_get_screen_resources_current_modes_length(resources);
  for (int i = 0; i < count; ++i)
    if (modes[i].id == info->mode) return ModeRate(modes[i]);
  return 0;
}

xcb_randr_crtc_t PrimaryCrtc(xcb_connection_t* c, xcb_window_t root) {
  auto primary =
      Own(xcb_randr_get_output_primary_reply(c, xcb_randr_get_output_primary(c, root), nullptr));
  if (!primary || primary->output == XCB_NONE) return XCB_NONE;
  auto output = Own(xcb_randr_get_output_info_reply(
      c, xcb_randr_get_output_info(c, primary->output, XCB_CURRENT_TIME), nullptr));
  return output ? output->crtc : XCB_NONE;
}

}  // namespace

double MonitorRefreshRate(const RECT& area) {
  xcb_connection_t* c = TextConnection();
  if (!c) return kAssumedRefreshRate;
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (!randr || !randr->present) return kAssumedRefreshRate;
  // Screen resources need RandR 1.3 from the server as well as from us.
  auto version = Own(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 3), nullptr));
  if (!version || (version->major_version == 1 && version->minor_version < 3))
    return kAssumedRefreshRate;
  const xcb_window_t root = xcb_window_t(RootWindow());
  auto resources = Own(xcb_randr_get_screen_resources_current_reply(
      c, xcb_randr_get_screen_resources_current(c, root), nullptr));
  if (!resources) return kAssumedRefreshRate;
  double best = 0;
  long bestOverlap = 0;
  const xcb_randr_crtc_t* crtcs = xcb_randr_get_screen_resources_current_crtcs(resources.get());
  const int count = xcb_randr_get_screen_resources_current_crtcs_length(resources.get());
  for (int i = 0; i < count; ++i) {
    long overlap = 0;
    const double rate = RateOfCrtc(c, resources.get(), crtcs[i], &overlap, area);
    if (overlap > bestOverlap) {
      bestOverlap = overlap;
      best = rate;
    }
  }
  if (bestOverlap == 0) {
    long ignored = 0;
    const xcb_randr_crtc_t primary = PrimaryCrtc(c, root);
    if (primary != XCB_NONE) best = RateOfCrtc(c, resources.get(), primary, &ignored, area);
  }
  return best > 0 ? best : kAssumedRefreshRate;
}
