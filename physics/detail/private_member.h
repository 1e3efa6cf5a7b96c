#pragma once

namespace physics {

// Box2D keeps private some state that an exact replay must read or set. An explicit instantiation may
// name a private member, and the friend function it defines hands the member pointer out. A tag names
// one member:
//
//   struct BodyStillTime {
//       using Type = float b2Body::*;
//       friend Type MemberOf(BodyStillTime);
//   };
//   template struct PrivateMember<BodyStillTime, &b2Body::m_sleepTime>;
//   ... body.*MemberOf(BodyStillTime{}) ...
template <typename Tag, typename Tag::Type Member>
struct PrivateMember {
    friend typename Tag::Type MemberOf(Tag) { return Member; }
};

}  // namespace physics
