#include "platform/ddraw/monitor_blanking.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>

#include "platform/ddraw/x_monitors.h"
#include "platform/win/message_loop.h"

namespace {

// RandR's notices are the quick way; a look now and then also catches servers
// that change their monitors without one.
constexpr int kLookEveryMs = 1000;

std::vector<int32_t> Key(const RECT& area) {
  return {area.left, area.top, area.right, area.bottom};
}

bool SameArea(const RECT& a, const RECT& b) {
  return Key(a) == Key(b);
}

}  // namespace

MonitorBlanking::MonitorBlanking(const Monitor& kept, HWND saverWindow)
    : kept_(kept), saverWindow_(saverWindow) {
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return;
  }
  connection_ = c;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  root_ = it.data->root;
  WatchMonitorChanges(c, root_);
  Cover(ListMonitors(c, root_));
  if (pipe2(wake_, O_CLOEXEC) != 0) return;
  watcher_ = std::thread([this] { Watch(); });
}

MonitorBlanking::~MonitorBlanking() {
  if (watcher_.joinable()) {
    const char quit = 'q';
    [[maybe_unused]] ssize_t written = write(wake_[1], &quit, 1);
    watcher_.join();
  }
  for (int fd : wake_)
    if (fd >= 0) close(fd);
  // The covers go with the connection.
  if (connection_) xcb_disconnect(connection_);
}

void MonitorBlanking::Cover(const std::vector<Monitor>& monitors) {
  xcb_connection_t* c = connection_;
  const Monitor* mine = FindMonitor(monitors, kept_.name);
  if (!closing_ && (!mine || !SameArea(mine->area, kept_.area))) {
    closing_ = true;
    PostMessage(saverWindow_, WM_CLOSE, 0, 0);
  }
  std::map<std::vector<int32_t>, uint32_t> wanted;
  for (const Monitor& monitor : monitors) {
    const std::vector<int32_t> key = Key(monitor.area);
    if (SameArea(monitor.area, kept_.area) || wanted.count(key)) continue;
    auto old = covers_.find(key);
    if (old != covers_.end()) {
      wanted[key] = old->second;
      covers_.erase(old);
      continue;
    }
    const xcb_window_t window = xcb_generate_id(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t values[] = {screen->black_pixel, 1u};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root_, int16_t(monitor.area.left),
                      int16_t(monitor.area.top), uint16_t(monitor.area.right - monitor.area.left),
                      uint16_t(monitor.area.bottom - monitor.area.top), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    // Just below the saver window: above everything else, never over the run's picture.
    const uint32_t below[] = {uint32_t(saverWindow_), XCB_STACK_MODE_BELOW};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                         below);
    xcb_map_window(c, window);
    wanted[key] = window;
  }
  for (const auto& [area, window] : covers_) xcb_destroy_window(c, window);
  covers_ = std::move(wanted);
  xcb_flush(c);
}

// RandR's notices only wake the watcher: every wake looks at the monitors.
void MonitorBlanking::Drain() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
}

void MonitorBlanking::Watch() {
  pollfd fds[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
  for (;;) {
    const int ready = poll(fds, 2, kLookEveryMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[1].revents || xcb_connection_has_error(connection_)) return;
    Drain();
    Cover(ListMonitors(connection_, root_));
  }
}
