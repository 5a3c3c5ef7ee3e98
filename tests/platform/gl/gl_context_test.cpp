#include "platform/gl/gl_context.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The X11 pbuffer is the fallback where EGL has no surfaceless contexts. Window contexts,
// and contexts moving to the Render thread, are seen in the saver's pictures (tests/e2e).
TEST(GlContextTest, HeadlessContextsAreCoreProfile33OrLater) {
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
    context->DoneCurrent();
  }
}

}  // namespace
