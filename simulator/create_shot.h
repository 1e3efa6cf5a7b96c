#pragma once

#include "records/game_state.h"

#if defined(_WIN32)
#define CURLING_SIMULATOR_EXPORT __declspec(dllexport)
#else
#define CURLING_SIMULATOR_EXPORT __attribute__((visibility("default")))
#endif

// The simulator library's export. Writes the shot that brings a lone stone from the delivery point
// to rest at the target. Deterministic and safe to call from any thread.
extern "C" CURLING_SIMULATOR_EXPORT void CreateShot(records::ShotTarget target, records::ShotVector* shot);
