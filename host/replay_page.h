#pragma once

#include "host/game_log.h"

#include <cstdio>
#include <string>

// The replay of a game: replay.html, written once when the game starts, and replay-data.js beside it,
// to which every shot, end and the result are appended as they come, one line each. The page loads the
// data file (nothing else is fetched), so a reload shows the game so far. It animates every shot along
// its stones' paths (play, pause, step, speed) on the whole sheet from the hack to the back line and on
// the house, and shows each shot's still picture; a game still running opens at its last shot. Its style
// and script are the files web/replay.css and web/replay.js, drawn with web/draw.js, the drawing module
// of the studio's page, all built into the page.
namespace host {

constexpr const char* ReplayDataFile = "replay-data.js";

std::string ReplayPage(const GameSetup& setup);

// Writes the page beside its final name and renames it into place, so a reader never sees half a page.
[[nodiscard]] bool WriteReplayPage(const GameSetup& setup, const std::string& path);

// The data file's lines, each a whole statement, so that a file cut short still loads.
std::string ReplayGameLine(const GameSetup& setup);
std::string ReplayShotLine(const ShotEntry& shot, const GameSetup& setup);
std::string ReplayEndLine(const EndEntry& end);
std::string ReplayResultLine(const GameLog& log);

// Text made safe for HTML character data and attribute values.
std::string EscapeXml(const std::string& text);

}  // namespace host
