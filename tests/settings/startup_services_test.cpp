#include <gtest/gtest.h>

#include "platform/sys/platform_identity.h"
#include "settings/random_generator.h"
#include "settings/render_quality.h"
#include "settings/settings.h"

namespace {

TEST(RandomGenerator, FollowsItsRecurrenceFromTheSeed) {
  SeedRandom(0);
  // The first draws after seed 0, worked out by hand from the recurrence.
  EXPECT_EQ(DrawRandom(), 38);
  EXPECT_EQ(DrawRandom(), 7719);
  EXPECT_EQ(DrawRandom(), 21238);
  SeedRandom(0xFFFFFFFFu);
  const int first = DrawRandom();
  SeedRandom(0xFFFFFFFFu);
  EXPECT_EQ(DrawRandom(), first);
  for (int i = 0; i < 100000; ++i) {
    const int r = DrawRandom();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST(PlatformClass, SeparatesNt4FromOtherPlatforms) {
  EXPECT_EQ(GetPlatformClass(), 1) << "this platform";
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  EXPECT_EQ(GetPlatformClass(), 2);
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 3, 51);
  EXPECT_EQ(GetPlatformClass(), 1);
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  EXPECT_EQ(GetPlatformClass(), 1);
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32s, 3, 11);
  EXPECT_EQ(GetPlatformClass(), 0);
  ResetPlatformIdentityForTesting();
}

TEST(RenderQuality, ComesFromEitherRecordsRendering) {
  SettingsRecord working{};
  ResolvedOptionsRecord options{};
  const D3DRMRENDERQUALITY expected[] = {D3DRMRENDER_WIREFRAME, D3DRMRENDER_FLAT,
                                         D3DRMRENDER_GOURAUD, D3DRMRENDER_FLAT};
  for (uint32_t rendering : {0u, 1u, 2u, 7u}) {
    working.Rendering = options.Rendering = rendering;
    EXPECT_EQ(RenderQualityFor(working), expected[rendering < 3 ? rendering : 3]);
    EXPECT_EQ(RenderQualityFor(options), expected[rendering < 3 ? rendering : 3]);
  }
  EXPECT_EQ(D3DRMRENDER_WIREFRAME, 64u);
  EXPECT_EQ(D3DRMRENDER_GOURAUD, 137u);
}

TEST(ProgramStrings, FillTheCaptionHelpFileAndAnEmptyFailureText) {
  ProgramHelpFailure[0] = 'x';
  LoadProgramStrings();
  EXPECT_STREQ(ProgramCaption, "Quellar");
  EXPECT_STREQ(ProgramHelpFile, "Quellar.hlp");
  EXPECT_STREQ(ProgramHelpFailure, "");
}

}  // namespace
