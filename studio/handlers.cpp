#include "studio/handlers.h"

#include "studio/requests.h"

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
