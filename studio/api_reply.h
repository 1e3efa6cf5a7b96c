#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace studio {

// What a handler answers: a status and a JSON body; an error's body is {"error": "the reason"}.
struct ApiReply {
    int status = 200;
    std::string body;
};

ApiReply ErrorReply(int status, const std::string& reason);
ApiReply JsonReply(const nlohmann::json& body);

}  // namespace studio
