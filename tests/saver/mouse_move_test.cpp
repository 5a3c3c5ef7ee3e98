#include <gtest/gtest.h>

#include "platform/sys/tick_count.h"
#include "saver/saver_window.h"
#include "settings/resolved_options.h"

namespace {

int MovesUntilAccepted(int limit) {
  for (int i = 1; i <= limit; ++i)
    if (AcceptMouseMove()) return i;
  return 0;
}

// The move that ends the saver (0: none of 40), by screen mode and state.
TEST(AcceptMouseMove, FullScreenEndsOnTheFifteenthCountedMoveAndAWindowOnTheFirst) {
  struct Case {
    const char* name;
    int screenMode;
    bool firstFrameSeen;
    int status;
    uint32_t age;  // milliseconds since the start
    int ending;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"full screen before the first frame", 1, false, Running, 0, 0},
           {"full screen", 1, true, Running, 0, 15},
           {"later than ten seconds moves count twice", 3, true, Running, 10001, 8},
           {"a failed start counts moves without a frame", 1, false, SceneFailed, 0, 15},
           {"windowed", 0, false, Running, 0, 1}}) {
    SCOPED_TRACE(c.name);
    ResetSaverInstance();
    Resolved.ScreenMode = c.screenMode;
    Saver.firstFrameSeen = c.firstFrameSeen;
    Saver.status = c.status;
    Saver.startTick = GetTickCount() - c.age;
    EXPECT_EQ(MovesUntilAccepted(40), c.ending);
    // Moves before the first frame do not count towards the fifteen.
    Saver.firstFrameSeen = true;
    if (c.ending == 0) {
      EXPECT_EQ(MovesUntilAccepted(40), 15);
    }
  }
  ResetSaverInstance();
}

}  // namespace
