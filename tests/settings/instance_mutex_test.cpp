#include <gtest/gtest.h>
#include <signal.h>

#include "settings/settings.h"
#include "support/answering_child.h"

namespace {

// A second saver in a process of its own; it answers '1' when it got the
// mutex, '0' when it was turned away, and holds on until it is stopped.
struct Probe : AnsweringChild {
  Probe() : AnsweringChild(QUELLAR_INSTANCE_PROBE, nullptr) {}
};

TEST(InstanceMutex, ASecondInstanceIsTurnedAwayWhileTheFirstRuns) {
  ASSERT_TRUE(AcquireInstanceMutex());
  EXPECT_EQ(Probe().Answer(), '0');
  ReleaseInstanceMutex();
  {
    Probe other;
    EXPECT_EQ(other.Answer(), '1');
    EXPECT_FALSE(AcquireInstanceMutex()) << "the other process holds it now";
    ReleaseInstanceMutex();
    kill(other.Pid(), SIGKILL);
  }
  EXPECT_TRUE(AcquireInstanceMutex()) << "free again after the holder crashed";
  ReleaseInstanceMutex();
}

}  // namespace
