// The settings file is plain text that people edit by hand: any bytes must
// parse without a fault, and every value read must survive a save and a
// second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry/registry_document.h"

namespace {

bool SameValue(const RegistryValue& a, const RegistryValue& b) {
  return a.type == b.type && a.data == b.data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const RegistryDocument document = RegistryDocument::Parse(text);
  const RegistryDocument reread = RegistryDocument::Parse(document.Format());
  // A line that reads as a value formats into a line that reads back the same.
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (auto value = ParseRegistryLine(text.substr(start, end - start))) {
      auto again = ParseRegistryLine(FormatRegistryLine(*value));
      if (!again || again->name != value->name || !SameValue(*again, *value)) std::abort();
      // What the document finds survives a save.
      const RegistryValue* found = document.Find(value->name);
      const RegistryValue* kept = reread.Find(value->name);
      if (!found || !kept || !SameValue(*found, *kept)) std::abort();
      if (IsWritableValueName(value->name)) {
        RegistryDocument saved = document;
        saved.Set(*value);
        const RegistryDocument reloaded = RegistryDocument::Parse(saved.Format());
        const RegistryValue* set = reloaded.Find(value->name);
        if (!set || !SameValue(*set, *value)) std::abort();
      }
    }
    start = end + 1;
  }
  return 0;
}
