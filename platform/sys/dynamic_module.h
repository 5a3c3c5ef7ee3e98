#pragma once
#include <initializer_list>
#include <utility>

// Modules looked up by name at run time ("PASSWORD.CPL", "MPR.DLL",
// "IMM32.DLL"). This platform has none of them, so loading fails with
// ERROR_MOD_NOT_FOUND unless a test has registered a fake in its place.
class DynamicModule;
using HMODULE = DynamicModule*;
using FARPROC = void (*)();

HMODULE LoadLibraryA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* procName);
bool FreeLibrary(HMODULE module);

// Names compare without regard to case, as module and file names do there.
void RegisterFakeModule(const char* name,
                        std::initializer_list<std::pair<const char*, FARPROC>> procedures);
void UnregisterFakeModules();
// How many loads of the fake are not yet freed.
int FakeModuleLoadCount(const char* name);
