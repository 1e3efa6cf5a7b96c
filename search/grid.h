#pragma once

#include "records/game_state.h"
#include "records/sheet.h"

#include <cassert>

// The two shot grids of the search and the noise windows over them. A cell is (curl index, row, column):
// rows 0..7 are the strong rows, aimed past the far end of the sheet; rows from 100 on the draw grid
// around the tee. Every walk over a grid follows one order: curl 0 then 1, strong rows then the draw
// grid, rows and then columns ascending.
namespace search {

constexpr int CurlCount = 2;
constexpr int StrongRowCount = 8;
constexpr int FirstDrawRow = 100;  // rows from here on belong to the draw grid
constexpr int TeeRow = 117;        // the draw row whose targets lie at the tee's y
// A strong row's aim steps a fifth of this, a draw row's half of it; draw rows lie this far apart.
constexpr float GridStep = records::StoneRadius;

struct GridShape {
    int strongColumns;
    int firstDrawRow;
    int lastDrawRow;
    int drawColumns;  // the middle column aims at the tee's x

    constexpr int DrawRows() const { return lastDrawRow - firstDrawRow + 1; }
    constexpr int CellsPerCurl() const { return StrongRowCount * strongColumns + DrawRows() * drawColumns; }
    constexpr int CellCount() const { return CurlCount * CellsPerCurl(); }
};

// The noise kernels reach this far from a candidate's own test: along a strong row, and across the
// draw grid's rows and columns.
constexpr int StrongReach = 7;
constexpr int DrawRowReach = 6;
constexpr int DrawColumnReach = 3;

// The shots the search may send, and the tests it plays: the candidates widened by the kernels' reach,
// so that every candidate's window lies inside the test grid.
inline constexpr GridShape CandidateGrid{356, 100, 130, 53};
inline constexpr GridShape TestGrid{
    CandidateGrid.strongColumns + 2 * StrongReach, CandidateGrid.firstDrawRow - DrawRowReach,
    CandidateGrid.lastDrawRow + DrawRowReach, CandidateGrid.drawColumns + 2 * DrawColumnReach};

// Calls visit(curl, row, column) for every cell of the grid, in the grid order.
template <typename Visit>
void ForEachCell(const GridShape& grid, Visit&& visit) {
    for (int curl = 0; curl < CurlCount; ++curl) {
        for (int row = 0; row < StrongRowCount; ++row) {
            for (int column = 0; column < grid.strongColumns; ++column) {
                visit(curl, row, column);
            }
        }
        for (int row = grid.firstDrawRow; row <= grid.lastDrawRow; ++row) {
            for (int column = 0; column < grid.drawColumns; ++column) {
                visit(curl, row, column);
            }
        }
    }
}

// One element per cell of a grid, stored in the grid order; only the grid's own rows and columns exist.
template <typename Element, const GridShape& Shape>
struct GridTable {
    static constexpr int CellCount = Shape.CellCount();

    Element cells[CellCount];

    static bool Contains(int curl, int row, int column) {
        bool curlOk = curl >= 0 && curl < CurlCount;
        if (row >= 0 && row < StrongRowCount) {
            return curlOk && column >= 0 && column < Shape.strongColumns;
        }
        return curlOk && row >= Shape.firstDrawRow && row <= Shape.lastDrawRow && column >= 0 &&
               column < Shape.drawColumns;
    }
    static int Index(int curl, int row, int column) {
        assert(Contains(curl, row, column));
        const int strongCells = StrongRowCount * Shape.strongColumns;
        const int inCurl = row < StrongRowCount
                               ? row * Shape.strongColumns + column
                               : strongCells + (row - Shape.firstDrawRow) * Shape.drawColumns + column;
        return curl * Shape.CellsPerCurl() + inCurl;
    }

    Element& operator()(int curl, int row, int column) { return cells[Index(curl, row, column)]; }
    const Element& operator()(int curl, int row, int column) const { return cells[Index(curl, row, column)]; }
};

template <typename Element>
using CandidateTable = GridTable<Element, CandidateGrid>;
template <typename Element>
using TestTable = GridTable<Element, TestGrid>;
using ValueTable = TestTable<double>;  // the outcome of every test, rewritten by every search

// The target of a grid cell, with the rounding that fixes the exact floats the simulator library
// receives: a strong row aims at x = 0.5 + (column offset * GridStep) / 5, a draw row at
// x = tee + (column offset * GridStep) * 0.5 and y = tee + (row - TeeRow) * GridStep.
records::ShotTarget CellTarget(const GridShape& grid, int curl, int row, int column);

// Execution noise of the host as discrete normal weights, used as listed (they sum to a little under 1).
// Along a strong row: one standard deviation 2.5 columns.
constexpr double StrongKernel[2 * StrongReach + 1] = {0.003311, 0.009242, 0.022027, 0.044826, 0.077899,
                                                      0.115598, 0.146487, 0.158519, 0.146487, 0.115598,
                                                      0.077899, 0.044826, 0.022027, 0.009242, 0.003311};
// Across the draw grid's rows (one deviation 2 rows) and columns (one deviation 1 column).
constexpr double DrawKernelY[2 * DrawRowReach + 1] = {0.002403, 0.009245, 0.027835, 0.065591, 0.120978,
                                                      0.174666, 0.197413, 0.174666, 0.120978, 0.065591,
                                                      0.027835, 0.009245, 0.002403};
constexpr double DrawKernelX[2 * DrawColumnReach + 1] = {0.005977, 0.060598, 0.24173, 0.382925,
                                                         0.24173,  0.060598, 0.005977};
// DrawKernel[i][j] = DrawKernelY[i] * DrawKernelX[j], built at every readiness check.
using DrawKernel = double[2 * DrawRowReach + 1][2 * DrawColumnReach + 1];

struct CandidateIndex {
    int curl = 0;
    int row = 0;  // 0..7 strong, 100..130 draw
    int column = 0;
};

// The tests a candidate's expected value weighs: `rows` rows of `columns` cells of the test grid from
// (firstRow, firstColumn), each row summed on its own and the rows added in order; weights row-major.
// The candidate's own test, aimed at its target, is the middle cell.
struct Window {
    bool strong = true;
    int curl = 0;
    int firstRow = 0;
    int rows = 1;
    int firstColumn = 0;
    int columns = 0;
    const double* weights = nullptr;

    double Weight(int i, int j) const { return weights[i * columns + j]; }
};

Window WindowOf(CandidateIndex candidate, const DrawKernel& drawKernel);

}  // namespace search
