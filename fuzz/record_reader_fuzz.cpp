// The host's reading of what it wrote (summaries, records) on any bytes, and any text it puts into a
// record read back as that text when it is UTF-8, on one line whatever it is.
#include "host/json_text.h"
#include "host/match_summary.h"
#include "host/record_json.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsUtf8(const std::string& text) {
    try {
        static_cast<void>(host::Json(text).dump());
        return true;
    } catch (const host::Json::exception&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    host::GameLog log;
    static_cast<void>(host::ReadGameRecord(text, log, error));
    host::MatchShard shard;
    static_cast<void>(host::ReadSummary(text, shard, error));
    const std::string line = host::JsonText(host::Json{{"message", text}});
    host::Json back;
    if (line.find_first_of("\n\r") != std::string::npos || !host::ParseJsonText(line, back, error) ||
        (IsUtf8(text) && back["message"] != text)) {
        std::abort();
    }
    return 0;
}
