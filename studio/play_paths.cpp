#include "studio/play_paths.h"

#include "physics/simulate_shot.h"
#include "physics/stone_motion.h"
#include "studio/requests.h"

#include <cmath>
#include <string>
#include <vector>

namespace studio {

namespace {

double Millimetres(float value) {
    return std::round(static_cast<double>(value) * 1000.0) / 1000.0;
}

// The frames a path is drawn from: every stride-th step, and the last one.
std::vector<std::size_t> SampledFrames(std::size_t frameCount) {
    const std::size_t stride = static_cast<std::size_t>(PathInterval / physics::TimeStep + 0.5);
    std::vector<std::size_t> sampled;
    for (std::size_t k = 0; k < frameCount; k += stride) {
        sampled.push_back(k);
    }
    if (frameCount > 0 && sampled.back() != frameCount - 1) {
        sampled.push_back(frameCount - 1);
    }
    return sampled;
}

}  // namespace

bool PlayWithPaths(records::GameState& state, records::ShotVector shot, nlohmann::json& paths) {
    std::vector<physics::PlayFrame> frames;
    if (!physics::SimulateShotFrames(state, shot, frames)) {
        return false;
    }
    paths = nlohmann::json::object();
    const std::vector<std::size_t> sampled = SampledFrames(frames.size());
    for (int i = 0; i < records::StoneCount; ++i) {
        const physics::PlayFrame& first = frames.front();
        bool moved = false;
        std::size_t last = 0;  // the last sampled frame with the stone on the sheet
        for (std::size_t k = 0; k < sampled.size(); ++k) {
            const physics::PlayFrame& frame = frames[sampled[k]];
            if (!frame.present[i]) {
                moved = moved || first.present[i];
                continue;
            }
            last = k;
            moved = moved || frame.position[i].x != first.position[i].x ||
                    frame.position[i].y != first.position[i].y;
        }
        if (!moved || !first.present[i]) {
            continue;
        }
        nlohmann::json points = nlohmann::json::array();
        for (std::size_t k = 0; k <= last; ++k) {
            const records::StonePosition& p = frames[sampled[k]].position[i];
            points.push_back(Millimetres(p.x));
            points.push_back(Millimetres(p.y));
        }
        paths[std::to_string(i)] = std::move(points);
    }
    return true;
}

nlohmann::json StonesJson(const records::GameState& state) {
    nlohmann::json stones = nlohmann::json::array();
    for (const records::StonePosition& stone : state.stones) {
        stones.push_back(StoneJson(stone));
    }
    return stones;
}

}  // namespace studio
