#pragma once

#include "front/game_state.h"

#include <cassert>

namespace search {

constexpr int CurlCount = 2;
constexpr int StrongRowCount = 8;  // rows 0..7, aimed past the far end of the sheet
constexpr int FirstDrawRow = 100;  // rows from here on belong to the draw grid around the tee
constexpr int TeeRow = 117;        // the draw row whose targets lie at the tee's y

constexpr int CandidateStrongColumns = 356;
constexpr int CandidateFirstDrawRow = 100;
constexpr int CandidateLastDrawRow = 130;
constexpr int CandidateDrawColumns = 53;  // column 26 aims at the tee's x

// The test grid widens the candidate grid by the reach of the noise kernels: 7 columns on each side
// of a strong row, 3 columns and 6 rows on each side of the draw grid.
constexpr int StrongMargin = 7;
constexpr int DrawColumnMargin = 3;
constexpr int DrawRowMargin = 6;
constexpr int TestStrongColumns = CandidateStrongColumns + 2 * StrongMargin;  // 370
constexpr int TestFirstDrawRow = CandidateFirstDrawRow - DrawRowMargin;       // 94
constexpr int TestLastDrawRow = CandidateLastDrawRow + DrawRowMargin;         // 136
constexpr int TestDrawColumns = CandidateDrawColumns + 2 * DrawColumnMargin;  // 59

// One table over a grid, indexed (curl index, row, column): rows 0..7 are the strong rows, rows
// FirstDraw..LastDraw the draw grid. Only the cells of the grid are stored.
template <typename Element, int StrongColumns, int FirstDraw, int LastDraw, int DrawColumns>
struct GridTable {
    static constexpr int StrongColumnCount = StrongColumns;
    static constexpr int FirstDrawRowOfGrid = FirstDraw;
    static constexpr int LastDrawRowOfGrid = LastDraw;
    static constexpr int DrawColumnCount = DrawColumns;
    static constexpr int DrawRows = LastDraw - FirstDraw + 1;

    static constexpr int StrongCells = StrongRowCount * StrongColumns;
    static constexpr int CellsPerCurl = StrongCells + DrawRows * DrawColumns;
    static constexpr int CellCount = CurlCount * CellsPerCurl;

    // Cells lie in the order the grid is generated: curl, strong rows, draw rows, columns.
    Element cells[CellCount];

    static bool Contains(int curl, int row, int column) {
        bool curlOk = curl >= 0 && curl < CurlCount;
        if (row >= 0 && row < StrongRowCount) {
            return curlOk && column >= 0 && column < StrongColumns;
        }
        return curlOk && row >= FirstDraw && row <= LastDraw && column >= 0 && column < DrawColumns;
    }
    static int Index(int curl, int row, int column) {
        assert(Contains(curl, row, column));
        int inCurl = row < StrongRowCount ? row * StrongColumns + column
                                          : StrongCells + (row - FirstDraw) * DrawColumns + column;
        return curl * CellsPerCurl + inCurl;
    }

    Element& operator()(int curl, int row, int column) { return cells[Index(curl, row, column)]; }
    const Element& operator()(int curl, int row, int column) const { return cells[Index(curl, row, column)]; }
};

template <typename Element>
using CandidateTable = GridTable<Element, CandidateStrongColumns, CandidateFirstDrawRow, CandidateLastDrawRow,
                                 CandidateDrawColumns>;
template <typename Element>
using TestTable = GridTable<Element, TestStrongColumns, TestFirstDrawRow, TestLastDrawRow, TestDrawColumns>;

// Process-wide, zero until the first PrepareSearch, rebuilt by every one. A test's target, shot and
// value share one index, so every value traces back to the target that produced it.
extern CandidateTable<ShotTarget> CandidateTargets;
extern CandidateTable<ShotVector> CandidateShots;
extern TestTable<ShotTarget> TestTargets;
extern TestTable<ShotVector> TestShots;
extern TestTable<double> ValueTable;  // rewritten by every search

// Execution noise of the host as discrete normal weights, used as listed (they sum to a little under 1).
// Along a strong row: 15 test columns around a candidate, one standard deviation 2.5 columns.
constexpr double StrongKernel[15] = {0.003311, 0.009242, 0.022027, 0.044826, 0.077899,
                                     0.115598, 0.146487, 0.158519, 0.146487, 0.115598,
                                     0.077899, 0.044826, 0.022027, 0.009242, 0.003311};
// Draw grid row offsets -6..+6 (one deviation 2 rows) and column offsets -3..+3 (one deviation 1 column).
constexpr double DrawKernelY[13] = {0.002403, 0.009245, 0.027835, 0.065591, 0.120978, 0.174666, 0.197413,
                                    0.174666, 0.120978, 0.065591, 0.027835, 0.009245, 0.002403};
constexpr double DrawKernelX[7] = {0.005977, 0.060598, 0.24173, 0.382925, 0.24173, 0.060598, 0.005977};
// DrawKernel[i][j] = DrawKernelY[i] * DrawKernelX[j], built by PrepareSearch.
extern double DrawKernel[13][7];

// Cells the last PrepareSearch generated per grid, each with one CreateShot call.
extern int GeneratedCandidates;
extern int GeneratedTests;

// Target of a grid cell, with the rounding that fixes the exact floats the simulator library receives.
// Strong rows take the offset u = column - margin, draw rows u = column - 26 - margin, v = row - 117.
ShotTarget StrongTarget(int u, int row, int curl);
ShotTarget DrawTarget(int u, int v, int curl);

// Builds DrawKernel and both grids, calling createShot once per cell (19976 calls), candidates before
// tests, curl 0 before 1, strong rows before the draw grid, rows and then columns ascending; then
// logs the two counts on stderr. Without a createShot the shots stay zero and a note says so.
void PrepareSearch(CreateShotFunction createShot);

}  // namespace search
