#include <gtest/gtest.h>

#include "platform/sys/tick_count.h"
#include "saver/saver_window.h"
#include "settings/resolved_options.h"

namespace {

class AcceptMouseMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSaverInstance();
    Saver.startTick = GetTickCount();
  }
  void TearDown() override { ResetSaverInstance(); }

  static int MovesUntilAccepted(int limit) {
    for (int i = 1; i <= limit; ++i)
      if (AcceptMouseMove()) return i;
    return 0;
  }
};

TEST_F(AcceptMouseMoveTest, FullScreenIgnoresMovesBeforeTheFirstFrame) {
  Resolved.ScreenMode = 1;
  for (int i = 0; i < 40; ++i) EXPECT_FALSE(AcceptMouseMove());
  EXPECT_EQ(Saver.mouseMoves, 0);
  Saver.firstFrameSeen = true;
  EXPECT_EQ(MovesUntilAccepted(20), 15);
}

TEST_F(AcceptMouseMoveTest, FullScreenMovesLaterThanTenSecondsCountTwice) {
  Resolved.ScreenMode = 3;
  Saver.firstFrameSeen = true;
  Saver.startTick = GetTickCount() - 10001;
  EXPECT_EQ(MovesUntilAccepted(20), 8);
}

TEST_F(AcceptMouseMoveTest, AFailedStartCountsMovesWithoutAFrame) {
  Resolved.ScreenMode = 1;
  Saver.status = SceneFailed;
  EXPECT_EQ(MovesUntilAccepted(20), 15);
}

TEST_F(AcceptMouseMoveTest, WindowedAndPreviewPassEveryMove) {
  Resolved.ScreenMode = 0;
  EXPECT_TRUE(AcceptMouseMove());
  EXPECT_TRUE(AcceptMouseMove());
  EXPECT_EQ(Saver.mouseMoves, 2);
}

}  // namespace
