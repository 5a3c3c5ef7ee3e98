#include <gtest/gtest.h>

#include "platform/sys/platform_identity.h"
#include "settings/random_generator.h"
#include "settings/render_quality.h"
#include "settings/settings.h"

namespace {

TEST(RandomGenerator, FollowsItsRecurrenceFromTheSeedWithinRange) {
  SeedRandom(0);
  // The first draws after seed 0, worked out by hand from the recurrence.
  EXPECT_EQ(DrawRandom(), 38);
  EXPECT_EQ(DrawRandom(), 7719);
  EXPECT_EQ(DrawRandom(), 21238);
  SeedRandom(0xFFFFFFFFu);
  for (int i = 0; i < 100000; ++i) {
    const int r = DrawRandom();
    ASSERT_TRUE(r >= 0 && r <= 32767) << r;
  }
}

TEST(PlatformClass, SeparatesNt4FromOtherPlatforms) {
  EXPECT_EQ(GetPlatformClass(), kPlatformWindows9x) << "this platform";
  const uint32_t identities[][4] = {{VER_PLATFORM_WIN32_NT, 4, 0, kPlatformWindowsNT4},
                                    {VER_PLATFORM_WIN32_NT, 3, 51, kPlatformWindows9x},
                                    {VER_PLATFORM_WIN32_WINDOWS, 4, 10, kPlatformWindows9x},
                                    {VER_PLATFORM_WIN32s, 3, 11, kPlatformWin32s}};
  for (const auto& id : identities) {
    SetPlatformIdentityForTesting(id[0], id[1], id[2]);
    EXPECT_EQ(GetPlatformClass(), int(id[3])) << id[0] << " " << id[1] << "." << id[2];
  }
  ResetPlatformIdentityForTesting();
}

TEST(RenderQuality, ComesFromEitherRecordsRendering) {
  SettingsRecord working{};
  ResolvedOptionsRecord options{};
  const D3DRMRENDERQUALITY expected[] = {D3DRMRENDER_WIREFRAME, D3DRMRENDER_FLAT,
                                         D3DRMRENDER_GOURAUD, D3DRMRENDER_FLAT};
  for (uint32_t rendering : {0u, 1u, 2u, 7u}) {
    working.Rendering = options.Rendering = rendering;
    EXPECT_EQ(RenderQualityFor(working), expected[std::min(rendering, 3u)]) << rendering;
    EXPECT_EQ(RenderQualityFor(options), expected[std::min(rendering, 3u)]) << rendering;
  }
}

}  // namespace
