#include "studio/server.h"

int main(int argc, char** argv) {
    return studio::RunStudio({argv + 1, argv + argc});
}
