#include "platform/gl/framebuffer.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "platform/gl/gl_context.h"
#include "platform/gl/gl_objects.h"
#include "platform/gl/offscreen_target.h"

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

  // Fills the top half red and the bottom half blue, in GL's own rows.
  static void PaintHalves(const Framebuffer& fbo) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo.Name());
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, fbo.Height() / 2, fbo.Width(), fbo.Height() - fbo.Height() / 2);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 0, fbo.Width(), fbo.Height() / 2);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
  }

  std::unique_ptr<GlContext> context_;
};

TEST_F(FramebufferTest, ReadPixelsGivesTopRowFirst) {
  Framebuffer fbo(8, 6, ColorFormat::kRgba8, 24);
  ASSERT_TRUE(fbo.IsValid());
  EXPECT_TRUE(fbo.HasDepth());
  PaintHalves(fbo);
  std::vector<uint8_t> rgba;
  ASSERT_TRUE(fbo.ReadPixels(rgba));
  ASSERT_EQ(rgba.size(), 8u * 6 * 4);
  EXPECT_EQ(rgba[0], 255) << "top row red";
  EXPECT_EQ(rgba[2], 0);
  const size_t last = (5 * 8 + 7) * 4;
  EXPECT_EQ(rgba[last], 0) << "bottom row blue";
  EXPECT_EQ(rgba[last + 2], 255);
}

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

TEST_F(FramebufferTest, ResizeChangesSizeAndStaysComplete) {
  Framebuffer fbo(4, 4, ColorFormat::kRgba8, 0);
  EXPECT_FALSE(fbo.HasDepth());
  ASSERT_TRUE(fbo.Resize(33, 17));
  EXPECT_EQ(fbo.Width(), 33);
  PaintHalves(fbo);
  std::vector<uint8_t> rgba;
  ASSERT_TRUE(fbo.ReadPixels(rgba));
  EXPECT_EQ(rgba.size(), 33u * 17 * 4);
  // An odd row count leaves a middle row that must stay where it is.
  EXPECT_EQ(rgba[8 * 33 * 4], 255) << "middle row red";
  EXPECT_EQ(rgba[16 * 33 * 4 + 2], 255) << "bottom row blue";
  EXPECT_FALSE(fbo.Resize(0, 10));
  EXPECT_FALSE(fbo.IsValid());
  EXPECT_FALSE(fbo.ReadPixels(rgba));
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

TEST(OffscreenTargetTest, ServesAsRenderTargetFromAnyThread) {
  auto target = OffscreenTarget::Create(16, 8, 16);
  ASSERT_TRUE(target);
  EXPECT_EQ(target->Width(), 16);
  EXPECT_TRUE(target->HasDepth());
  ASSERT_TRUE(target->MakeCurrent());
  glBindFramebuffer(GL_FRAMEBUFFER, target->Framebuffer());
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  target->DoneCurrent();
  std::vector<uint8_t> rgba;
  ASSERT_TRUE(target->ReadPixels(rgba));
  EXPECT_EQ(rgba[2], 255);
  target->DoneCurrent();
}

}  // namespace
