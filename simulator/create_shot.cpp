#include "simulator/create_shot.h"

#include <cmath>

// First estimate, without curl: a stone decelerating at 12.009216 m/s^2 stops after v^2 / (2 d).
extern "C" void CreateShot(ShotTarget target, ShotVector* shot) {
    const float deliveryX = 2.375f;
    const float deliveryY = 41.28f;
    double dx = static_cast<double>(target.x) - deliveryX;
    double dy = static_cast<double>(target.y) - deliveryY;
    double distance = std::sqrt(dx * dx + dy * dy);
    double speed = std::sqrt(2.0 * 12.009216 * distance);
    shot->vx = distance > 0.0 ? static_cast<float>(dx / distance * speed) : 0.0f;
    shot->vy = distance > 0.0 ? static_cast<float>(dy / distance * speed) : 0.0f;
    shot->curl = target.curl;
}
