// curling-drawer: a baseline engine that answers every GO with the draw to the button, the shot the
// simulator library's CreateShot gives for the tee with curl 0. It speaks the engine's protocol and
// starts at once; a floor any engine should beat.
#include "engine/engine_main.h"
#include "records/sheet.h"

int main() {
    return engine::RunEngine([](engine::Engine& engine) {
        engine.standIn.prepare = [] {};
        engine.standIn.go = [createShot = engine.createShot](const records::GameState&) {
            records::ShotVector shot{};
            if (createShot != nullptr) {
                createShot(records::MakeShotTarget(records::TeeX, records::TeeY, 0), &shot);
            }
            return shot;
        };
    });
}
