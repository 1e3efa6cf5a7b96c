#pragma once

#include <cfloat>
#include <cmath>

// Two-dimensional float arithmetic with Box2D's b2Vec2 operations, each one rounding as Box2D's does:
// the stone world keeps its results bit for bit only if every expression is written in Box2D's order,
// so these helpers do nothing but the operation their name says.
namespace physics {

// Trivial, like b2Vec2, so that the solver's arrays of them cost nothing to declare; Vec2{} is zero.
struct Vec2 {
    float x;
    float y;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return Vec2{a.x + b.x, a.y + b.y};
}

inline Vec2 operator-(Vec2 a, Vec2 b) {
    return Vec2{a.x - b.x, a.y - b.y};
}

inline Vec2 operator*(float s, Vec2 a) {
    return Vec2{s * a.x, s * a.y};
}

inline float Dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}

inline float Cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}

// The vector crossed with a scalar, and a scalar crossed with the vector (perpendiculars, scaled).
inline Vec2 Cross(Vec2 a, float s) {
    return Vec2{s * a.y, -s * a.x};
}

inline Vec2 Cross(float s, Vec2 a) {
    return Vec2{-s * a.y, s * a.x};
}

inline float Length(Vec2 a) {
    return std::sqrt(a.x * a.x + a.y * a.y);
}

// b2Vec2::Normalize: a vector shorter than FLT_EPSILON is left as it is.
inline Vec2 Normalized(Vec2 a) {
    const float length = Length(a);
    if (length < FLT_EPSILON) {
        return a;
    }
    const float inverseLength = 1.0f / length;
    return Vec2{a.x * inverseLength, a.y * inverseLength};
}

// b2Min and b2Max: the first operand unless the second is strictly smaller (larger), which is not what
// std::min and std::max answer for zeros of either sign.
inline float Min(float a, float b) {
    return a < b ? a : b;
}

inline float Max(float a, float b) {
    return a > b ? a : b;
}

}  // namespace physics
