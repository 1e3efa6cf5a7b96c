#include "physics/detail/inert_stones.h"

#include "physics/detail/private_member.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

namespace physics {

struct BodyStillTime {
    using Type = float b2Body::*;
    friend Type MemberOf(BodyStillTime);
};
template struct PrivateMember<BodyStillTime, &b2Body::m_sleepTime>;

namespace {

bool HoldsStill(const b2Body& body) {
    const b2Vec2& v = body.GetLinearVelocity();
    return body.IsAwake() && v.x == 0.0f && v.y == 0.0f && body.GetAngularVelocity() == 0.0f;
}

bool SameSpot(const b2Body& a, const b2Body& b) {
    return a.GetPosition().x == b.GetPosition().x && a.GetPosition().y == b.GetPosition().y;
}

// The position solver's correction of a touching contact between two stones, worked out with the
// solver's own operations in its order (the circles sit at the bodies' centres): true when it leaves
// both centres as they are. That holds within the slop, where there is nothing to correct, on one spot,
// where there is no direction to push along, and where the push is too small to change a coordinate.
bool CorrectionMovesNothing(const b2Contact& contact) {
    const b2Body& bodyA = *contact.GetFixtureA()->GetBody();
    const b2Body& bodyB = *contact.GetFixtureB()->GetBody();
    const float mA = 1.0f / bodyA.GetMass();
    const float mB = 1.0f / bodyB.GetMass();
    const float iA = 1.0f / bodyA.GetInertia();
    const float iB = 1.0f / bodyB.GetInertia();
    const b2Vec2 cA = bodyA.GetWorldCenter();
    const b2Vec2 cB = bodyB.GetWorldCenter();
    b2Vec2 normal = cB - cA;
    normal.Normalize();
    const b2Vec2 point = 0.5f * (cA + cB);
    const float separation = b2Dot(cB - cA, normal) - contact.GetFixtureA()->GetShape()->m_radius -
                             contact.GetFixtureB()->GetShape()->m_radius;
    const b2Vec2 rA = point - cA;
    const b2Vec2 rB = point - cB;
    const float C = b2Clamp(b2_baumgarte * (separation + b2_linearSlop), -b2_maxLinearCorrection, 0.0f);
    const float rnA = b2Cross(rA, normal);
    const float rnB = b2Cross(rB, normal);
    const float K = mA + mB + iA * rnA * rnA + iB * rnB * rnB;
    const float impulse = K > 0.0f ? -C / K : 0.0f;
    const b2Vec2 P = impulse * normal;
    const b2Vec2 movedA = cA - mA * P;
    const b2Vec2 movedB = cB + mB * P;
    return movedA.x == cA.x && movedA.y == cA.y && movedB.x == cB.x && movedB.y == cB.y;
}

// A touching contact between two still stones that changes nothing in a step: no impulse carried over
// to warm the next step, and a correction that moves neither.
bool QuietContact(const b2Contact& contact) {
    const b2Manifold& manifold = *contact.GetManifold();
    for (int k = 0; k < manifold.pointCount; ++k) {
        if (manifold.points[k].normalImpulse != 0.0f || manifold.points[k].tangentImpulse != 0.0f) {
            return false;
        }
    }
    return CorrectionMovesNothing(contact);
}

// Keeps stone i a candidate while every stone it touches is a candidate and their contact is quiet.
bool StaysCandidate(const SheetStones& stones, const bool* candidate, int i) {
    const b2Body& body = *stones.bodies[i];
    for (const b2ContactEdge* edge = body.GetContactList(); edge != nullptr; edge = edge->next) {
        if (!edge->contact->IsTouching()) {
            continue;
        }
        const int other = StoneIndex(stones, edge->other);
        if (other < 0 || !candidate[other] || !QuietContact(*edge->contact)) {
            return false;
        }
    }
    return true;
}

}  // namespace

InertStones FindInertStones(const SheetStones& stones) {
    // Without two touching stones on one spot there is nothing to seed the inert set from.
    bool anyOnOneSpot = false;
    for (int i = 0; i < stones.count && !anyOnOneSpot; ++i) {
        if (stones.bodies[i] == nullptr) {
            continue;
        }
        for (const b2ContactEdge* edge = stones.bodies[i]->GetContactList(); edge != nullptr;
             edge = edge->next) {
            anyOnOneSpot =
                anyOnOneSpot || (edge->contact->IsTouching() && SameSpot(*stones.bodies[i], *edge->other));
        }
    }
    if (!anyOnOneSpot) {
        return InertStones{};
    }
    bool candidate[records::StoneCount] = {};
    for (int i = 0; i < stones.count; ++i) {
        candidate[i] = stones.bodies[i] != nullptr && HoldsStill(*stones.bodies[i]);
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < stones.count; ++i) {
            if (candidate[i] && !StaysCandidate(stones, candidate, i)) {
                candidate[i] = false;
                changed = true;
            }
        }
    }
    // Quiet stones that touch form islands; only an island holding two stones on one spot never sleeps.
    InertStones inert;
    for (int i = 0; i < stones.count; ++i) {
        if (!candidate[i] || inert.inert[i]) {
            continue;
        }
        for (const b2ContactEdge* edge = stones.bodies[i]->GetContactList(); edge != nullptr;
             edge = edge->next) {
            if (edge->contact->IsTouching() && SameSpot(*stones.bodies[i], *edge->other)) {
                inert.inert[i] = true;
            }
        }
    }
    for (bool grown = true; grown;) {
        grown = false;
        for (int i = 0; i < stones.count; ++i) {
            if (!inert.inert[i]) {
                continue;
            }
            for (const b2ContactEdge* edge = stones.bodies[i]->GetContactList(); edge != nullptr;
                 edge = edge->next) {
                const int other = StoneIndex(stones, edge->other);
                if (edge->contact->IsTouching() && other >= 0 && !inert.inert[other]) {
                    inert.inert[other] = true;
                    grown = true;
                }
            }
        }
    }
    for (int i = 0; i < stones.count; ++i) {
        inert.count += inert.inert[i] ? 1 : 0;
    }
    return inert;
}

InertStones CoincidentStones(const records::GameState& state, const int* placed, int placedCount) {
    InertStones inert;
    for (int a = 0; a < placedCount; ++a) {
        for (int b = 0; b < placedCount; ++b) {
            const records::StonePosition& p = state.stones[placed[a]];
            const records::StonePosition& q = state.stones[placed[b]];
            if (a != b && p.x == q.x && p.y == q.y) {
                inert.inert[placed[a]] = true;
            }
        }
        inert.count += inert.inert[placed[a]] ? 1 : 0;
    }
    return inert;
}

void ScanAtRest(PlayOutcome& outcome, const InertStones& inert) {
    for (int i = 0; i < outcome.count; ++i) {
        if (!outcome.present[i]) {
            continue;
        }
        const records::StonePosition& at = outcome.position[i];
        if (IsOffSheet(ClassifyStonePosition(at.x, at.y))) {
            outcome.present[i] = false;
            outcome.position[i] = records::StonePosition{0.0f, 0.0f};
        } else if (inert.inert[i]) {
            return;
        }
    }
}

void AdvanceStillTime(b2Body& body, int steps) {
    float& stillTime = body.*MemberOf(BodyStillTime{});
    for (int k = 0; k < steps; ++k) {
        stillTime += TimeStep;
    }
}

float StillTime(const b2Body& body) {
    return body.*MemberOf(BodyStillTime{});
}

void SetStillTime(b2Body& body, float time) {
    body.*MemberOf(BodyStillTime{}) = time;
}

}  // namespace physics
