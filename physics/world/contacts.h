#pragma once

#include "physics/world/world.h"

#include <cstdint>

// The contact manager of the stone world: contacts made from the broad phase's pairs, the narrow phase
// that brings them up to date at the start of every step, and their destruction.
namespace physics {

// b2ContactManager::FindNewContacts: a contact for every new pair that has none yet, each put at the
// head of the world's list and of both stones' lists.
void FindNewContacts(World& world);

// The contacts of pairs a search found (b2ContactManager::AddPair for each, in order).
void AddPairs(World& world, const ProxyPair* pairs, int count);

// b2ContactManager::Collide: in the world's order, a contact whose stones both sleep is left as it is,
// one whose fat boxes no longer overlap is destroyed, and every other one gets its manifold from the
// circles: touching or not, with the impulses it had kept if it touched before. A contact that starts
// or stops touching wakes both stones.
void Collide(World& world);

// b2CollideCircles: whether the circles of two stones, as their transforms place them, overlap or touch.
bool CirclesTouch(const WorldStone& a, const WorldStone& b);

// b2ContactManager::Destroy: unlinks the contact; one that touched wakes both stones.
void DestroyContact(World& world, int32_t contact);

// Stone-on-stone friction, mixed as Box2D mixes two fixtures' (the square root of their product).
float MixedFriction();

}  // namespace physics
