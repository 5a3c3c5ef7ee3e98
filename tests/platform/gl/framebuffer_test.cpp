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

// Rows come back top row first, also after a resize to an odd row count.
TEST_F(FramebufferTest, ReadPixelsGivesTopRowFirstBeforeAndAfterAResize) {
  Framebuffer fbo(8, 6, ColorFormat::kRgba8, 24);
  ASSERT_TRUE(fbo.IsValid());
  EXPECT_TRUE(fbo.HasDepth());
  std::vector<uint8_t> rgba;
  for (const auto& [width, height] : {std::pair{8, 6}, std::pair{33, 17}}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    ASSERT_TRUE(fbo.Resize(width, height));
    PaintHalves(fbo);
    ASSERT_TRUE(fbo.ReadPixels(rgba));
    ASSERT_EQ(rgba.size(), size_t(width) * size_t(height) * 4);
    // The middle row of an odd count belongs to the top half.
    const size_t middle = size_t((height - 1) / 2 * width) * 4, bottom = rgba.size() - 4;
    EXPECT_EQ(std::vector(rgba.begin(), rgba.begin() + 3), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(rgba[middle], 255) << "middle row red";
    EXPECT_EQ(std::vector(rgba.begin() + bottom, rgba.begin() + bottom + 3),
              (std::vector<uint8_t>{0, 0, 255}));
  }
  EXPECT_FALSE(fbo.Resize(0, 10));
  EXPECT_FALSE(fbo.IsValid());
  EXPECT_FALSE(fbo.ReadPixels(rgba));
  EXPECT_FALSE(Framebuffer(4, 4, ColorFormat::kRgba8, 0).HasDepth());
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
