#include "simulator/create_shot.h"

#include "simulator/shot_inverse.h"

extern "C" void CreateShot(records::ShotTarget target, records::ShotVector* shot) {
    if (shot != nullptr) {
        *shot = simulator::ShotForTarget(target);
    }
}
