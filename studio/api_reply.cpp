#include "studio/api_reply.h"

namespace studio {

ApiReply ErrorReply(int status, const std::string& reason) {
    // Replaced rather than refused: a reason may quote bytes a client sent.
    return ApiReply{status, nlohmann::json{{"error", reason}}.dump(-1, ' ', false,
                                                                   nlohmann::json::error_handler_t::replace)};
}

ApiReply JsonReply(const nlohmann::json& body) {
    return ApiReply{200, body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)};
}

}  // namespace studio
