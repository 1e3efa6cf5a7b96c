#include "simulator/shot_inverse.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"
#include "simulator/rest_table.h"

#include <algorithm>
#include <cmath>

namespace simulator {

namespace {

constexpr int HeadingRounds = 3;
constexpr int SpeedRounds = 2;

struct Aim {
    double speed = 0.0;    // m/s after the half step of friction before the first world step
    double heading = 0.0;  // radians, atan2(vy, vx), after that half step
};

// Finds the sliding state whose remaining path, turned to its heading, ends at (x, y) relative to the
// delivery point, for a stone with positive spin. The distance fixes the speed and the bearing the heading.
Aim AimAt(const RestTable& table, double x, double y) {
    const double distance = std::hypot(x, y);
    const double bearing = std::atan2(y, x);
    const double maxSpeed = RestTableMaxSpeed(table);
    Aim aim;
    aim.speed = std::min(std::sqrt(2.0 * physics::SheetDeceleration * distance), maxSpeed);
    aim.heading = bearing;
    for (int round = 0; round < HeadingRounds; ++round) {
        for (int step = 0; step < SpeedRounds; ++step) {
            const RestDisplacement rest = LookUpRest(table, aim.speed, aim.heading);
            const double reach = std::hypot(rest.forward, rest.sideways);
            if (!(reach > 0.0)) {
                break;
            }
            const double reachPerSpeed =
                (rest.forward * rest.forwardPerSpeed + rest.sideways * rest.sidewaysPerSpeed) / reach;
            if (!(reachPerSpeed > 0.0)) {
                break;
            }
            aim.speed = std::clamp(aim.speed - (reach - distance) / reachPerSpeed, 0.0, maxSpeed);
        }
        const RestDisplacement rest = LookUpRest(table, aim.speed, aim.heading);
        aim.heading = bearing - std::atan2(rest.sideways, rest.forward);
    }
    return aim;
}

}  // namespace

records::ShotVector ShotForTarget(const records::ShotTarget& target) {
    records::ShotVector shot{};
    shot.curl = target.curl;
    // Negative spin mirrors positive spin across the delivery line, exactly in float arithmetic too.
    const double side = target.curl == 0 ? 1.0 : -1.0;
    const double x = side * (static_cast<double>(target.x) - records::DeliveryX);
    const double y = static_cast<double>(target.y) - records::DeliveryY;
    const double distance = std::hypot(x, y);
    if (!(distance > 0.0) || !std::isfinite(distance)) {
        return shot;
    }
    const Aim aim = AimAt(SharedRestTable(), x, y);
    // Undo the half step: it takes half a step's speed loss and turns the heading by the curl push.
    const double halfLoss = 0.5 * physics::SpeedLossPerStep;
    const double releaseSpeed = aim.speed + halfLoss;
    const double releaseHeading = aim.heading - std::atan2(physics::CurlCoefficient * halfLoss, aim.speed);
    shot.vx = static_cast<float>(side * releaseSpeed * std::cos(releaseHeading));
    shot.vy = static_cast<float>(releaseSpeed * std::sin(releaseHeading));
    return shot;
}

void WriteShotForTarget(records::ShotTarget target, records::ShotVector* shot) {
    *shot = ShotForTarget(target);
}

}  // namespace simulator
