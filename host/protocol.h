#pragma once

#include "records/game_state.h"

#include <string>

// The text of the engine protocol as the host writes and reads it. Commands end in a line feed;
// replies arrive without one.
namespace host {

// The shortest decimal text that the engine's atof-and-round reading turns back into `value` exactly.
std::string FormatFloat(float value);

std::string PositionCommand(const records::GameState& state);  // all 16 stones, x0 y0 … x15 y15
std::string SetStateCommand(int shot, int end, int ends, int hammerToThrow);
std::string ScoreCommand(int score);

// Faster than any shot the engine could mean; also keeps the lone-stone model's run short.
constexpr float MaxShotSpeed = 100.0f;  // m/s

enum class ReplyFault { None, Malformed, NotFinite, TooFast };

struct ParsedShot {
    ReplyFault fault = ReplyFault::None;
    records::ShotVector shot{};
    std::string why;  // for a fault: what was wrong, in words
};

// Reads "BESTSHOT vx vy curl": the word in any case, three numbers, curl 0 or 1, surrounding white
// space tolerated, nothing else.
ParsedShot ParseBestShot(const std::string& reply);

bool IsReadyReply(const std::string& reply);

// Whether the bytes received so far can be taken as a whole reply. Replies carry no line end, so one
// that arrives in pieces is known to be cut only while it is a reply word cut short, or BESTSHOT with
// fewer than three values; anything else is whole, garbage included.
bool ReplyComplete(const std::string& received);

// The reply bytes as printable text for messages and the record, cut to a sensible length.
std::string Printable(const std::string& bytes);

}  // namespace host
