// The host's reading of what it wrote (summaries, record lines) on any bytes, and any text it puts
// into a record read back as that text.
#include "host/game_record.h"
#include "host/json_reader.h"
#include "host/match_summary.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    host::JsonValue value;
    std::string error;
    static_cast<void>(host::ParseJson(text, value, error));
    host::MatchShard shard;
    static_cast<void>(host::ReadSummary(text, shard, error));
    const std::string json = host::JsonString(text);
    if (json.find_first_of("\n\r") != std::string::npos || !host::ParseJson(json, value, error) ||
        value.kind != host::JsonValue::Kind::String || value.text != text) {
        std::abort();  // one line, and the same text back
    }
    return 0;
}
