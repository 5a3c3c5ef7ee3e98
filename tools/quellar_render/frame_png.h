#pragma once
#include <string>

class World;

// Writes what the World's Stage last presented as a PNG file.
bool WritePresentedFrame(World& world, const std::string& path);
