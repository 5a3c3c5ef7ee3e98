#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gl/gl_objects.h"
#include "platform/gl/render_target.h"
#include "platform/rm/frame.h"
#include "platform/rm/matrix.h"
#include "platform/rm/render_quality.h"
#include "platform/rm/rm_types.h"

// The OpenGL side of a device. It lives in the device's context: make it,
// use it and destroy it only with that context current.
//
// Frames that show the same visual are drawn together, one instanced draw per
// material group, so a board of hundreds of cells costs a handful of calls.
class Renderer {
 public:
  struct View {
    int x, y, width, height;  // in the target, y from the top
    float projection[16];     // column-major, column vectors
    Mat4 camera_world;
  };

  Renderer();
  ~Renderer();
  bool IsValid() const;

  void Clear(const RenderTarget& target, int x, int y, int width, int height);
  bool Draw(const RenderTarget& target, const View& view, const RMFrame& scene,
            D3DRMRENDERQUALITY ceiling, D3DRMTEXTUREQUALITY filter);

 private:
  struct Range {
    int first, count;  // in indices
    float color[4];
    Ref<RMTexture> texture;
  };
  struct GpuMesh {
    GlVertexArray vao;
    GlBuffer vertices;
    GlBuffer indices;
    std::vector<Range> ranges;
    uint64_t version = 0;
    uint64_t last_used = 0;
  };
  struct GpuTexture {
    GlTexture texture;
    uint64_t last_used = 0;
  };
  struct Batch {
    uint64_t key;
    const RMVisual* visual;  // valid only while `instances` is filled this frame
    bool from_frame;
    std::vector<float> instances;  // 20 floats each: world rows, colour
  };
  struct Lights {
    float ambient[3];
    int count;
    float direction[8][3];
    float color[8][3];
  };

  void Collect(const RMFrame& scene);
  void AddInstances(const RMFrame& frame, const Mat4& world, bool from_frame, const float* color);
  GpuMesh& MeshFor(const RMVisual& visual);
  unsigned TextureFor(const RMTexture& texture, D3DRMTEXTUREQUALITY filter);
  void DrawBatch(Batch& batch, size_t first_instance, D3DRMRENDERQUALITY ceiling,
                 D3DRMTEXTUREQUALITY filter);
  struct Uniforms {
    int view_projection, lit, from_frame, group_color, ambient, light_count, light_dir, light_color,
        texture;
  };
  struct Program {
    Program(bool flat, bool textured);
    std::unique_ptr<GlProgram> gl;
    Uniforms u{};
    uint64_t frame_set = 0;  // the frame whose view and lights it holds
  };
  const Program& UseProgram(bool flat, bool textured);
  void Evict();

  std::unique_ptr<Program> programs_[4];  // index: flat 1, textured 2
  float view_projection_[16] = {};
  GlBuffer instance_buffer_;
  std::unordered_map<uint64_t, GpuMesh> meshes_;
  std::unordered_map<uint64_t, GpuTexture> textures_;
  std::vector<Batch> batches_;
  std::unordered_map<uint64_t, size_t> batch_of_key_;
  std::vector<float> all_instances_;
  struct WalkItem {
    const RMFrame* frame;
    Mat4 parent_world;
    bool from_frame;
    const float* color;
  };
  std::vector<WalkItem> walk_;
  Lights lights_{};
  uint64_t frame_number_ = 0;
};
