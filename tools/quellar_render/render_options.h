#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the command line of quellar-render asks for.
struct RenderOptions {
  // Name=Value pairs written as the settings store writes them.
  std::vector<std::pair<std::string, std::string>> overrides;
  std::optional<uint32_t> seed;
  std::optional<uint64_t> frames;
  std::optional<uint64_t> generations;
  std::string pngFolder;
  uint64_t every = 1;
  bool printBoard = false;
  bool render = true;
  int width = 640;  // windowed runs only; full screen uses the mode's size
  int height = 480;
  bool help = false;
};

// False with a one-line reason when the arguments make no sense.
bool ParseRenderOptions(int argc, char** argv, RenderOptions* options, std::string* error);

extern const char kRenderUsage[];
