#include "platform/gl/gl_objects.h"

#include <epoxy/gl.h>

GlBuffer::GlBuffer() {
  glGenBuffers(1, &name_);
}
GlBuffer::~GlBuffer() {
  if (name_) glDeleteBuffers(1, &name_);
}
GlBuffer& GlBuffer::operator=(GlBuffer&& o) noexcept {
  std::swap(name_, o.name_);
  return *this;
}

GlVertexArray::GlVertexArray() {
  glGenVertexArrays(1, &name_);
}
GlVertexArray::~GlVertexArray() {
  if (name_) glDeleteVertexArrays(1, &name_);
}
GlVertexArray& GlVertexArray::operator=(GlVertexArray&& o) noexcept {
  std::swap(name_, o.name_);
  return *this;
}

GlTexture::GlTexture() {
  glGenTextures(1, &name_);
}
GlTexture::~GlTexture() {
  if (name_) glDeleteTextures(1, &name_);
}
GlTexture& GlTexture::operator=(GlTexture&& o) noexcept {
  std::swap(name_, o.name_);
  return *this;
}

namespace {

GLuint CompileShader(GLenum type, const char* source, std::string* error) {
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  char log[2048] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  *error = log;
  glDeleteShader(shader);
  return 0;
}

}  // namespace

GlProgram::GlProgram(const char* vertex_source, const char* fragment_source) {
  GLuint vs = CompileShader(GL_VERTEX_SHADER, vertex_source, &error_);
  GLuint fs = vs ? CompileShader(GL_FRAGMENT_SHADER, fragment_source, &error_) : 0;
  if (!vs || !fs) {
    if (vs) glDeleteShader(vs);
    return;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    error_ = log;
    glDeleteProgram(program);
    return;
  }
  name_ = program;
}

GlProgram::~GlProgram() {
  if (name_) glDeleteProgram(name_);
}

int GlProgram::Uniform(const char* name) const {
  return glGetUniformLocation(name_, name);
}
