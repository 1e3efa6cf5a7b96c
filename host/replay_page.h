#pragma once

#include "host/game_log.h"

#include <string>

// replay.html: one self-contained page (inline SVG, style and script, nothing fetched) that steps
// through a game shot by shot. Every shot is a frame of its own in the markup; the script only shows
// one at a time and keeps the caption and the line score in step. The page is also well-formed XML.
namespace host {

std::string ReplayPage(const GameLog& log);

// Writes the page beside its final name and renames it into place, so a reader never sees half a page.
[[nodiscard]] bool WriteReplayPage(const GameLog& log, const std::string& path);

// Text made safe for XML character data and attribute values.
std::string EscapeXml(const std::string& text);

}  // namespace host
