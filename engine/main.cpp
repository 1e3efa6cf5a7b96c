#include "engine/engine_main.h"

int main() {
    return engine::RunEngine();
}
