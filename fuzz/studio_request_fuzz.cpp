// The studio's request handlers on any body: the first byte picks the handler, the rest is its body (or,
// for a game's record, the match and game names). Every refusal must be a JSON error with a reason, and
// an accepted position must hold only finite stones and a shot number of 0..15.
#include "studio/handlers.h"
#include "studio/matches.h"
#include "studio/simulate.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void CheckRefusal(const studio::ApiReply& reply) {
    if (reply.status == 200) {
        return;
    }
    const nlohmann::json body = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status < 400 || !body.is_object() || !body.contains("error") || !body["error"].is_string() ||
        body["error"].get<std::string>().empty()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0: {
            records::GameState state{};
            std::string error;
            if (studio::ReadAnalyseRequest(text, state, error)) {
                for (const records::StonePosition& stone : state.stones) {
                    if (!std::isfinite(stone.x) || !std::isfinite(stone.y)) {
                        std::abort();
                    }
                }
                if (state.shotNumber < 0 || state.shotNumber > 15) {
                    std::abort();
                }
            } else if (error.empty()) {
                std::abort();
            }
            break;
        }
        case 1:
            CheckRefusal(studio::SimulateReply(text));
            break;
        default: {
            // Names that climb out of the folder are refused before anything is opened.
            const std::size_t cut = text.find('\n');
            studio::ApiReply refusal;
            std::string path;
            if (studio::FindRecord("/nonexistent-matches", text.substr(0, cut),
                                   cut == std::string::npos ? "" : text.substr(cut + 1), path, refusal)) {
                std::abort();
            }
            CheckRefusal(refusal);
            break;
        }
    }
    return 0;
}
