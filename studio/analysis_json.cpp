#include "studio/analysis_json.h"

#include "physics/simulate_shot.h"
#include "studio/play_paths.h"
#include "studio/requests.h"

#include <cmath>

namespace studio {

namespace {

using nlohmann::json;

// Values to four decimals: the page colours and prints them, and the answer stays small.
double Rounded(double value) {
    return std::round(value * 1e4) / 1e4;
}

json CandidateJson(const search::Search& search, search::CandidateIndex candidate) {
    const records::ShotTarget& target =
        search.GetTables().candidateTargets(candidate.curl, candidate.row, candidate.column);
    return {{"shot",
             ShotJson(search.GetTables().candidateShots(candidate.curl, candidate.row, candidate.column))},
            {"target", {{"x", FloatJson(target.x)}, {"y", FloatJson(target.y)}, {"curl", target.curl}}},
            {"cell", {{"curl", candidate.curl}, {"row", candidate.row}, {"column", candidate.column}}},
            {"expectedValue", search.ExpectedValues()(candidate.curl, candidate.row, candidate.column)},
            {"rawValue", search::RawValue(search.Values(), candidate)}};
}

// One region of the candidate grid: the targets' x per column and y per row, and per curl the expected
// and the raw values, row by row.
json RegionJson(const search::Search& search, int firstRow, int rows, int columns) {
    const search::Tables& tables = search.GetTables();
    json region = {{"firstRow", firstRow}, {"rows", rows}, {"columns", columns}};
    json xs = json::array();
    json ys = json::array();
    for (int column = 0; column < columns; ++column) {
        xs.push_back(FloatJson(tables.candidateTargets(0, firstRow, column).x));
    }
    for (int row = firstRow; row < firstRow + rows; ++row) {
        ys.push_back(FloatJson(tables.candidateTargets(0, row, 0).y));
    }
    json expected = json::array();
    json raw = json::array();
    for (int curl = 0; curl < search::CurlCount; ++curl) {
        json expectedCurl = json::array();
        json rawCurl = json::array();
        for (int row = firstRow; row < firstRow + rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                expectedCurl.push_back(Rounded(search.ExpectedValues()(curl, row, column)));
                rawCurl.push_back(Rounded(search::RawValue(search.Values(), {curl, row, column})));
            }
        }
        expected.push_back(std::move(expectedCurl));
        raw.push_back(std::move(rawCurl));
    }
    region["x"] = std::move(xs);
    region["y"] = std::move(ys);
    region["expected"] = std::move(expected);
    region["raw"] = std::move(raw);
    return region;
}

json CandidatesJson(const search::Search& search) {
    const search::GridShape& grid = search::CandidateGrid;
    return {{"strong", RegionJson(search, 0, search::StrongRowCount, grid.strongColumns)},
            {"draw", RegionJson(search, grid.firstDrawRow, grid.DrawRows(), grid.drawColumns)}};
}

// The test shots the chosen candidate's expected value weighs, each played again to show where it ends.
json SpreadJson(const search::Search& search, search::CandidateIndex chosen,
                const records::GameState& state) {
    const search::Tables& tables = search.GetTables();
    const search::Window window = search::WindowOf(chosen, tables.drawKernel);
    physics::SimulationScratch scratch;
    // Overlapping stones settle alike before every one of these shots: worked out once, as the search does.
    const physics::SettledStart settled = physics::SettleStart(state);
    json cells = json::array();
    for (int i = 0; i < window.rows; ++i) {
        for (int j = 0; j < window.columns; ++j) {
            const int row = window.firstRow + i;
            const int column = window.firstColumn + j;
            const int index = search::TestTable<records::ShotVector>::Index(window.curl, row, column);
            const physics::LonePath* lone = tables.testLonePaths.empty()
                                                ? nullptr
                                                : &tables.testLonePaths[static_cast<std::size_t>(index)];
            records::GameState after = state;
            const bool played = physics::SimulateShot(after, tables.testShots.cells[index], scratch,
                                                      physics::SimulationPath::Fast, lone, &settled);
            const records::ShotTarget& target = tables.testTargets.cells[index];
            cells.push_back({{"target", json::array({FloatJson(target.x), FloatJson(target.y)})},
                             {"weight", window.Weight(i, j)},
                             {"value", Rounded(search.Values().cells[index])},
                             {"rest", played ? StoneJson(after.stones[state.shotNumber]) : json(nullptr)}});
        }
    }
    return {{"rows", window.rows}, {"columns", window.columns}, {"cells", std::move(cells)}};
}

}  // namespace

json AnalysisJson(const search::Search& search, const search::Choice& choice,
                  const records::GameState& state) {
    const search::Selection& selection = choice.selection;
    json answer = CandidateJson(search, selection.chosen);
    answer["expectedValue"] = selection.bestExpected;
    answer["successRate"] = choice.report.chosenSuccessRate;
    json challenging = CandidateJson(search, selection.rawBest);
    challenging["successRate"] = choice.report.rawSuccessRate;
    answer["challenging"] = std::move(challenging);
    answer["candidates"] = CandidatesJson(search);
    records::GameState after = state;
    json paths;
    if (PlayWithPaths(after, choice.shot, paths)) {
        answer["outcome"] = {
            {"stones", StonesJson(after)}, {"paths", std::move(paths)}, {"interval", PathInterval}};
    }
    answer["spread"] = SpreadJson(search, selection.chosen, state);
    return answer;
}

}  // namespace studio
