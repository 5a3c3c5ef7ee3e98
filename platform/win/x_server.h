#pragma once
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The process's own connection to the X server, separate from Qt's, so that our
// windows, their events and the queries on other programs' windows never depend
// on what Qt does with its connection. Events are read by a thread of their own
// and handed to TranslateEvent (event_translation.h). xcb itself is thread-safe;
// every request is made with a checked reply, so a vanished window is an answer,
// never a crash.
class XServer {
 public:
  // Null when no X display can be reached.
  static XServer* Get();

  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  ~XServer();

  xcb_connection_t* Connection() const { return connection_; }
  xcb_screen_t* Screen() const { return screen_; }
  xcb_window_t Root() const { return screen_->root; }
  xcb_cursor_t InvisibleCursor() const { return invisibleCursor_; }

  xcb_atom_t Atom(const char* name);

  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
  };
  std::optional<Geometry> GetGeometry(xcb_window_t window);
  std::optional<xcb_get_window_attributes_reply_t> GetAttributes(xcb_window_t window);
  struct Tree {
    xcb_window_t parent = 0;
    std::vector<xcb_window_t> children;  // bottom to top
  };
  std::optional<Tree> QueryTree(xcb_window_t window);
  std::optional<std::pair<int, int>> ToRoot(xcb_window_t window, int x, int y);
  std::optional<std::string> GetProperty(xcb_window_t window, xcb_atom_t property);
  std::vector<xcb_window_t> GetWindowList(xcb_window_t window, xcb_atom_t property);
  void SetStringProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                         const std::string& value);
  // The window manager that follows the desktop conventions, if one runs.
  bool WindowManagerRunning();
  // True when the server carried out the request without an error.
  bool Check(xcb_void_cookie_t cookie);
  void Flush() { xcb_flush(connection_); }

 private:
  explicit XServer(xcb_connection_t* connection, int screenNumber);
  void CreateInvisibleCursor();
  void ReadEvents();

  xcb_connection_t* connection_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  xcb_cursor_t invisibleCursor_ = 0;
  xcb_window_t wakeWindow_ = 0;
  xcb_atom_t wakeAtom_ = 0;
  std::thread reader_;
};
