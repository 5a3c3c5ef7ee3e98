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

// A coordinate that is not finite or lies beyond 1e30 makes the load fail too.
//
// Asked every few milliseconds while the child works: true gives the load up
// at once (the child is killed). The saver's window thread uses it to answer
// input and an end while a big model is read.
void SetXFileCancelTest(bool (*test)());

// Test hooks: code the child runs before parsing (inside its sandbox, see
// parser_sandbox.h), and the time limit.
void SetXFileChildHookForTesting(void (*hook)());
void SetXFileTimeoutForTesting(int milliseconds);
