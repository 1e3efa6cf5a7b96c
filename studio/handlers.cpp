#include "studio/handlers.h"

#include "studio/requests.h"

#include "simulator/shot_inverse.h"

namespace studio {

bool ReadAnalyseRequest(const std::string& text, records::GameState& state, std::string& error) {
    nlohmann::json body;
    return ParseObject(text, body, error) && ReadPosition(body, state, error);
}

ApiReply AnalyseReply(Analyser& analyser, const std::string& text) {
    records::GameState state{};
    std::string error;
    if (!ReadAnalyseRequest(text, state, error)) {
        return ErrorReply(400, error);
    }
    std::shared_ptr<const std::string> answer;
    if (analyser.Analyse(state, answer) == Analyser::Outcome::Busy) {
        return ErrorReply(503, "the analysis queue is full; ask again in a moment");
    }
    return ApiReply{200, *answer};
}

ApiReply ProgressReply(const Analyser& analyser) {
    const AnalysisProgress progress = analyser.Progress();
    return JsonReply({{"searching", progress.searching},
                      {"testsDone", progress.testsDone},
                      {"tests", progress.tests},
                      {"waiting", progress.waiting}});
}

ApiReply CreateGameReply(GameTable& games, const std::string& text) {
    nlohmann::json body;
    GameRequest request;
    std::string error;
    if (!ParseObject(text, body, error) || !ReadGameRequest(body, request, error)) {
        return ErrorReply(400, error);
    }
    return games.Create(request);
}

ApiReply PersonShotReply(GameTable& games, const std::string& id, const std::string& text) {
    nlohmann::json body;
    std::string error;
    if (!ParseObject(text, body, error)) {
        return ErrorReply(400, error);
    }
    if (body.contains("shot") == body.contains("target")) {
        return ErrorReply(400, "give either \"shot\" or \"target\"");
    }
    records::ShotVector sent{};
    records::ShotTarget target{};
    if (body.contains("shot") ? !ReadShot(body, "shot", sent, error)
                              : !ReadTarget(body, "target", target, error)) {
        return ErrorReply(400, error);
    }
    if (body.contains("target")) {
        sent = simulator::ShotForTarget(target);
    }
    return games.PersonShot(id, sent);
}

std::string StatusReason(int status) {
    switch (status) {
        case 400:
            return "the request is malformed";
        case 404:
            return "there is nothing at this path";
        case 405:
            return "this path takes another method";
        case 413:
            return "the body is over 1 MiB";
        case 414:
            return "the address is too long";
        default:
            return "the request failed with status " + std::to_string(status);
    }
}

}  // namespace studio
