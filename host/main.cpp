#include "host/host_main.h"

int main(int argc, char** argv) {
    return host::RunHost(argc, argv);
}
