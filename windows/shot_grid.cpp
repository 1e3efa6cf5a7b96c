// Loads the simulator library by name, as the engine does, and writes one line per cell of the
// candidate grid and then of the test grid, in the grid order: the target's x, y and curl, then the
// vx, vy and curl of the shot CreateShot makes of it, every float as the hexadecimal of its bits.
// Built for Linux and for Windows, so that the two libraries can be compared through one program.
// Exit code 0, or 1 when the library or its CreateShot is missing.

#include "engine/simulator_library.h"
#include "platform/standard_streams.h"
#include "search/grid.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::uint32_t Bits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void AppendGrid(std::string& out, const search::GridShape& grid, records::CreateShotFunction createShot) {
    search::ForEachCell(grid, [&](int curl, int row, int column) {
        const records::ShotTarget target = search::CellTarget(grid, curl, row, column);
        records::ShotVector shot{};
        createShot(target, &shot);
        char line[96];
        const int length = std::snprintf(line, sizeof line, "%08x %08x %u %08x %08x %u\n", Bits(target.x),
                                         Bits(target.y), static_cast<unsigned>(target.curl), Bits(shot.vx),
                                         Bits(shot.vy), static_cast<unsigned>(shot.curl));
        out.append(line, static_cast<std::size_t>(length));
    });
}

}  // namespace

int main() {
    platform::UseRawStandardError();
    engine::SimulatorLibrary library;
    if (!engine::LoadSimulatorLibrary(library) || library.createShot == nullptr) {
        std::fprintf(stderr, "no CreateShot in %s\n", engine::SimulatorLibraryName);
        return 1;
    }
    std::string out;
    AppendGrid(out, search::CandidateGrid, library.createShot);
    AppendGrid(out, search::TestGrid, library.createShot);
    platform::WriteStandardOutput(out.data(), out.size());
    return 0;
}
