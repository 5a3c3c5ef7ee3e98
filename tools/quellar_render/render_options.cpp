#include "quellar_render/render_options.h"

#include <charconv>
#include <cstring>
#include <string_view>

const char kRenderUsage[] =
    "usage: quellar-render [options]\n"
    "Runs the saver's generations and frames headless, as fast as they can be drawn.\n"
    "  --set Name=Value   override a setting, written as the settings store writes it\n"
    "                     (Size=Small, Roll=GURUGURU, Speed=20, XScale=1.5, TextureName=...)\n"
    "  --seed S           seed the random generator with S (default: the calendar time)\n"
    "  --frames N         stop after N frames (default 90 unless --generations is given)\n"
    "  --generations G    stop after G steps of the board\n"
    "  --print-board      print the seeded board as generation 0, then each board that a\n"
    "                     step made; \"run ended\" follows the board of a step that ended the\n"
    "                     run, and the next generation printed is the board seeded anew\n"
    "  --png DIR          write frames as PNG files into DIR\n"
    "  --every K          with --png, every K-th frame only (default 1)\n"
    "  --no-render        animate and step without drawing; boards stay the same\n"
    "  --size WxH         picture size when ScreenMode is 0 (default 640x480)\n"
    "The last line printed is frames=<n> seconds=<s> fps=<f>.\n";

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T* value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

bool ParseSize(std::string_view text, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string_view::npos) return false;
  return ParseNumber(text.substr(0, x), width) && ParseNumber(text.substr(x + 1), height) &&
         *width > 0 && *height > 0 && *width <= 8192 && *height <= 8192;
}

}  // namespace

bool ParseRenderOptions(int argc, char** argv, RenderOptions* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view* out) {
      if (i + 1 >= argc) {
        *error = std::string(arg) + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    auto bad = [&](std::string_view v) {
      *error = "bad value for " + std::string(arg) + ": " + std::string(v);
      return false;
    };
    std::string_view v;
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--print-board") {
      options->printBoard = true;
    } else if (arg == "--no-render") {
      options->render = false;
    } else if (arg == "--set") {
      if (!value(&v)) return false;
      const size_t eq = v.find('=');
      if (eq == std::string_view::npos || eq == 0) return bad(v);
      options->overrides.emplace_back(std::string(v.substr(0, eq)), std::string(v.substr(eq + 1)));
    } else if (arg == "--seed") {
      uint32_t seed = 0;
      if (!value(&v)) return false;
      if (!ParseNumber(v, &seed)) return bad(v);
      options->seed = seed;
    } else if (arg == "--frames" || arg == "--generations") {
      uint64_t count = 0;
      if (!value(&v)) return false;
      if (!ParseNumber(v, &count)) return bad(v);
      (arg == "--frames" ? options->frames : options->generations) = count;
    } else if (arg == "--every") {
      if (!value(&v)) return false;
      if (!ParseNumber(v, &options->every) || options->every == 0) return bad(v);
    } else if (arg == "--png") {
      if (!value(&v)) return false;
      if (v.empty()) return bad(v);
      options->pngFolder = std::string(v);
    } else if (arg == "--size") {
      if (!value(&v)) return false;
      if (!ParseSize(v, &options->width, &options->height)) return bad(v);
    } else {
      *error = "unknown option: " + std::string(arg);
      return false;
    }
  }
  if (!options->frames && !options->generations) options->frames = 90;
  return true;
}
