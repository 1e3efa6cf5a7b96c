// CurlingSimulator.dll as a host's library might behave: on its first call it switches the C runtime's
// locale, which on Windows the engine shares, to one that writes and reads a decimal comma. Otherwise it
// answers as the project's library does. The Windows check runs the engine beside it: every reply must
// stay the same.
#include "simulator/create_shot.h"
#include "simulator/shot_inverse.h"

#include <clocale>

extern "C" void CreateShot(records::ShotTarget target, records::ShotVector* shot) {
    static const bool switched = std::setlocale(LC_ALL, "German") != nullptr;
    static_cast<void>(switched);
    *shot = simulator::ShotForTarget(target);
}
