#include "resources/dialog_template.h"

#include <cstring>

extern const DialogTemplate kConfigDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;

namespace {
const DialogTemplate* const kTemplates[] = {&kConfigDialogTemplate, &kAboutDialogTemplate};
}

const DialogTemplate* FindDialogTemplate(uint32_t id) {
  for (const DialogTemplate* dialog : kTemplates) {
    if (dialog->id != 0 && dialog->id == id) return dialog;
  }
  return nullptr;
}

const DialogTemplate* FindDialogTemplate(const char* name) {
  if (name == nullptr) return nullptr;
  for (const DialogTemplate* dialog : kTemplates) {
    if (dialog->name != nullptr && std::strcmp(dialog->name, name) == 0) return dialog;
  }
  return nullptr;
}
