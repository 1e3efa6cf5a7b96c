#include "front/handlers.h"

namespace front {

// The search is not built yet: both commands are recognised and answer nothing.
void HandleReady(Engine&) {}

void HandleGo(Engine&) {}

}  // namespace front
