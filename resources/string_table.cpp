#include "resources/string_table.h"

namespace {

struct StringResource {
  uint32_t id;
  const char* text;
};

constexpr StringResource kStringTable[] = {
    {IDS_DESCRIPTION, "Quellar"},
    {IDS_HELP_FILE, "Quellar.hlp"},
    {IDS_CAPTION, "Quellar"},
};

}  // namespace

const char* FindStringResource(uint32_t id) {
  for (const StringResource& entry : kStringTable) {
    if (entry.id == id) return entry.text;
  }
  return nullptr;
}
