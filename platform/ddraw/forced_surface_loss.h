#pragma once

class DirectDraw;

// For the end-to-end tests of the saver's recovery: with the environment value
// QUELLAR_LOSE_SURFACES_AFTER_FRAMES=K, the K-th presentation of the process
// makes every surface of its DirectDraw object lost with a restore that fails,
// as a display whose surfaces cannot come back. It happens once per process,
// so the DirectDraw object made afterwards works.
void CountPresentationForForcedLoss(DirectDraw* owner);
