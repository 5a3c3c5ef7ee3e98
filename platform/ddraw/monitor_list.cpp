#include <xcb/randr.h>
#include <xcb/xinerama.h>

#include <cstdlib>
#include <memory>

#include "platform/ddraw/x_monitors.h"
#include "platform/gdi/x_connection.h"
#include "platform/win/xcb_reply.h"

namespace {

bool HasExtension(xcb_connection_t* c, xcb_extension_t* extension) {
  const xcb_query_extension_reply_t* data = xcb_get_extension_data(c, extension);
  return data && data->present;
}

bool HasRandrMonitors(xcb_connection_t* c) {
  if (!HasExtension(c, &xcb_randr_id)) return false;
  auto version = OwnReply(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
  return version && (version->major_version > 1 ||
                     (version->major_version == 1 && version->minor_version >= 5));
}

std::string AtomName(xcb_connection_t* c, xcb_atom_t atom) {
  auto reply = OwnReply(xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
  if (!reply) return {};
  return std::string(xcb_get_atom_name_name(reply.get()),
                     size_t(xcb_get_atom_name_name_length(reply.get())));
}

double ModeRefresh(const xcb_randr_mode_info_t& mode) {
  double lines = mode.vtotal;
  if (mode.mode_flags & XCB_RANDR_MODE_FLAG_DOUBLE_SCAN) lines *= 2;
  if (mode.mode_flags & XCB_RANDR_MODE_FLAG_INTERLACE) lines /= 2;
  if (mode.htotal == 0 || lines == 0) return 0;
  return double(mode.dot_clock) / (double(mode.htotal) * lines);
}

// The refresh rate of the mode that the output's CRTC shows.
double OutputRefresh(xcb_connection_t* c, xcb_window_t root, xcb_randr_output_t output) {
  auto info = OwnReply(xcb_randr_get_output_info_reply(
      c, xcb_randr_get_output_info(c, output, XCB_CURRENT_TIME), nullptr));
  if (!info || info->crtc == XCB_NONE) return 0;
  auto crtc = OwnReply(xcb_randr_get_crtc_info_reply(
      c, xcb_randr_get_crtc_info(c, info->crtc, XCB_CURRENT_TIME), nullptr));
  if (!crtc || crtc->mode == XCB_NONE) return 0;
  auto resources = OwnReply(xcb_randr_get_screen_resources_current_reply(
      c, xcb_randr_get_screen_resources_current(c, root), nullptr));
  if (!resources) return 0;
  const xcb_randr_mode_info_t* modes =
      xcb_randr_get_screen_resources_current_modes(resources.get());
  const int count = xcb_randr_get_screen_resources_current_modes_length(resources.get());
  for (int i = 0; i < count; ++i)
    if (modes[i].id == crtc->mode) return ModeRefresh(modes[i]);
  return 0;
}

std::vector<Monitor> RandrMonitors(xcb_connection_t* c, xcb_window_t root) {
  std::vector<Monitor> monitors;
  auto reply = OwnReply(xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, root, 1), nullptr));
  if (!reply) return monitors;
  for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
       xcb_randr_monitor_info_next(&it)) {
    const xcb_randr_monitor_info_t& info = *it.data;
    Monitor monitor;
    monitor.name = AtomName(c, info.name);
    monitor.area = RECT{info.x, info.y, info.x + info.width, info.y + info.height};
    monitor.primary = info.primary != 0;
    if (xcb_randr_monitor_info_outputs_length(it.data) > 0)
      monitor.refreshHz = OutputRefresh(c, root, xcb_randr_monitor_info_outputs(it.data)[0]);
    monitors.push_back(std::move(monitor));
  }
  return monitors;
}

std::vector<Monitor> XineramaScreens(xcb_connection_t* c) {
  std::vector<Monitor> monitors;
  if (!HasExtension(c, &xcb_xinerama_id)) return monitors;
  auto active = OwnReply(xcb_xinerama_is_active_reply(c, xcb_xinerama_is_active(c), nullptr));
  if (!active || !active->state) return monitors;
  auto reply = OwnReply(xcb_xinerama_query_screens_reply(c, xcb_xinerama_query_screens(c), nullptr));
  if (!reply) return monitors;
  int n = 0;
  for (auto it = xcb_xinerama_query_screens_screen_info_iterator(reply.get()); it.rem;
       xcb_xinerama_screen_info_next(&it), ++n) {
    const xcb_xinerama_screen_info_t& info = *it.data;
    Monitor monitor;
    monitor.name = "XINERAMA-" + std::to_string(n);
    monitor.area = RECT{info.x_org, info.y_org, info.x_org + info.width, info.y_org + info.height};
    monitors.push_back(std::move(monitor));
  }
  return monitors;
}

}  // namespace

std::vector<Monitor> ListMonitors(xcb_connection_t* c, xcb_window_t root) {
  if (!c || xcb_connection_has_error(c)) return {};
  std::vector<Monitor> monitors;
  if (HasRandrMonitors(c)) monitors = RandrMonitors(c, root);
  std::vector<Monitor> screens = XineramaScreens(c);
  return screens.size() > monitors.size() ? screens : monitors;
}

bool WatchMonitorChanges(xcb_connection_t* c, xcb_window_t root) {
  if (!HasRandrMonitors(c)) return false;
  xcb_randr_select_input(c, root,
                         XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                             XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
  xcb_flush(c);
  return true;
}

std::vector<Monitor> ListMonitors() {
  xcb_connection_t* c = TextConnection();
  return c ? ListMonitors(c, xcb_window_t(RootWindow())) : std::vector<Monitor>{};
}

const Monitor* PrimaryMonitor(const std::vector<Monitor>& monitors) {
  for (const Monitor& monitor : monitors)
    if (monitor.primary) return &monitor;
  return monitors.empty() ? nullptr : &monitors.front();
}

const Monitor* FindMonitor(const std::vector<Monitor>& monitors, const std::string& name) {
  for (const Monitor& monitor : monitors)
    if (monitor.name == name) return &monitor;
  return nullptr;
}
