#pragma once
#include <string>

#include "platform/rm/mesh_geometry.h"

// Reads every mesh of an .x file (text, binary or compressed), merged with
// its frame transforms, one group per material. Texture names stay as the
// file gives them; textures themselves are not loaded here.
//
// The model parser can crash on hostile files, so it runs in a short-lived
// child process that hands the geometry back through a pipe. A child that
// crashes, hangs past the time limit or sends nonsense makes the load fail.
bool LoadXFile(const std::string& path, MeshGeometry* geometry);

// Test hooks: code the child runs before parsing, and the time limit.
void SetXFileChildHookForTesting(void (*hook)());
void SetXFileTimeoutForTesting(int milliseconds);
