#include "platform/gl/gl_context.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>
// Xlib's macros (None, Bool ...) clash with GoogleTest's names: include it last.
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// The X11 pbuffer is the fallback where EGL has no surfaceless contexts.
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

// Another thread takes a context over after DoneCurrent, and destroying one
// context leaves another current.
TEST(GlContextTest, ContextsMoveBetweenThreadsAndOutliveEachOther) {
  auto context = GlContext::CreateHeadless(), other = GlContext::CreateHeadless();
  ASSERT_TRUE(context && other);
  ASSERT_TRUE(context->MakeCurrent());
  context->DoneCurrent();
  bool current_there = false;
  GLenum error = GL_INVALID_OPERATION;
  std::thread([&] {
    current_there = context->MakeCurrent();
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glDeleteBuffers(1, &buffer);
    error = glGetError();
    context->DoneCurrent();
  }).join();
  EXPECT_TRUE(current_there);
  EXPECT_EQ(error, static_cast<GLenum>(GL_NO_ERROR));
  ASSERT_TRUE(context->MakeCurrent()) << "and back on the first thread";
  other.reset();
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  context->DoneCurrent();
}

// Draws into a real X window and reads the colour back through the window's
// own back buffer. Needs an X server (xvfb-run); skipped without one.
TEST(GlContextTest, WindowContextDrawsIntoXWindow) {
  EXPECT_FALSE(GlContext::CreateForWindow(0)) << "no window, no context";
  Display* display = XOpenDisplay(nullptr);
  if (!display) GTEST_SKIP() << "no X server";
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 64, 48, 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  {
    auto context = GlContext::CreateForWindow(window);
    ASSERT_TRUE(context);
    ASSERT_TRUE(context->MakeCurrent());
    EXPECT_EQ(context->SurfaceWidth(), 64);
    EXPECT_EQ(context->SurfaceHeight(), 48);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_TRUE(context->SwapBuffers());
    context->DoneCurrent();
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
}

}  // namespace
