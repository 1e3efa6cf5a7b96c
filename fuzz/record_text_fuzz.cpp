// Any text an engine or a path puts into the record comes out as one JSON string on one line.
#include "host/game_record.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string json = host::JsonString(text);
    bool escaped = false;
    for (std::size_t i = 1; i + 1 < json.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(json[i]);
        if (c < 32 || c >= 127 || (c == '"' && !escaped)) {
            std::abort();
        }
        escaped = !escaped && c == '\\';
    }
    if (json.size() < 2 || json.front() != '"' || json.back() != '"' || escaped) {
        std::abort();
    }
    return 0;
}
