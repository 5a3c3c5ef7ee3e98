#pragma once
#include <string>
#include <utility>

// Owning handles for GL objects. Each must be destroyed with its context
// current on the calling thread.

class GlBuffer {
 public:
  GlBuffer();
  ~GlBuffer();
  GlBuffer(GlBuffer&& o) noexcept : name_(std::exchange(o.name_, 0)) {}
  GlBuffer& operator=(GlBuffer&& o) noexcept;
  unsigned Name() const { return name_; }

 private:
  unsigned name_ = 0;
};

class GlVertexArray {
 public:
  GlVertexArray();
  ~GlVertexArray();
  GlVertexArray(GlVertexArray&& o) noexcept : name_(std::exchange(o.name_, 0)) {}
  GlVertexArray& operator=(GlVertexArray&& o) noexcept;
  unsigned Name() const { return name_; }

 private:
  unsigned name_ = 0;
};

class GlTexture {
 public:
  GlTexture();
  ~GlTexture();
  GlTexture(GlTexture&& o) noexcept : name_(std::exchange(o.name_, 0)) {}
  GlTexture& operator=(GlTexture&& o) noexcept;
  unsigned Name() const { return name_; }

 private:
  unsigned name_ = 0;
};

// A linked vertex + fragment program. `Error()` holds the compiler's or the
// linker's log when linking failed.
class GlProgram {
 public:
  GlProgram(const char* vertex_source, const char* fragment_source);
  ~GlProgram();
  GlProgram(const GlProgram&) = delete;
  GlProgram& operator=(const GlProgram&) = delete;

  bool IsValid() const { return name_ != 0; }
  unsigned Name() const { return name_; }
  int Uniform(const char* name) const;
  const std::string& Error() const { return error_; }

 private:
  unsigned name_ = 0;
  std::string error_;
};
