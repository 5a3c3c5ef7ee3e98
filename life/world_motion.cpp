#include <cmath>

#include "life/world.h"
#include "settings/resolved_options.h"

// What moves once per frame besides the cells: the orbiting camera, the
// turning roll axis of the board and the phase that drives waves and colours.

void World::MoveCamera() {
  if (!Resolved.CameraMove || !cameraFrame) return;
  const double h = Height();
  const double t = animationPhase / 3;
  const double s = 2 * h * std::sin(0.9 * t);
  const double z = -2 * h * (1.45 + std::cos(t));
  const float fs = static_cast<float>(s);
  const float fz = static_cast<float>(z);
  cameraFrame->SetPosition(sceneFrame, fs, fs, fz);
  // Always towards the scene's origin.
  cameraFrame->SetOrientation(sceneFrame, -fs, -fs, -fz, 0, 1, 0);
}

void World::AdvanceRoll() {
  if (Resolved.Roll == 2 && boardFrame) {
    boardFrame->SetRotation(sceneFrame, static_cast<float>(std::sin(rollAngle)),
                            static_cast<float>(std::cos(rollAngle)), 0,
                            static_cast<float>(kPi / 60));
  }
  rollAngle += kPi / 180;
}

void World::AdvancePhase() {
  animationPhase += 5 * kPi / 180;
  if (animationPhase > kPhaseLimit) animationPhase = 0;
}
