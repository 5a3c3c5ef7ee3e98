#include "platform/win/x_server.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/win/event_translation.h"
#include "platform/win/window_state.h"
#include "platform/win/xcb_reply.h"

namespace {

std::mutex atomMutex;
std::unordered_map<std::string, xcb_atom_t> atoms;

}  // namespace

XServer* XServer::Get() {
  // The window state must outlive the event reader that feeds it.
  State();
  static std::unique_ptr<XServer> server = []() -> std::unique_ptr<XServer> {
    // A server under load can refuse a connection for a moment, so a refused
    // socket is tried again for about half a second; a display name that
    // cannot be parsed fails at once.
    for (int attempt = 1;; ++attempt) {
      int screenNumber = 0;
      xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
      const int error = connection ? xcb_connection_has_error(connection) : XCB_CONN_ERROR;
      if (error == 0) return std::unique_ptr<XServer>(new XServer(connection, screenNumber));
      if (connection) xcb_disconnect(connection);
      if (error != XCB_CONN_ERROR || attempt == 4) return nullptr;
      std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
    }
  }();
  return server.get();
}

XServer::XServer(xcb_connection_t* connection, int screenNumber) : connection_(connection) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; i < screenNumber && it.rem > 1; ++i) xcb_screen_next(&it);
  screen_ = it.data;
  CreateInvisibleCursor();
  // Only this window's client messages wake the reader when the process ends.
  wakeWindow_ = xcb_generate_id(connection_);
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, wakeWindow_, Root(), -1, -1, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  wakeAtom_ = Atom("_QUELLAR_WAKE");
  Flush();
  reader_ = std::thread([this] { ReadEvents(); });
}

XServer::~XServer() {
  xcb_client_message_event_t wake{};
  wake.response_type = XCB_CLIENT_MESSAGE;
  wake.format = 32;
  wake.window = wakeWindow_;
  wake.type = wakeAtom_;
  xcb_send_event(connection_, 0, wakeWindow_, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&wake));
  Flush();
  if (reader_.joinable()) reader_.join();
  xcb_disconnect(connection_);
}

void XServer::ReadEvents() {
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection_)) {
    auto owned = OwnReply(event);
    if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
        reinterpret_cast<xcb_client_message_event_t*>(event)->window == wakeWindow_)
      return;
    TranslateEvent(event);
  }
}

void XServer::CreateInvisibleCursor() {
  xcb_pixmap_t pixmap = xcb_generate_id(connection_);
  xcb_create_pixmap(connection_, 1, pixmap, Root(), 1, 1);
  xcb_gcontext_t gc = xcb_generate_id(connection_);
  uint32_t foreground = 0;
  xcb_create_gc(connection_, gc, pixmap, XCB_GC_FOREGROUND, &foreground);
  xcb_rectangle_t all{0, 0, 1, 1};
  xcb_poly_fill_rectangle(connection_, pixmap, gc, 1, &all);
  invisibleCursor_ = xcb_generate_id(connection_);
  xcb_create_cursor(connection_, invisibleCursor_, pixmap, pixmap, 0, 0, 0, 0, 0, 0, 0, 0);
  xcb_free_gc(connection_, gc);
  xcb_free_pixmap(connection_, pixmap);
}

xcb_atom_t XServer::Atom(const char* name) {
  std::lock_guard lock(atomMutex);
  if (auto found = atoms.find(name); found != atoms.end()) return found->second;
  auto reply = OwnReply(xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr));
  xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  if (atom != XCB_ATOM_NONE) atoms.emplace(name, atom);
  return atom;
}

std::optional<XServer::Geometry> XServer::GetGeometry(xcb_window_t window) {
  xcb_generic_error_t* error = nullptr;
  auto reply =
      OwnReply(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), &error));
  std::free(error);
  if (!reply) return std::nullopt;
  return Geometry{reply->x, reply->y, reply->width, reply->height};
}

std::optional<xcb_get_window_attributes_reply_t> XServer::GetAttributes(xcb_window_t window) {
  xcb_generic_error_t* error = nullptr;
  auto reply = OwnReply(xcb_get_window_attributes_reply(
      connection_, xcb_get_window_attributes(connection_, window), &error));
  std::free(error);
  if (!reply) return std::nullopt;
  return *reply;
}

std::optional<XServer::Tree> XServer::QueryTree(xcb_window_t window) {
  xcb_generic_error_t* error = nullptr;
  auto reply = OwnReply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), &error));
  std::free(error);
  if (!reply) return std::nullopt;
  xcb_window_t* children = xcb_query_tree_children(reply.get());
  Tree tree;
  tree.parent = reply->parent;
  tree.children.assign(children, children + xcb_query_tree_children_length(reply.get()));
  return tree;
}

std::optional<std::pair<int, int>> XServer::ToRoot(xcb_window_t window, int x, int y) {
  xcb_generic_error_t* error = nullptr;
  auto reply = OwnReply(xcb_translate_coordinates_reply(
      connection_,
      xcb_translate_coordinates(connection_, window, Root(), static_cast<int16_t>(x),
                                static_cast<int16_t>(y)),
      &error));
  std::free(error);
  if (!reply) return std::nullopt;
  return std::pair<int, int>(reply->dst_x, reply->dst_y);
}

std::optional<std::string> XServer::GetProperty(xcb_window_t window, xcb_atom_t property) {
  xcb_generic_error_t* error = nullptr;
  auto reply = OwnReply(xcb_get_property_reply(
      connection_,
      xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
      &error));
  std::free(error);
  if (!reply || reply->type == XCB_ATOM_NONE) return std::nullopt;
  const char* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
  int length = xcb_get_property_value_length(reply.get());
  return std::string(data, data + length);
}

std::vector<xcb_window_t> XServer::GetWindowList(xcb_window_t window, xcb_atom_t property) {
  std::vector<xcb_window_t> list;
  auto data = GetProperty(window, property);
  if (!data) return list;
  list.resize(data->size() / sizeof(xcb_window_t));
  std::memcpy(list.data(), data->data(), list.size() * sizeof(xcb_window_t));
  return list;
}

void XServer::SetStringProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                const std::string& value) {
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                      static_cast<uint32_t>(value.size()), value.data());
}

bool XServer::WindowManagerRunning() {
  xcb_atom_t check = Atom("_NET_SUPPORTING_WM_CHECK");
  auto fromRoot = GetWindowList(Root(), check);
  if (fromRoot.empty()) return false;
  auto fromItself = GetWindowList(fromRoot[0], check);
  return !fromItself.empty() && fromItself[0] == fromRoot[0];
}

bool XServer::Check(xcb_void_cookie_t cookie) {
  xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
  std::free(error);
  return error == nullptr;
}
