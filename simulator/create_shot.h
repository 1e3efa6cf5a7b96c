#pragma once

#include "records/game_state.h"

// The simulator library's export. Writes the shot that brings a lone stone from the delivery point
// to rest at the target. Deterministic and safe to call from any thread.
extern "C" __attribute__((visibility("default"))) void CreateShot(records::ShotTarget target,
                                                                  records::ShotVector* shot);
