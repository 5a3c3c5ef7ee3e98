// quellar-present-bench: what showing a frame costs. On an X server of its own
// it runs, for each case, quellar-render headless and the real saver on the
// screen with the same settings, and prints frames a second and processor time
// a frame (the saver's, plus the X server's for the shown frames) for both.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "present_bench/damage_counter.h"
#include "present_bench/processes.h"

namespace {

struct Case {
  int screenMode;
  bool fps;
  int speed;
};

struct Options {
  std::string binaries;
  double seconds = 8;
  int width = 1280;
  int height = 1024;
  int display = -1;
  bool idle = false;
  std::vector<Case> cases;
};

struct Figures {
  double fps = 0;
  double cpuMsPerFrame = 0;
};

const char kUsage[] =
    "usage: quellar-present-bench [--bin DIR] [--seconds S] [--size WxH] [--display N]\n"
    "                             [--idle] [--case M[f][@SPEED]]...\n"
    "Starts its own Xvfb (on :N when given). For each case (ScreenMode M, 'f' for the FPS\n"
    "overlay, Speed, 20 unless given) runs quellar-render headless and quellar on the screen, and "
    "prints frames\n"
    "a second and milliseconds of processor time a frame for both; the shown frames are\n"
    "counted from the X server's damage reports and their time includes the X server's.\n"
    "For an 'f' case it also measures what the overlay alone costs: quellar-render draws\n"
    "the same frames of the same board with FPS off and on, in turns.\n"
    "Default cases: 0 0f 1 1f 3 3f. DIR defaults to the folder of this program.\n"
    "The saver's threads are lifted to normal priority, as quellar-render runs, so\n"
    "that other work on the machine does not starve the one and not the other;\n"
    "--idle leaves them at the saver's own idle priority.\n";

std::string ProgramFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

bool ParseCase(const std::string& text, Case* c) {
  char* end = nullptr;
  c->screenMode = int(std::strtol(text.c_str(), &end, 10));
  if (end == text.c_str() || c->screenMode < 0 || c->screenMode > 3) return false;
  c->fps = *end == 'f';
  if (c->fps) ++end;
  c->speed = 20;
  if (*end == '@') c->speed = int(std::strtol(end + 1, &end, 10));
  return *end == '\0' && c->speed >= 0 && c->speed <= 20;
}

bool Parse(int argc, char** argv, Options* options) {
  options->binaries = ProgramFolder();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg != "--idle" && i + 1 >= argc) return false;
    const std::string value = arg == "--idle" ? "" : argv[++i];
    Case c;
    if (arg == "--idle") {
      options->idle = true;
      --i;
    } else if (arg == "--bin") {
      options->binaries = value;
    } else if (arg == "--seconds") {
      options->seconds = std::atof(value.c_str());
      if (options->seconds <= 0) return false;
    } else if (arg == "--size") {
      if (std::sscanf(value.c_str(), "%dx%d", &options->width, &options->height) != 2) return false;
    } else if (arg == "--display") {
      options->display = std::atoi(value.c_str());
    } else if (arg == "--case" && ParseCase(value, &c)) {
      options->cases.push_back(c);
    } else {
      return false;
    }
  }
  if (options->cases.empty())
    for (int mode : {0, 1, 3})
      for (bool fps : {false, true}) options->cases.push_back(Case{mode, fps, 20});
  return true;
}

std::string CaseName(const Case& c) {
  return "ScreenMode " + std::to_string(c.screenMode) + (c.fps ? " FPS" : "    ") + " Speed " +
         std::to_string(c.speed);
}

// The same settings for the headless and the shown run, through the settings file.
void WriteSettings(const std::string& configHome, const Case& c) {
  const auto folder = std::filesystem::path(configHome) / "Software/Varune/Quellar";
  std::filesystem::create_directories(folder);
  std::ofstream file(folder / "Settings.reg");
  file << "ScreenMode = dword " << c.screenMode << "\n"
       << "FixedSpeed = sz \"Fixed\"\n"
       << "Speed = dword " << c.speed << "\n"
       << "FPS = dword " << (c.fps ? 1 : 0) << "\n";
}

struct RenderRun {
  long frames = 0;
  double seconds = 0;
  double cpu = 0;
};

bool RunHeadless(const Options& o, const std::map<std::string, std::string>& env, long frames,
                 const std::string& scratch, RenderRun* run) {
  const std::string output = scratch + "/render.txt";
  const std::string size = std::to_string(o.width) + "x" + std::to_string(o.height);
  Child render({o.binaries + "/quellar-render", "--seed", "0", "--frames", std::to_string(frames),
                "--size", size},
               env, output);
  if (!render.Started() || render.Wait(&run->cpu) != 0) return false;
  const std::string text = ReadFile(output);
  const size_t at = text.rfind("frames=");
  return at != std::string::npos &&
         std::sscanf(text.c_str() + at, "frames=%ld seconds=%lf", &run->frames, &run->seconds) ==
             2 &&
         run->frames > 0;
}

// Two runs of different lengths: their difference leaves out the start.
bool MeasureHeadless(const Options& o, const std::map<std::string, std::string>& env,
                     const std::string& scratch, Figures* figures) {
  RenderRun shortRun, longRun;
  if (!RunHeadless(o, env, 30, scratch, &shortRun)) return false;
  const double guess = double(shortRun.frames) / std::max(shortRun.seconds, 1e-3);
  const long more = std::max(60L, long(guess * o.seconds));
  if (!RunHeadless(o, env, 30 + more, scratch, &longRun)) return false;
  const double frames = double(longRun.frames - shortRun.frames);
  figures->fps = frames / std::max(longRun.seconds - shortRun.seconds, 1e-6);
  figures->cpuMsPerFrame = 1000.0 * (longRun.cpu - shortRun.cpu) / frames;
  return true;
}

// The overlay's own cost. The saver's FPS option also fixes its random choices,
// so a shown run with it draws another board than one without; quellar-render
// draws the same frames of the same board (same seed) either way. Three turns
// of off and on; the turn with the median difference in processor time a frame
// gives the difference and the time a frame without the overlay.
bool MeasureOverlay(const Options& o, const std::map<std::string, std::string>& env,
                    const std::string& home, Case c, long frames, const std::string& scratch,
                    double* addedMs, double* withoutMs) {
  std::vector<std::pair<double, double>> turns;
  for (int turn = 0; turn < 3; ++turn) {
    double ms[2];
    for (bool fps : {false, true}) {
      c.fps = fps;
      WriteSettings(home, c);
      RenderRun shortRun, longRun;
      if (!RunHeadless(o, env, 30, scratch, &shortRun) ||
          !RunHeadless(o, env, 30 + frames, scratch, &longRun))
        return false;
      ms[fps] = 1000.0 * (longRun.cpu - shortRun.cpu) / double(longRun.frames - shortRun.frames);
    }
    turns.emplace_back(ms[1] - ms[0], ms[0]);
  }
  std::sort(turns.begin(), turns.end());
  *addedMs = turns[1].first;
  *withoutMs = turns[1].second;
  return true;
}

bool MeasureShown(const Options& o, const Xvfb& server,
                  const std::map<std::string, std::string>& env, const std::string& scratch,
                  Figures* figures) {
  DamageCounter counter(server.Name());
  if (!counter.Ok()) return false;
  Child saver({o.binaries + "/quellar", "/s"}, env, scratch + "/saver.txt");
  if (!saver.Started() || !counter.WaitForDrawing(30)) return false;
  // Threads can come and go with restarts: lift them again every half second.
  auto countFor = [&](double seconds) {
    long frames = 0;
    for (double left = seconds; left > 0; left -= 0.5) {
      if (!o.idle) LiftToNormalPriority(saver.Pid());
      frames += counter.Count(std::min(left, 0.5));
    }
    return frames;
  };
  countFor(2.0);  // the start: loading, first frames
  const double saverBefore = ProcessCpuSeconds(saver.Pid());
  const double serverBefore = ProcessCpuSeconds(server.Pid());
  const auto start = std::chrono::steady_clock::now();
  const long frames = countFor(o.seconds);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu =
      ProcessCpuSeconds(saver.Pid()) - saverBefore + ProcessCpuSeconds(server.Pid()) - serverBefore;
  saver.Signal(SIGTERM);
  saver.Wait();
  if (frames <= 0) return false;
  figures->fps = double(frames) / elapsed;
  figures->cpuMsPerFrame = 1000.0 * cpu / double(frames);
  return true;
}

std::string MachineLine() {
  const std::string info = ReadFile("/proc/cpuinfo");
  const size_t at = info.find("model name");
  std::string model = "unknown processor";
  if (at != std::string::npos) {
    const size_t colon = info.find(':', at), end = info.find('\n', at);
    model = info.substr(colon + 2, end - colon - 2);
  }
  return model + ", " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  Xvfb server(options.width, options.height, options.display);
  if (!server.Ok()) {
    std::fprintf(stderr, "quellar-present-bench: Xvfb did not start\n");
    return 1;
  }
  char pattern[] = "/tmp/quellar-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string scratch = pattern;
  std::printf("%s; Xvfb %s at %dx%d; %.0f s a measurement; saver at %s priority\n",
              MachineLine().c_str(), server.Name().c_str(), options.width, options.height,
              options.seconds, options.idle ? "its own idle" : "normal");
  std::printf("%-28s %9s %9s %6s %11s %11s %6s\n", "case", "headless", "shown", "ratio", "headless",
              "shown", "ratio");
  std::printf("%-28s %9s %9s %6s %11s %11s %6s\n", "", "fps", "fps", "", "ms CPU/fr", "ms CPU/fr",
              "");
  int failures = 0;
  for (const Case& c : options.cases) {
    const std::string home = scratch + "/config";
    std::filesystem::remove_all(home);
    WriteSettings(home, c);
    std::filesystem::create_directories(scratch + "/runtime");
    std::filesystem::permissions(scratch + "/runtime", std::filesystem::perms::owner_all);
    const std::map<std::string, std::string> env = {{"DISPLAY", server.Name()},
                                                    {"XDG_CONFIG_HOME", home},
                                                    {"XDG_RUNTIME_DIR", scratch + "/runtime"},
                                                    {"XSCREENSAVER_WINDOW", ""}};
    Figures headless, shown;
    const bool ok = MeasureHeadless(options, env, scratch, &headless) &&
                    MeasureShown(options, server, env, scratch, &shown);
    if (!ok) {
      std::printf("%-28s failed (see %s)\n", CaseName(c).c_str(), scratch.c_str());
      ++failures;
      continue;
    }
    std::printf("%-28s %9.1f %9.1f %6.2f %11.2f %11.2f %6.2f\n", CaseName(c).c_str(), headless.fps,
                shown.fps, shown.fps / headless.fps, headless.cpuMsPerFrame, shown.cpuMsPerFrame,
                shown.cpuMsPerFrame / headless.cpuMsPerFrame);
    std::fflush(stdout);
    double added = 0, without = 0;
    if (!c.fps) continue;
    if (!MeasureOverlay(options, env, home, c, long(headless.fps * options.seconds / 2), scratch,
                        &added, &without)) {
      std::printf("  overlay: failed (see %s)\n", scratch.c_str());
      ++failures;
      continue;
    }
    std::printf(
        "  overlay alone (same frames headless, off and on in turns): %+.3f ms CPU a frame,"
        " %+.1f %% of %.2f ms\n",
        added, 100.0 * added / without, without);
    std::fflush(stdout);
  }
  if (failures == 0) std::filesystem::remove_all(scratch);
  return failures == 0 ? 0 : 1;
}
