#include "platform/sys/dynamic_module.h"

#include <strings.h>

#include <list>
#include <map>
#include <mutex>
#include <string>

#include "platform/sys/last_error.h"

class DynamicModule {
public:
  std::string name;
  std::map<std::string, FARPROC> procedures;
  int loads = 0;
};

namespace {

std::mutex modulesMutex;
// A list, so that handles stay valid while other fakes come and go.
std::list<DynamicModule> fakeModules;

DynamicModule* FindFake(const char* name) {
  for (DynamicModule& module : fakeModules) {
    if (strcasecmp(module.name.c_str(), name) == 0) return &module;
  }
  return nullptr;
}

bool IsFake(const DynamicModule* candidate) {
  for (const DynamicModule& module : fakeModules) {
    if (&module == candidate) return true;
  }
  return false;
}

}  // namespace

HMODULE LoadLibraryA(const char* name) {
  std::lock_guard lock(modulesMutex);
  DynamicModule* module = name ? FindFake(name) : nullptr;
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ++module->loads;
  return module;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
  std::lock_guard lock(modulesMutex);
  if (!module || !procName || !IsFake(module)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const auto found = module->procedures.find(procName);
  if (found == module->procedures.end()) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return found->second;
}

bool FreeLibrary(HMODULE module) {
  std::lock_guard lock(modulesMutex);
  if (!module || !IsFake(module) || module->loads == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  --module->loads;
  return true;
}

void RegisterFakeModule(const char* name,
                        std::initializer_list<std::pair<const char*, FARPROC>> procedures) {
  std::lock_guard lock(modulesMutex);
  DynamicModule* module = FindFake(name);
  if (!module) module = &fakeModules.emplace_back();
  module->name = name;
  module->procedures.clear();
  for (const auto& [procName, procedure] : procedures) module->procedures[procName] = procedure;
}

void UnregisterFakeModules() {
  std::lock_guard lock(modulesMutex);
  fakeModules.clear();
}

int FakeModuleLoadCount(const char* name) {
  std::lock_guard lock(modulesMutex);
  const DynamicModule* module = FindFake(name);
  return module ? module->loads : 0;
}
