#include "platform/gl/framebuffer.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "platform/gl/gl_context.h"
#include "platform/gl/gl_objects.h"

namespace {

class FramebufferTest : public ::testing::Test {
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

TEST_F(FramebufferTest, Rgb565KeepsFiveSixFiveBits) {
  Framebuffer fbo(4, 4, ColorFormat::kRgb565, 16, ColorStorage::kTexture);
  ASSERT_TRUE(fbo.IsValid());
  EXPECT_NE(fbo.ColorTexture(), 0u);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo.Name());
  glClearColor(100 / 255.0f, 100 / 255.0f, 100 / 255.0f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  std::vector<uint8_t> rgba;
  ASSERT_TRUE(fbo.ReadPixels(rgba));
  // 100 has no exact 5-bit or 6-bit value, so the stored channels differ from it.
  EXPECT_NE(rgba[0], 100);
  EXPECT_NEAR(rgba[0], 100, 5);
  EXPECT_NEAR(rgba[1], 100, 3);
}

TEST_F(FramebufferTest, ProgramReportsCompileErrors) {
  GlProgram broken("#version 330 core\nvoid main() { gl_Position = nope; }",
                   "#version 330 core\nvoid main() {}");
  EXPECT_FALSE(broken.IsValid());
  EXPECT_FALSE(broken.Error().empty());
  GlProgram fine("#version 330 core\nvoid main() { gl_Position = vec4(0); }",
                 "#version 330 core\nout vec4 c; void main() { c = vec4(1); }");
  EXPECT_TRUE(fine.IsValid()) << fine.Error();
}

}  // namespace
