#include "physics/sheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using physics::ClassifyStonePosition;
using physics::StoneZone;

float Up(float value) {
    return std::nextafter(value, 100.0f);
}

float Down(float value) {
    return std::nextafter(value, -100.0f);
}

struct ZoneCase {
    const char* name;
    float x;
    float y;
    StoneZone expected;  // onSheet, inPlay, inGuardZone, inHouse
};

TEST(SheetZones, StrictBoundsAndExactSingles) {
    const float nearestHog = 11.135f;
    const float hogBound = Down(nearestHog);
    // (0x1.c09a1p+1, 6.5) lies exactly 1.975 from the tee in single arithmetic.
    const float houseEdgeX = 0x1.c09a1p+1f;
    const std::vector<ZoneCase> cases = {
        {"stone not on the sheet", 0.0f, 0.0f, {false, false, false, false}},
        {"on the low side bound", 0.145f, 8.0f, {false, false, false, false}},
        {"inside the low side bound", Up(0.145f), 8.0f, {true, true, true, false}},
        {"on the high side bound", 4.605f, 8.0f, {false, false, false, false}},
        {"inside the high side bound", Down(4.605f), 8.0f, {true, true, true, false}},
        {"on the back bound of play", 0.5f, 2.905f, {false, false, false, false}},
        {"inside the back bound of play", 0.5f, Up(2.905f), {false, true, false, false}},
        {"behind the back line, in play", 2.375f, 3.0f, {false, true, false, true}},
        {"on the back bound of the sheet", 0.5f, 3.195f, {false, true, false, false}},
        {"inside the back bound of the sheet", 0.5f, Up(3.195f), {true, true, false, false}},
        {"on the hog-line bound", 2.375f, hogBound, {true, false, false, false}},
        {"inside the hog-line bound", 2.375f, Down(hogBound), {true, true, true, false}},
        {"single nearest to 11.135", 2.375f, nearestHog, {true, false, false, false}},
        {"single nearest to the tee-line bound", 0.3f, 4.735f, {true, true, true, false}},
        {"single below the tee-line bound", 0.3f, Down(4.735f), {true, true, false, false}},
        {"on the far bound", 2.375f, 45.405f, {false, false, false, false}},
        {"inside the far bound", 2.375f, Down(45.405f), {true, false, false, false}},
        {"exactly on the house reach", houseEdgeX, 6.5f, {true, true, true, false}},
        {"just inside the house reach", Down(houseEdgeX), 6.5f, {true, true, false, true}},
    };
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(c.name);
        const StoneZone zone = ClassifyStonePosition(c.x, c.y);
        EXPECT_EQ(zone.onSheet, c.expected.onSheet);
        EXPECT_EQ(zone.inPlay, c.expected.inPlay);
        EXPECT_EQ(zone.inGuardZone, c.expected.inGuardZone);
        EXPECT_EQ(zone.inHouse, c.expected.inHouse);
        EXPECT_EQ(physics::IsOffSheet(zone), !c.expected.onSheet && !c.expected.inPlay &&
                                                 !c.expected.inGuardZone && !c.expected.inHouse);
    }
}

}  // namespace
