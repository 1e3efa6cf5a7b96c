#include "search/grid.h"

namespace search {

records::ShotTarget CellTarget(const GridShape& grid, int curl, int row, int column) {
    if (row < StrongRowCount) {
        const int u = column - (grid.strongColumns - CandidateGrid.strongColumns) / 2;
        const float step = static_cast<float>(u) * GridStep;
        const float x = static_cast<float>(static_cast<double>(step) / 5 + 0.5);
        const float y = static_cast<float>(-6.039 - 7.0 * row);
        return records::MakeShotTarget(x, y, curl);
    }
    const int u = column - grid.drawColumns / 2;
    const float step = static_cast<float>(u) * GridStep;
    const float x = static_cast<float>(static_cast<double>(step) * 0.5 + static_cast<double>(records::TeeX));
    const float y = static_cast<float>(row - TeeRow) * GridStep + records::TeeY;
    return records::MakeShotTarget(x, y, curl);
}

Window WindowOf(CandidateIndex candidate, const DrawKernel& drawKernel) {
    // Just outside the candidate grid a window still lies inside the test grid, and no index check
    // would notice.
    assert(CandidateTable<records::ShotTarget>::Contains(candidate.curl, candidate.row, candidate.column));
    Window window;
    window.curl = candidate.curl;
    window.firstColumn = candidate.column;
    if (candidate.row < StrongRowCount) {
        window.strong = true;
        window.firstRow = candidate.row;
        window.rows = 1;
        window.columns = 2 * StrongReach + 1;
        window.weights = StrongKernel;
    } else {
        window.strong = false;
        window.firstRow = candidate.row - DrawRowReach;
        window.rows = 2 * DrawRowReach + 1;
        window.columns = 2 * DrawColumnReach + 1;
        window.weights = &drawKernel[0][0];
    }
    return window;
}

}  // namespace search
