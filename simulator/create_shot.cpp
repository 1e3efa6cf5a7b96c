#include "simulator/create_shot.h"

#include "simulator/shot_inverse.h"

extern "C" void CreateShot(ShotTarget target, ShotVector* shot) {
    if (shot != nullptr) {
        *shot = simulator::ShotForTarget(target);
    }
}
