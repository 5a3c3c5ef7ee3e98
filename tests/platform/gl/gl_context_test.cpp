#include "platform/gl/gl_context.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gl/gl_objects.h"

namespace {

// The X11 pbuffer is the fallback where EGL has no surfaceless contexts. Window contexts,
// and contexts moving to the Render thread, are seen in the saver's pictures (tests/e2e);
// framebuffers (row order, depth, 16-bit colour) in the rm, stage and display-mode pictures.
TEST(GlContextTest, HeadlessContextsAreCoreProfile33OrLaterAndReportCompileErrors) {
  for (const auto kind : {GlContext::Headless::kAny, GlContext::Headless::kX11Pbuffer}) {
    if (kind == GlContext::Headless::kX11Pbuffer && !std::getenv("DISPLAY")) continue;
    SCOPED_TRACE(int(kind));
    auto context = GlContext::CreateHeadless(kind);
    ASSERT_TRUE(context);
    ASSERT_TRUE(context->MakeCurrent());
    EXPECT_GE(epoxy_gl_version(), 33);
    GLint mask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
    EXPECT_TRUE(mask & GL_CONTEXT_CORE_PROFILE_BIT);
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glDeleteFramebuffers(1, &fbo);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(context->SwapBuffers()) << "a headless context has nothing to show";
    {
      GlProgram broken("#version 330 core\nvoid main() { gl_Position = nope; }",
                       "#version 330 core\nvoid main() {}");
      EXPECT_FALSE(broken.IsValid());
      EXPECT_FALSE(broken.Error().empty());
      GlProgram fine("#version 330 core\nvoid main() { gl_Position = vec4(0); }",
                     "#version 330 core\nout vec4 c; void main() { c = vec4(1); }");
      EXPECT_TRUE(fine.IsValid()) << fine.Error();
    }
    context->DoneCurrent();
  }
}

}  // namespace
