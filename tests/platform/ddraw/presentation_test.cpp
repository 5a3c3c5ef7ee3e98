// What reaches an X window, read back from the server, through each way a
// picture can take there: the GL window surface, shared memory with the server
// scaling, and shared memory with GL scaling.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "ddraw_fixture.h"
#include "platform/ddraw/display_device.h"
#include "platform/ddraw/surface_store.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// No picture here can hold this colour: the noise's red is even, and neither
// the RGB565 steps nor the system palette make a red of 1.
constexpr uint32_t kUntouched = 0x01FE03;
const char* const kPaths[] = {"gl", "shm", "shm-gl-scaling"};

// Every pixel its own colour, top row first.
std::vector<uint8_t> Noise(int width, int height) {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  uint32_t state = 12345;
  for (size_t i = 0; i < rgba.size(); i += 4) {
    state = state * 1664525u + 1013904223u;
    rgba[i] = uint8_t(state >> 24) & 0xFE;
    rgba[i + 1] = uint8_t(state >> 16);
    rgba[i + 2] = uint8_t(state >> 8);
    rgba[i + 3] = 255;
  }
  return rgba;
}

struct Case {
  const char* what;
  int windowWidth, windowHeight;
  uint32_t width, height, bits;
  bool windowed;  // a Blt of the whole back buffer to `to` instead of a flip
  RECT to;        // where the picture lands in the window
};

// Pixels of the picture's place in the window that are not the noise, unscaled.
long WrongPixels(const std::vector<uint32_t>& shown, const Case& c) {
  const std::vector<uint8_t> noise = Noise(int(c.width), int(c.height));
  long wrong = shown.size() != size_t(c.windowWidth) * size_t(c.windowHeight);
  for (int y = 0; y < int(c.height) && !wrong; ++y)
    for (int x = 0; x < int(c.width); ++x) {
      const uint8_t* p = &noise[(size_t(y) * c.width + size_t(x)) * 4];
      const size_t at = size_t(y + c.to.top) * size_t(c.windowWidth) + size_t(x + c.to.left);
      wrong += shown[at] != ((uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]);
    }
  return wrong;
}

class Presentation : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("QUELLAR_PRESENTATION"); }

  // Puts the noise on the window through `path` and reads back what the window shows.
  std::vector<uint32_t> Shown(const char* path, const Case& c) {
    setenv("QUELLAR_PRESENTATION", path, 1);
    RedirectedWindow window(c.windowWidth, c.windowHeight, 0, 0, 0, kUntouched);
    EXPECT_NE(window.Id(), 0u) << "no window";
    FlipChain chain(window.Id(), c.width, c.height, c.bits, c.windowed);
    if (!chain.Ok()) return {};
    Ref<DirectDrawSurface> primary = chain.primary;
    EXPECT_TRUE(chain.back->Store()->Upload(Noise(int(c.width), int(c.height)).data()));
    if (c.windowed) {
      const RECT from{0, 0, int(c.width), int(c.height)};
      EXPECT_TRUE(primary->Blt(&c.to, chain.back.Get(), &from, DDBLT_WAIT, nullptr));
    } else {
      EXPECT_TRUE(primary->Flip(nullptr, DDFLIP_WAIT));
    }
    // A swap travels on the GL library's own connection: wait until it has landed.
    std::vector<uint32_t> pixels;
    const size_t middle = size_t((c.to.top + c.to.bottom) / 2) * size_t(c.windowWidth) +
                          size_t((c.to.left + c.to.right) / 2);
    for (auto end = Clock::now() + 3s; Clock::now() < end; std::this_thread::sleep_for(20ms)) {
      pixels = window.Pixels();
      if (!pixels.empty() && pixels[middle] != kUntouched) break;
    }
    // What the program reads back of the screen (the DC of a primary) is what it shows.
    SurfaceImage read;
    EXPECT_TRUE(primary->ReadBack(&read));
    long differing = 0;
    for (int y = c.to.top; y < c.to.bottom && read.width == c.windowWidth && !pixels.empty(); ++y)
      for (int x = c.to.left; x < c.to.right; ++x)
        differing += read.Pixel(x, y) != pixels[size_t(y) * size_t(c.windowWidth) + size_t(x)];
    EXPECT_EQ(read.width, c.windowWidth);
    EXPECT_EQ(differing, 0) << "the read-back differs from the window";
    return pixels;
  }
};

// The paths differ in where they convert and scale, never in what is shown.
// The scales here put no window pixel's centre on an edge between two source
// pixels, where nearest-pixel sampling could go either way.
TEST_F(Presentation, EveryPathShowsTheSamePicture) {
  // clang-format off
  const Case cases[] = {
      {"16 bits doubled, bars above and below", 1280, 1024, 640, 480, 16, false,
       {0, 32, 1280, 992}},
      {"8 bits by 1.6 through the palette", 1280, 960, 800, 600, 8, false, {0, 0, 1280, 960}},
      {"32 bits as they are, bars at the sides", 1100, 768, 1024, 768, 32, false,
       {38, 0, 1062, 768}},
      {"a window's blit to a place inside it", 300, 200, 120, 90, 24, true, {30, 40, 150, 130}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Unscaled, the picture is the noise itself, in its place.
    const bool unscaled = c.bits >= 24 && c.to.right - c.to.left == int(c.width);
    std::vector<uint32_t> reference;  // the first path's
    for (const char* path : kPaths) {
      SCOPED_TRACE(path);
      const std::vector<uint32_t> shown = Shown(path, c);
      ASSERT_EQ(shown.size(), size_t(c.windowWidth) * size_t(c.windowHeight));
      if (reference.empty()) reference = shown;
      EXPECT_TRUE(!unscaled || WrongPixels(shown, c) == 0)
          << "the picture did not arrive unchanged";
      long differing = 0, untouched = 0, bars = 0;
      for (int y = 0; y < c.windowHeight; ++y)
        for (int x = 0; x < c.windowWidth; ++x) {
          const bool inside = x >= c.to.left && x < c.to.right && y >= c.to.top && y < c.to.bottom;
          const size_t i = size_t(y) * size_t(c.windowWidth) + size_t(x);
          // A blit leaves the rest of the window alone; a flip blackens it.
          if (c.windowed && !inside) continue;
          differing += shown[i] != reference[i];
          untouched += shown[i] == kUntouched;
          bars += !inside && shown[i] != 0;
        }
      EXPECT_EQ(differing, 0);
      EXPECT_EQ(untouched, 0);
      EXPECT_EQ(bars, 0) << "the bars are not black";
    }
  }
}

int OurSharedMemorySegments() {
  std::ifstream list("/proc/sysvipc/shm");
  int count = 0;
  list.ignore(1 << 16, '\n');
  for (long key, id, mode, size, creator; list >> key >> id >> mode >> size >> creator;
       list.ignore(1 << 16, '\n'))
    count += creator == getpid();
  return count;
}

// The server reads a picture from shared memory after Present has returned,
// and the memory is filled again only once it has. The server held by another
// client until the last of three parts has waited, the window shows each part.
TEST_F(Presentation, SharedMemoryIsFilledAgainOnlyOnceTheServerHasReadIt) {
  const int segments = OurSharedMemorySegments();
  {
    setenv("QUELLAR_PRESENTATION", "shm", 1);
    const Case c{"", 400, 100, 400, 100, 24, true, {0, 0, 400, 100}};
    RedirectedWindow window(400, 100);
    FlipChain chain(window.Id(), 400u, 100u, 24u, true);
    ASSERT_TRUE(chain.Ok() && chain.back->Store()->Upload(Noise(400, 100).data()));
    // Not through Blt, which asks the server where the window is.
    auto present = [&](int part) {
      const RECT r{100 * part, 0, 100 * part + 100, 100};
      DisplayDevice* device = chain.dd->Device();
      EXPECT_TRUE(device->Context().MakeCurrent() &&
                  device->Presenter().Present(chain.back->Store()->Buffer(), r, r, nullptr, false));
    };
    SurfaceImage done;
    present(0);
    ASSERT_TRUE(chain.primary->ReadBack(&done));
    xcb_connection_t* holder = xcb_connect(nullptr, nullptr);
    xcb_grab_server(holder);
    free(xcb_get_input_focus_reply(holder, xcb_get_input_focus(holder), nullptr));
    std::thread release([holder] {
      std::this_thread::sleep_for(100ms);
      xcb_disconnect(holder);
    });
    for (int part = 1; part < 4; ++part) present(part);
    release.join();
    ASSERT_TRUE(chain.primary->ReadBack(&done));
    EXPECT_EQ(WrongPixels(window.Pixels(), c), 0);
  }
  EXPECT_EQ(OurSharedMemorySegments(), segments) << "shared memory left behind";
}

double SecondsFor(int flips, FlipChain& chain) {
  const auto start = Clock::now();
  for (int i = 0; i < flips; ++i) EXPECT_TRUE(chain.primary->Flip(nullptr, DDFLIP_WAIT));
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Xvfb's modes carry no timings, so the 60 Hz that applies then paces the flips:
// at most one a refresh, and a stall is not made up for by a burst afterwards.
// On the shared-memory paths the server takes the window's picture away with the
// window: a flip there fails, also where the server scales.
TEST_F(Presentation, FullScreenFlipsKeepToTheRefreshRateAndFailOnceTheWindowIsGone) {
  for (const char* path : kPaths) {
    SCOPED_TRACE(path);
    setenv("QUELLAR_PRESENTATION", path, 1);
    auto window = std::make_unique<RedirectedWindow>(64, 48);
    FlipChain chain(window->Id(), 640, 480, 32);
    ASSERT_TRUE(chain.Ok());
    EXPECT_GE(SecondsFor(31, chain), 30 / 60.0 * 0.97);
    // After a stall the first flip shows at the next blank, somewhere within a
    // refresh; each further one a refresh later.
    std::this_thread::sleep_for(100ms);
    EXPECT_GE(SecondsFor(11, chain), 9 / 60.0 * 0.97);
    if (std::string(path) == "gl") continue;
    window.reset();
    bool failed = false;
    for (int i = 0; i < 10 && !failed; ++i) failed = !chain.primary->Flip(nullptr, DDFLIP_WAIT);
    EXPECT_TRUE(failed);
  }
}

}  // namespace
