#include "front/engine_main.h"

int main() {
    return front::RunEngine();
}
