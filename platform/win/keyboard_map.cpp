#include "platform/win/keyboard_map.h"

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/win/messages.h"

namespace {

struct KeyboardMapping {
  xcb_keycode_t firstKeycode = 0;
  int keysymsPerKeycode = 0;
  std::vector<xcb_keysym_t> keysyms;
};

KeyboardMapping LoadMapping(xcb_connection_t* connection) {
  KeyboardMapping mapping;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  mapping.firstKeycode = setup->min_keycode;
  auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  auto* reply = xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
  if (!reply) return mapping;
  mapping.keysymsPerKeycode = reply->keysyms_per_keycode;
  xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
  mapping.keysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply));
  std::free(reply);
  return mapping;
}

uint32_t VirtualKeyForKeysym(xcb_keysym_t keysym) {
  if (keysym >= 'a' && keysym <= 'z') return keysym - 'a' + 'A';
  if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9')) return keysym;
  if (keysym >= 0xFFBE && keysym <= 0xFFD5) return VK_F1 + (keysym - 0xFFBE);  // F1 .. F24
  switch (keysym) {
    case ' ':
      return VK_SPACE;
    case 0xFF08:
      return VK_BACK;
    case 0xFF09:
      return VK_TAB;
    case 0xFF0D:
      return VK_RETURN;
    case 0xFF13:
      return VK_PAUSE;
    case 0xFF1B:
      return VK_ESCAPE;
    case 0xFF50:
      return VK_HOME;
    case 0xFF51:
      return VK_LEFT;
    case 0xFF52:
      return VK_UP;
    case 0xFF53:
      return VK_RIGHT;
    case 0xFF54:
      return VK_DOWN;
    case 0xFF55:
      return VK_PRIOR;
    case 0xFF56:
      return VK_NEXT;
    case 0xFF57:
      return VK_END;
    case 0xFF63:
      return VK_INSERT;
    case 0xFFFF:
      return VK_DELETE;
    case 0xFFE1:
    case 0xFFE2:
      return VK_SHIFT;
    case 0xFFE3:
    case 0xFFE4:
      return VK_CONTROL;
    case 0xFFE5:
      return VK_CAPITAL;
    case 0xFFE9:
    case 0xFFEA:
    case 0xFE03:
      return VK_MENU;
    case 0xFFEB:
    case 0xFFEC:
      return VK_LWIN;
    default:
      return 0;
  }
}

}  // namespace

uint32_t VirtualKeyFor(xcb_connection_t* connection, xcb_keycode_t keycode) {
  static std::once_flag loaded;
  static KeyboardMapping mapping;
  std::call_once(loaded, [&] { mapping = LoadMapping(connection); });
  if (mapping.keysymsPerKeycode == 0 || keycode < mapping.firstKeycode) return 0;
  size_t index = static_cast<size_t>(keycode - mapping.firstKeycode) *
                 static_cast<size_t>(mapping.keysymsPerKeycode);
  return index < mapping.keysyms.size() ? VirtualKeyForKeysym(mapping.keysyms[index]) : 0;
}
