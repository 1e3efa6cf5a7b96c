#include "physics/plain/sheet_stones.h"

#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

namespace physics {

int StoneIndex(const SheetStones& stones, const b2Body* body) {
    for (int i = 0; i < stones.count; ++i) {
        if (stones.bodies[i] == body) {
            return i;
        }
    }
    return -1;
}

b2Body* CreateStoneBody(b2World& world, float x, float y, float radius, float density, float restitution,
                        float friction) {
    b2BodyDef bodyDef;
    bodyDef.type = b2_dynamicBody;
    bodyDef.position.Set(x, y);
    bodyDef.allowSleep = true;
    bodyDef.awake = true;
    b2Body* body = world.CreateBody(&bodyDef);

    b2CircleShape circle;
    circle.m_radius = radius;
    b2FixtureDef fixtureDef;
    fixtureDef.shape = &circle;
    fixtureDef.density = density;
    fixtureDef.friction = friction;
    fixtureDef.restitution = restitution;
    fixtureDef.isSensor = false;
    fixtureDef.filter.categoryBits = StoneCollisionBits;
    fixtureDef.filter.maskBits = StoneCollisionBits;
    fixtureDef.filter.groupIndex = 0;
    body->CreateFixture(&fixtureDef);
    return body;
}

bool PlaceStones(SheetStones& stones, const records::GameState& state, b2World& world) {
    stones = SheetStones{};
    if (state.shotNumber < 0 || state.shotNumber >= records::StoneCount) {
        stones.count = records::StoneCount;
        return false;
    }
    stones.count = state.shotNumber;
    // Bodies are created in index order: the world visits contacts in creation order.
    for (int i = 0; i < stones.count; ++i) {
        const records::StonePosition& position = state.stones[i];
        if (ClassifyStonePosition(position.x, position.y).inPlay) {
            stones.bodies[i] = CreateStoneBody(world, position.x, position.y, records::StoneRadius,
                                               StoneDensity, StoneRestitution, StoneFriction);
        }
    }
    return true;
}

bool ThrowStone(SheetStones& stones, b2World& world, const records::ShotVector& shot) {
    if (stones.count < 0 || stones.count >= records::StoneCount) {
        return false;
    }
    b2Body* body = CreateStoneBody(world, records::DeliveryX, records::DeliveryY, records::StoneRadius,
                                   StoneDensity, StoneRestitution, StoneFriction);
    stones.bodies[stones.count] = body;
    if (IsDeliverableVelocity(shot.vx, shot.vy)) {
        body->SetLinearVelocity(b2Vec2(shot.vx, shot.vy));
    }
    body->SetAngularVelocity(SpinForCurl(shot.curl));
    ++stones.count;
    return true;
}

}  // namespace physics
