#include "search/search_tables.h"

#include <cstdio>

namespace search {

CandidateTable<ShotTarget> CandidateTargets;
CandidateTable<ShotVector> CandidateShots;
TestTable<ShotTarget> TestTargets;
TestTable<ShotVector> TestShots;
TestTable<double> ValueTable;
double DrawKernel[13][7];
int GeneratedCandidates = 0;
int GeneratedTests = 0;

namespace {

// Walks one grid in the fixed order (curl 0 then 1, strong rows then draw rows, columns ascending),
// so that the simulator library sees the same sequence of targets at every readiness check.
template <typename Grid, typename ShotGrid>
void GenerateGrid(CreateShotFunction createShot, Grid& targets, ShotGrid& shots, int& counter) {
    constexpr int strongMargin = (Grid::StrongColumnCount - CandidateStrongColumns) / 2;
    constexpr int drawCentreColumn = Grid::DrawColumnCount / 2;
    auto generate = [&](int curl, int row, int column, ShotTarget target) {
        targets(curl, row, column) = target;
        ShotVector& shot = shots(curl, row, column);
        if (createShot != nullptr) {
            createShot(target, &shot);
        } else {
            shot = ShotVector{};
        }
        ++counter;
    };
    for (int curl = 0; curl < CurlCount; ++curl) {
        for (int row = 0; row < StrongRowCount; ++row) {
            for (int column = 0; column < Grid::StrongColumnCount; ++column) {
                generate(curl, row, column, StrongTarget(column - strongMargin, row, curl));
            }
        }
        for (int row = Grid::FirstDrawRowOfGrid; row <= Grid::LastDrawRowOfGrid; ++row) {
            for (int column = 0; column < Grid::DrawColumnCount; ++column) {
                generate(curl, row, column, DrawTarget(column - drawCentreColumn, row - TeeRow, curl));
            }
        }
    }
}

}  // namespace

ShotTarget StrongTarget(int u, int row, int curl) {
    float step = static_cast<float>(u) * 0.145f;
    float x = static_cast<float>(static_cast<double>(step) / 5 + 0.5);
    float y = static_cast<float>(-6.039 - 7.0 * row);
    return MakeShotTarget(x, y, curl);
}

ShotTarget DrawTarget(int u, int v, int curl) {
    float step = static_cast<float>(u) * 0.145f;
    float x = static_cast<float>(static_cast<double>(step) * 0.5 + 2.375);
    float y = static_cast<float>(v) * 0.145f + 4.88f;
    return MakeShotTarget(x, y, curl);
}

void PrepareSearch(CreateShotFunction createShot) {
    for (int i = 0; i < 13; ++i) {
        for (int j = 0; j < 7; ++j) {
            DrawKernel[i][j] = DrawKernelY[i] * DrawKernelX[j];
        }
    }
    if (createShot == nullptr) {
        std::fprintf(stderr, "CurlingSimulator.dll has no CreateShot: every shot stays zero\n");
    }
    GeneratedCandidates = 0;
    GeneratedTests = 0;
    GenerateGrid(createShot, CandidateTargets, CandidateShots, GeneratedCandidates);
    GenerateGrid(createShot, TestTargets, TestShots, GeneratedTests);
    std::fprintf(stderr, "Generated %d candidates\n", GeneratedCandidates);
    std::fprintf(stderr, "Generated %d tests\n", GeneratedTests);
}

}  // namespace search
