#include <gtest/gtest.h>

#include "platform/gl/gl_context.h"
#include "platform/gl/gl_objects.h"

namespace {

// Framebuffers (row order, depth, 16-bit colour) are seen in the rm, stage and display-mode
// pictures.
class GlProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_ = GlContext::CreateHeadless();
    ASSERT_TRUE(context_);
    ASSERT_TRUE(context_->MakeCurrent());
  }
  void TearDown() override {
    if (context_) context_->DoneCurrent();
  }

  std::unique_ptr<GlContext> context_;
};

TEST_F(GlProgramTest, ReportsCompileErrors) {
  GlProgram broken("#version 330 core\nvoid main() { gl_Position = nope; }",
                   "#version 330 core\nvoid main() {}");
  EXPECT_FALSE(broken.IsValid());
  EXPECT_FALSE(broken.Error().empty());
  GlProgram fine("#version 330 core\nvoid main() { gl_Position = vec4(0); }",
                 "#version 330 core\nout vec4 c; void main() { c = vec4(1); }");
  EXPECT_TRUE(fine.IsValid()) << fine.Error();
}

}  // namespace
