#pragma once
#include <vector>

#include "platform/ref.h"
#include "platform/rm/light.h"
#include "platform/rm/matrix.h"
#include "platform/rm/rm_types.h"
#include "platform/rm/visual.h"

// A node of the scene tree: a local transform, motion, visuals and lights.
// A reference frame argument of null means world coordinates.
class RMFrame : public RefCounted {
 public:
  RMFrame() = default;
  ~RMFrame() override;

  bool AddChild(const Ref<RMFrame>& child);
  bool DeleteChild(const Ref<RMFrame>& child);
  RMFrame* GetParent() const { return parent_; }
  const std::vector<Ref<RMFrame>>& Children() const { return children_; }

  bool SetPosition(const Ref<RMFrame>& ref, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  bool GetPosition(const Ref<RMFrame>& ref, D3DVECTOR* position) const;
  bool SetOrientation(const Ref<RMFrame>& ref, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                      D3DVALUE uy, D3DVALUE uz);
  bool GetOrientation(const Ref<RMFrame>& ref, D3DVECTOR* dir, D3DVECTOR* up) const;
  bool SetRotation(const Ref<RMFrame>& ref, D3DVALUE ax, D3DVALUE ay, D3DVALUE az, D3DVALUE theta);
  bool SetVelocity(const Ref<RMFrame>& ref, D3DVALUE x, D3DVALUE y, D3DVALUE z);
  // Advances the motion of this frame and all its descendants by `delta` steps.
  bool Move(D3DVALUE delta);

  bool AddVisual(const Ref<RMVisual>& visual);
  bool DeleteVisual(const Ref<RMVisual>& visual);
  const std::vector<Ref<RMVisual>>& Visuals() const { return visuals_; }
  bool AddLight(const Ref<RMLight>& light);
  bool DeleteLight(const Ref<RMLight>& light);
  const std::vector<Ref<RMLight>>& Lights() const { return lights_; }

  bool SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  const float* Color() const { return color_; }
  bool SetMaterialMode(D3DRMMATERIALMODE mode);
  D3DRMMATERIALMODE GetMaterialMode() const { return material_mode_; }

  // Local transform (rows: x, y, z axes and origin in parent coordinates).
  const Mat4& Local() const { return local_; }
  void SetLocal(const Mat4& m) { local_ = m; }
  Mat4 World() const;

 private:
  static Mat4 WorldOf(const RMFrame* frame);
  void MoveOne(double delta);
  void MoveTree(double delta);

  RMFrame* parent_ = nullptr;
  std::vector<Ref<RMFrame>> children_;
  std::vector<Ref<RMVisual>> visuals_;
  std::vector<Ref<RMLight>> lights_;
  Mat4 local_ = Mat4::Identity();
  Vec3 rotation_axis_{0, 0, 0};  // in parent coordinates
  double rotation_theta_ = 0;
  Vec3 velocity_{0, 0, 0};  // in parent coordinates
  float color_[4] = {1, 1, 1, 1};
  D3DRMMATERIALMODE material_mode_ = D3DRMMATERIAL_FROMMESH;
};
