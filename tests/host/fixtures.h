#pragma once

#include "host/game_log.h"
#include "host/sheet_model.h"

#include <string>
#include <vector>

// Test doubles for the host, and readers of what it writes.
namespace hosttest {

// A shot (vx, vy) rests at (vx, vy) and a target (x, y) becomes the shot (x, y), so noise shows up one to
// one in the played shot; an end is scored as the engine scores it.
host::SheetModel ScriptedSheet();

// The fake engine linked under `mode`'s name in a folder of its own.
std::string FakeEngine(const std::string& mode);

// The shot timeout of a test game: well-behaved fakes answer at once, so it only bounds a test that fails.
constexpr double UnhurriedTimeout = 30.0;  // seconds

// A game of `ends` ends without noise on the scripted sheet, in a fresh folder, with UnhurriedTimeout.
host::GameSetup TestSetup(const std::string& engine0, const std::string& engine1, int ends = 1);

std::string ReadFile(const std::string& path);

// The lines of a JSON Lines file; a line that is not exactly one JSON object fails the test.
std::vector<std::string> ReadRecord(const std::string& path);

// The text of a top-level field's value in one record line, strings with their quotes; "" when absent.
std::string Field(const std::string& line, const std::string& name);

// False with a reason unless the replay page was written whole, its groups close, and it fetches nothing
// but its data file.
bool WholePage(const std::string& page, std::string& error);

std::size_t CountOf(const std::string& text, const std::string& part);

}  // namespace hosttest
