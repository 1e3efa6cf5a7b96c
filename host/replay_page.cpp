#include "host/replay_page.h"

#include "host/json_text.h"
#include "host/record_json.h"
#include "records/sheet.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

namespace host {

namespace {

// The house as it is drawn on its own: side line to side line, from behind the back line to past the
// hog line; and the whole sheet, from behind the back line to past the delivery point.
constexpr float HouseTop = 1.6f;
constexpr float HouseBottom = 12.2f;
constexpr float SheetBottom = 42.6f;
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

const char* PageStyle() {
    return "body{font-family:sans-serif;margin:1em;color:#222}"
           "h1{font-size:1.3em;margin:0 0 .4em}"
           ".layout{display:flex;gap:1.5em;flex-wrap:wrap;align-items:flex-start}"
           ".panel{flex:1 1 20em;max-width:36em}"
           "svg.house{height:82vh;width:calc(82vh * 4.95 / 10.6);border:1px solid #99a;flex:none}"
           "svg.whole{height:82vh;width:calc(82vh * 4.95 / 41);border:1px solid #99a;flex:none}"
           "table{border-collapse:collapse;margin:.6em 0}td,th{border:1px solid #aab;padding:.15em .5em;"
           "text-align:center}td.name{text-align:left}"
           ".swatch{display:inline-block;width:.9em;height:.9em;border-radius:50%;border:1px solid #333;"
           "vertical-align:middle;margin-right:.3em}"
           ".t0{fill:#c0182a}.t1{fill:#f5c400}.swatch.t0{background:#c0182a}.swatch.t1{background:#f5c400}"
           "circle.stone{stroke:#222;stroke-width:.012}circle.last{stroke:#06c;stroke-width:.035}"
           "text.num{font-size:.16px;text-anchor:middle;dominant-baseline:central;fill:#111;font-weight:bold}"
           "button,select{font-size:1em;margin:0 .3em .3em 0;min-width:3em}"
           "#caption{margin:.6em 0;min-height:3em;max-width:34em}"
           ".aim{stroke:#555;stroke-width:.02;fill:none}.moved{stroke:#000;stroke-width:.03;fill:none}";
}

// The sheet's lines and rings from `top` to `bottom`, and an empty group the script draws stones into.
std::string SheetMarkup(const char* id, float top, float bottom) {
    using namespace records;
    std::string svg = "<svg class=\"" + std::string(id) +
                      "\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"-0.1 " + Number(top) + " 4.95 " +
                      Number(bottom - top) + "\">";
    svg += "<rect x=\"0\" y=\"" + Number(top) + "\" width=\"" + Number(SheetWidth) + "\" height=\"" +
           Number(bottom - top) + "\" fill=\"#eef5fa\"/>";
    const char* ringColours[4] = {"#3b82c4", "#ffffff", "#e06666", "#ffffff"};
    const float ringRadii[4] = {HouseRadius, EightFootRadius, FourFootRadius, ButtonRadius};
    for (int i = 0; i < 4; ++i) {
        svg += "<circle cx=\"" + Number(TeeX) + "\" cy=\"" + Number(TeeY) + "\" r=\"" + Number(ringRadii[i]) +
               "\" fill=\"" + ringColours[i] + "\" stroke=\"#667\" stroke-width=\".01\"/>";
    }
    auto line = [&svg](double x1, double y1, double x2, double y2, const char* colour, double width) {
        svg += "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) + "\" y2=\"" +
               Number(y2) + "\" stroke=\"" + colour + "\" stroke-width=\"" + Number(width) + "\"/>";
    };
    line(CentreLineX, top, CentreLineX, bottom, "#778", 0.015);
    line(0, TeeY, SheetWidth, TeeY, "#778", 0.015);  // tee line
    line(0, BackLineY, SheetWidth, BackLineY, "#334", 0.03);
    line(0, HogLineY, SheetWidth, HogLineY, "#c03", 0.08);
    line(0, top, 0, bottom, "#334", 0.04);
    line(SheetWidth, top, SheetWidth, bottom, "#334", 0.04);
    return svg + "<g id=\"stones-" + id + "\"></g></svg>";
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

const char* PageScript() {
    return R"JS(
(function () {
  var shots = R.shots, step = R.game ? R.game.interval : 0.1;
  var current = 0, time = null, timer = null, speed = 1;
  var caption = document.getElementById('caption'), counter = document.getElementById('counter');
  var moving = document.getElementById('moving');
  function stoneText(p, team, number, last) {
    return '<circle class="stone t' + team + (last ? ' last' : '') + '" cx="' + p[0] + '" cy="' + p[1] +
      '" r="0.145"/><text class="num" x="' + p[0] + '" y="' + p[1] + '">' + number + '</text>';
  }
  function cross(p, cls) {
    return p ? '<path class="' + cls + '" d="M' + (p[0] - 0.07) + ' ' + (p[1] - 0.07) + 'l.14 .14M' +
      (p[0] + 0.07) + ' ' + (p[1] - 0.07) + 'l-.14 .14"/>' : '';
  }
  function before(index) {
    var shot = shots[index], previous = shots[index - 1];
    return previous && previous.end === shot.end ? previous.stones : [];
  }
  // Where every stone is `t` seconds into shot `index`; null t: where the shot left them.
  function stonesAt(index, t) {
    var shot = shots[index];
    if (t === null || !shot.path) { return shot.stones; }
    var k = Math.floor(t / step + 1e-9), f = t / step - k, stones = before(index).slice();
    for (var i = 0; i < 16; ++i) {
      var p = shot.path[i];
      if (!p) { continue; }
      var n = p.length / 2;
      if (k >= n) { stones[i] = null; continue; }  // it left the sheet
      var j = Math.min(k + 1, n - 1);
      stones[i] = [p[2 * k] + (p[2 * j] - p[2 * k]) * f, p[2 * k + 1] + (p[2 * j + 1] - p[2 * k + 1]) * f];
    }
    return stones;
  }
  function duration(index) {
    var path = shots[index].path, longest = 0;
    for (var i in path) { longest = Math.max(longest, path[i].length / 2 - 1); }
    return longest * step;
  }
  function teamOf(index, stone) {
    var shot = shots[index];
    return (stone % 2 === shot.shot % 2) ? shot.team : 1 - shot.team;
  }
  function draw() {
    if (shots.length === 0) { counter.textContent = 'No shot was played.'; return; }
    var shot = shots[current], stones = stonesAt(current, time), house = '', whole = '';
    for (var i = 0; i < 16; ++i) {
      var p = stones[i];
      if (!p) { continue; }
      var text = stoneText(p, teamOf(current, i), i + 1, i === shot.shot);
      whole += text;
      if (p[1] > 1.6 && p[1] < 12.2) { house += text; }
    }
    if (time === null) { house += cross(shot.aimed, 'aim') + cross(shot.moved, 'moved'); }
    document.getElementById('stones-house').innerHTML = house;
    document.getElementById('stones-whole').innerHTML = whole;
    // The ends finished once this shot is played, and the totals after them.
    var done = shot.end + (shot.shot === 15 && R.ends[shot.end] ? 1 : 0), totals = [0, 0];
    for (var e = 0; e < done; ++e) { totals[0] += R.ends[e].points[0]; totals[1] += R.ends[e].points[1]; }
    var cells = document.querySelectorAll('td[data-end]');
    for (var c = 0; c < cells.length; ++c) {
      var end = Number(cells[c].getAttribute('data-end')), team = Number(cells[c].getAttribute('data-team'));
      cells[c].textContent = end < done ? R.ends[end].points[team] : '';
    }
    document.getElementById('total0').textContent = totals[0];
    document.getElementById('total1').textContent = totals[1];
    caption.textContent = shot.caption;
    counter.textContent = 'shot ' + (current + 1) + ' of ' + shots.length +
      (time === null ? '' : ', ' + time.toFixed(1) + ' s of ' + duration(current).toFixed(1) + ' s');
    var mover = stones[shot.shot];
    moving.textContent = time !== null && mover ? 'stone ' + (shot.shot + 1) + ' at (' +
      mover[0].toFixed(3) + ', ' + mover[1].toFixed(3) + ')' : '';
  }
  function show(index, t) {
    current = Math.max(0, Math.min(shots.length - 1, index));
    time = t === null || !shots[current] || !shots[current].path || t >= duration(current) ? null : Math.max(0, t);
    draw();
  }
  function stop() { if (timer !== null) { clearInterval(timer); timer = null; } }
  function play() {
    if (timer !== null) { stop(); return; }
    if (time === null) { show(current === shots.length - 1 ? 0 : current + (shots[current].path ? 0 : 1), 0); }
    timer = setInterval(function () {
      if (time === null) {
        if (current === shots.length - 1) { stop(); return; }
        show(current + 1, 0);
      } else {
        show(current, time + 0.05 * speed);
      }
    }, 50);
  }
  function stepTime(delta) { stop(); show(current, (time === null ? duration(current) : time) + delta); }
  function id(name) { return document.getElementById(name); }
  id('to-first').onclick = function () { stop(); show(0, null); };
  id('to-back').onclick = function () { stop(); show(current - 1, null); };
  id('to-next').onclick = function () { stop(); show(current + 1, null); };
  id('to-last').onclick = function () { stop(); show(shots.length - 1, null); };
  id('to-play').onclick = play;
  id('step-back').onclick = function () { stepTime(-step); };
  id('step-on').onclick = function () { stepTime(step); };
  id('speed').onchange = function () { speed = Number(id('speed').value); };
  document.addEventListener('keydown', function (e) {
    var moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 };
    if (e.key in moves) { stop(); show(current + moves[e.key], null); e.preventDefault(); }
    else if (e.key === 'Home') { stop(); show(0, null); }
    else if (e.key === 'End') { stop(); show(shots.length - 1, null); }
    else if (e.key === ' ') { play(); e.preventDefault(); }
    else if (e.key === ',') { stepTime(-step); } else if (e.key === '.') { stepTime(step); }
  });
  if (R.result) { id('forfeit').textContent = R.result.message; }
  var wanted = /shot=(\d+)(?:&t=([\d.]+))?/.exec(location.hash);
  if (wanted) { show(Number(wanted[1]) - 1, wanted[2] === undefined ? null : Number(wanted[2])); }
  else { show(location.hash === '#last' || !R.result ? shots.length - 1 : 0, null); }
})();
)JS";
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
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/><title>Game " +
           std::to_string(setup.game) + " replay</title><style>" + PageStyle() + "</style></head><body>" +
           Heading(setup) + "<div class=\"layout\">" + SheetMarkup("whole", HouseTop, SheetBottom) +
           SheetMarkup("house", HouseTop, HouseBottom) + "<div class=\"panel\">" + LineScoreMarkup(setup) +
           "<div><button id=\"to-first\">First</button><button id=\"to-back\">Back</button>"
           "<button id=\"to-play\">Play</button><button id=\"to-next\">Next</button>"
           "<button id=\"to-last\">Last</button></div><div><button id=\"step-back\">-0.1 s</button>"
           "<button id=\"step-on\">+0.1 s</button><select id=\"speed\"><option value=\"0.5\">half "
           "speed</option>"
           "<option value=\"1\" selected=\"selected\">real speed</option><option value=\"2\">twice</option>"
           "<option value=\"4\">four times</option></select></div><p id=\"counter\"></p><p id=\"moving\"></p>"
           "<p id=\"caption\"></p><p>Play runs each shot along its stones' paths, then the next; the time "
           "buttons (or , and .) step a shot a tenth of a second at a time, the arrow keys shot by shot (up "
           "and "
           "down: an end), space plays and pauses. Crosses: where the sent shot would rest alone on the "
           "sheet "
           "(thin) and where the noise moved it (bold). Reload to see a game that is still being played.</p>"
           "</div></div><script>var R = {shots: [], ends: [], result: null, game: null};"
           "R.g = function (d) { R.game = d; }; R.s = function (d) { R.shots.push(d); };"
           "R.e = function (d) { R.ends[d.end] = d; }; R.r = function (d) { R.result = d; };</script>"
           "<script src=\"" +
           ReplayDataFile + "\"></script><script>" + PageScript() + "</script></body></html>\n";
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
