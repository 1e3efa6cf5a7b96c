#pragma once

#include "physics/world/vec2.h"
#include "records/sheet.h"

// An axis-aligned box in sheet coordinates with b2AABB's operations: the broad phase keeps a fat box
// per stone, and every box test of the stone world goes through these.
namespace physics {

struct Box {
    float lowerX = 0.0f;
    float lowerY = 0.0f;
    float upperX = 0.0f;
    float upperY = 0.0f;
};

inline Box Combine(const Box& a, const Box& b) {
    return Box{Min(a.lowerX, b.lowerX), Min(a.lowerY, b.lowerY), Max(a.upperX, b.upperX),
               Max(a.upperY, b.upperY)};
}

// Whether `outer` holds `inner`, edges included.
inline bool Contains(const Box& outer, const Box& inner) {
    return outer.lowerX <= inner.lowerX && outer.lowerY <= inner.lowerY && inner.upperX <= outer.upperX &&
           inner.upperY <= outer.upperY;
}

// b2TestOverlap: boxes that share only an edge overlap.
inline bool Overlap(const Box& a, const Box& b) {
    const float d1x = b.lowerX - a.upperX;
    const float d1y = b.lowerY - a.upperY;
    const float d2x = a.lowerX - b.upperX;
    const float d2y = a.lowerY - b.upperY;
    return !(d1x > 0.0f || d1y > 0.0f) && !(d2x > 0.0f || d2y > 0.0f);
}

inline float Perimeter(const Box& box) {
    const float wx = box.upperX - box.lowerX;
    const float wy = box.upperY - box.lowerY;
    return 2.0f * (wx + wy);
}

inline Vec2 Centre(const Box& box) {
    return Vec2{0.5f * (box.lowerX + box.upperX), 0.5f * (box.lowerY + box.upperY)};
}

// b2CircleShape::ComputeAABB of a stone whose centre is at `centre`. A zero coordinate gives the same
// bounds whatever its sign, so the rotation of the body never matters here.
inline Box StoneBoxAt(Vec2 centre) {
    return Box{centre.x - records::StoneRadius, centre.y - records::StoneRadius,
               centre.x + records::StoneRadius, centre.y + records::StoneRadius};
}

}  // namespace physics
