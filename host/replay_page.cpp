#include "host/replay_page.h"

#include "host/json_text.h"
#include "host/record_json.h"
#include "web/web_assets.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

namespace host {

namespace {

const char* const TeamNames[2] = {"red", "yellow"};

std::string Number(double value, const char* format = "%.4g") {
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f s", seconds);
    return text;
}

// An empty view of the sheet, which the page's script draws.
std::string SheetFrame(const char* view) {
    return std::string("<svg class=\"") + view + "\" id=\"sheet-" + view +
           "\" xmlns=\"http://www.w3.org/2000/svg\"></svg>";
}

std::string Heading(const GameSetup& setup) {
    std::string html = "<h1>Game " + std::to_string(setup.game) + "</h1><p>";
    for (int team = 0; team < 2; ++team) {
        html += std::string(team > 0 ? "<br/>" : "") + "<span class=\"swatch t" + std::to_string(team) +
                "\"></span>" + TeamNames[team] + ": engine " + std::to_string(EngineNumber(setup, team)) +
                ", " + EscapeXml(setup.engines[team]);
    }
    return html + "<br/>* holds the hammer in the first end. Seed " + std::to_string(setup.seed) +
           ", noise " + Number(setup.noiseScale) + ".</p><p id=\"forfeit\"></p>";
}

std::string LineScoreMarkup(const GameSetup& setup) {
    // Room for the extra ends a tie may bring; the script fills the ends played.
    const int columns = setup.ends + 3;
    std::string table = "<table id=\"linescore\"><tr><th></th>";
    for (int e = 0; e < columns; ++e) {
        table += "<th>" + std::to_string(e + 1) + "</th>";
    }
    table += "<th>Total</th></tr>";
    for (int team = 0; team < 2; ++team) {
        table += "<tr><td class=\"name\"><span class=\"swatch t" + std::to_string(team) + "\"></span>" +
                 (setup.firstHammer == team ? "* " : "") + "engine " +
                 std::to_string(EngineNumber(setup, team)) + "</td>";
        for (int e = 0; e < columns; ++e) {
            table +=
                "<td data-end=\"" + std::to_string(e) + "\" data-team=\"" + std::to_string(team) + "\"></td>";
        }
        table += "<td class=\"total\" id=\"total" + std::to_string(team) + "\"></td></tr>";
    }
    return table + "</table>";
}

std::string Caption(const GameSetup& setup, const ShotEntry& shot) {
    std::string text = "End " + std::to_string(shot.end + 1) + ", stone " + std::to_string(shot.shot + 1) +
                       " of 16, " + TeamNames[shot.team] + " (engine " +
                       std::to_string(EngineNumber(setup, shot.team)) + "), " + Seconds(shot.seconds) + ". ";
    if (!shot.delivered) {
        return text + "Thrown away: " + shot.fault + '.';
    }
    char detail[200];
    std::snprintf(detail, sizeof(detail), "Sent (%.3f, %.3f) curl %d, aimed at (%.2f, %.2f)", shot.sent.vx,
                  shot.sent.vy, shot.sent.curl, shot.aimed.x, shot.aimed.y);
    text += detail;
    if (setup.noiseScale != 0.0) {
        std::snprintf(detail, sizeof(detail), ", noise moved it to (%.2f, %.2f)", shot.moved.x, shot.moved.y);
        text += detail;
    }
    return text + '.';
}

// The page draws to the millimetre; a stone off the sheet is null.
Json Point(const records::StonePosition& p) {
    return p.x != 0.0f || p.y != 0.0f ? Json::array({RoundedNumber(p.x, "%.3f"), RoundedNumber(p.y, "%.3f")})
                                      : Json(nullptr);
}

// A line of the data file: one call with one JSON object, a whole statement.
std::string Call(const char* function, const Json& data) {
    return std::string(function) + '(' + JsonText(data) + ");\n";
}

}  // namespace

std::string EscapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string ReplayPage(const GameSetup& setup) {
    // Opened from a file, the page can load no module: the drawing module and the replay come as one script.
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/><title>Game " +
           std::to_string(setup.game) + " replay</title><style>" +
           std::string(web::AssetText("/replay.css")) + "</style></head><body>" + Heading(setup) +
           "<div class=\"layout\">" + SheetFrame("whole") + SheetFrame("house") + "<div class=\"panel\">" +
           LineScoreMarkup(setup) +
           "<div><button id=\"to-first\">First</button><button id=\"to-back\">Back</button>"
           "<button id=\"to-play\">Play</button><button id=\"to-next\">Next</button>"
           "<button id=\"to-last\">Last</button></div><div><button id=\"step-back\">-0.1 s</button>"
           "<button id=\"step-on\">+0.1 s</button><select id=\"speed\"><option value=\"0.5\">half "
           "speed</option>"
           "<option value=\"1\" selected=\"selected\">real speed</option><option value=\"2\">twice</option>"
           "<option value=\"4\">four times</option></select></div><p id=\"counter\"></p><p id=\"moving\"></p>"
           "<p id=\"caption\"></p><p>Play runs each shot along its stones' paths, then the next; the time "
           "buttons (or , and .) step a shot a tenth of a second at a time, the arrow keys shot by shot (up "
           "and down: an end), space plays and pauses. Crosses: where the sent shot would rest alone on the "
           "sheet (thin) and where the noise moved it (bold). Reload to see a game that is still being "
           "played.</p></div></div><script>var R = {shots: [], ends: [], result: null, game: null};"
           "R.g = function (d) { R.game = d; }; R.s = function (d) { R.shots.push(d); };"
           "R.e = function (d) { R.ends[d.end] = d; }; R.r = function (d) { R.result = d; };</script>"
           "<script src=\"" +
           ReplayDataFile + "\"></script><script>" + web::ClassicScript({"/draw.js", "/replay.js"}) +
           "</script></body></html>\n";
}

bool WriteReplayPage(const GameSetup& setup, const std::string& path) {
    std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << ReplayPage(setup);
        if (!file.good()) {
            return false;
        }
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

std::string ReplayGameLine(const GameSetup& setup) {
    return Call("R.g", Json{{"game", setup.game}, {"interval", RoundedNumber(PathInterval, "%.4g")}});
}

std::string ReplayShotLine(const ShotEntry& shot, const GameSetup& setup) {
    Json stones = Json::array();
    for (const records::StonePosition& stone : shot.stones) {
        stones.push_back(Point(stone));
    }
    return Call("R.s",
                Json{{"end", shot.end},
                     {"shot", shot.shot},
                     {"team", shot.team},
                     {"caption", Caption(setup, shot)},
                     {"stones", stones},
                     {"aimed", shot.delivered ? Point(shot.aimed) : Json(nullptr)},
                     {"moved", shot.delivered && setup.noiseScale != 0.0 ? Point(shot.moved) : Json(nullptr)},
                     {"path", PathJson(shot.path)}});
}

std::string ReplayEndLine(const EndEntry& end) {
    return Call("R.e", Json{{"end", end.end}, {"points", {end.points[0], end.points[1]}}});
}

std::string ReplayResultLine(const GameLog& log) {
    return Call("R.r", Json{{"message", log.forfeitMessage}});
}

}  // namespace host
