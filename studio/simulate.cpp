#include "studio/simulate.h"

#include "host/match_rules.h"
#include "host/noise.h"
#include "host/referee.h"
#include "host/sheet_model.h"
#include "studio/play_paths.h"
#include "studio/requests.h"

namespace studio {

namespace {

using nlohmann::json;

struct SimulateRequest {
    records::GameState state{};
    records::ShotVector sent{};
    bool noise = false;
    uint64_t seed = 1;
    long long game = 1;
    long long end = 0;
};

bool ReadSimulateRequest(const json& body, SimulateRequest& request, std::string& error) {
    if (!ReadPosition(body, request.state, error)) {
        return false;
    }
    const bool hasShot = body.contains("shot");
    if (hasShot == body.contains("target")) {
        error = "give either \"shot\" or \"target\"";
        return false;
    }
    if (hasShot) {
        if (!ReadShot(body, "shot", request.sent, error)) {
            return false;
        }
    } else {
        records::ShotTarget target{};
        if (!ReadTarget(body, "target", target, error)) {
            return false;
        }
        request.sent = host::EngineSheetModel().shotForTarget(target);
    }
    return ReadOptionalBool(body, "noise", request.noise, error) &&
           ReadOptionalSeed(body, "seed", request.seed, error) &&
           ReadOptionalInteger(body, "game", 1, 1000000, request.game, error) &&
           ReadOptionalInteger(body, "end", 0, 99, request.end, error);
}

json PointJson(const records::StonePosition& point) {
    return json::array({FloatJson(point.x), FloatJson(point.y)});
}

}  // namespace

ApiReply SimulateReply(const std::string& text) {
    json body;
    std::string error;
    SimulateRequest request;
    if (!ParseObject(text, body, error) || !ReadSimulateRequest(body, request, error)) {
        return ErrorReply(400, error);
    }
    const host::SheetModel model = host::EngineSheetModel();
    const double scale = request.noise ? 1.0 : 0.0;
    const int shotIndex = static_cast<int>(request.end) * host::StonesPerEnd + request.state.shotNumber;
    const host::NoiseOffset offset =
        host::DrawNoise(request.seed, static_cast<int>(request.game), shotIndex, scale);
    const host::Delivery delivery = host::Deliver(model, request.sent, offset, scale);
    records::GameState after = request.state;
    json paths;
    if (!PlayWithPaths(after, delivery.played, paths)) {
        return ErrorReply(400, "the shot could not be played");
    }
    host::RemoveStonesOutOfPlay(after, model);
    return JsonReply({{"sent", ShotJson(request.sent)},
                      {"played", ShotJson(delivery.played)},
                      {"aimed", PointJson(delivery.aimed)},
                      {"moved", PointJson(delivery.moved)},
                      {"shotNumber", after.shotNumber},
                      {"stones", StonesJson(after)},
                      {"paths", std::move(paths)},
                      {"interval", PathInterval}});
}

}  // namespace studio
