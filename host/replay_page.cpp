#include "host/replay_page.h"

#include "records/sheet.h"

#include <cstdio>
#include <fstream>

namespace host {

namespace {

// The part of the sheet drawn: side line to side line, from behind the back line to past the hog line.
constexpr float ViewTop = 1.6f;
constexpr float ViewBottom = 12.2f;
const char* const TeamNames[2] = {"red", "yellow"};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.4g", value);
    return text;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f s", seconds);
    return text;
}

bool InView(const records::StonePosition& p) {
    return (p.x != 0.0f || p.y != 0.0f) && p.y > ViewTop && p.y < ViewBottom;
}

const char* PageStyle() {
    return "body{font-family:sans-serif;margin:1em;color:#222}"
           "h1{font-size:1.3em;margin:0 0 .4em}"
           ".layout{display:flex;gap:1.5em;flex-wrap:wrap;align-items:flex-start}"
           ".panel{flex:1 1 20em;max-width:36em}"
           "svg.sheet{height:82vh;width:calc(82vh * 4.95 / 10.6);border:1px solid #99a;flex:none}"
           "table{border-collapse:collapse;margin:.6em 0}td,th{border:1px solid #aab;padding:.15em .5em;"
           "text-align:center}td.name{text-align:left}"
           ".swatch{display:inline-block;width:.9em;height:.9em;border-radius:50%;border:1px solid #333;"
           "vertical-align:middle;margin-right:.3em}"
           ".t0{fill:#c0182a}.t1{fill:#f5c400}.swatch.t0{background:#c0182a}.swatch.t1{background:#f5c400}"
           "circle.stone{stroke:#222;stroke-width:.012}circle.last{stroke:#06c;stroke-width:.035}"
           "text.num{font-size:.16px;text-anchor:middle;dominant-baseline:central;fill:#111;font-weight:bold}"
           "button{font-size:1em;margin-right:.3em;min-width:3em}"
           "#caption{margin:.6em 0;min-height:3em;max-width:34em}"
           ".aim{stroke:#555;stroke-width:.02;fill:none}.moved{stroke:#000;stroke-width:.03;fill:none}";
}

std::string SheetMarkup() {
    std::string svg;
    using namespace records;
    svg += "<rect x=\"0\" y=\"" + Number(ViewTop) + "\" width=\"" + Number(SheetWidth) + "\" height=\"" +
           Number(ViewBottom - ViewTop) + "\" fill=\"#eef5fa\"/>";
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
    line(CentreLineX, ViewTop, CentreLineX, ViewBottom, "#778", 0.015);
    line(0, TeeY, SheetWidth, TeeY, "#778", 0.015);  // tee line
    line(0, BackLineY, SheetWidth, BackLineY, "#334", 0.03);
    line(0, HogLineY, SheetWidth, HogLineY, "#c03", 0.08);
    line(0, ViewTop, 0, ViewBottom, "#334", 0.04);
    line(SheetWidth, ViewTop, SheetWidth, ViewBottom, "#334", 0.04);
    return svg;
}

std::string Cross(const records::StonePosition& p, const char* cls) {
    std::string d = "M" + Number(p.x - 0.07) + ' ' + Number(p.y - 0.07) + "l.14 .14M" + Number(p.x + 0.07) +
                    ' ' + Number(p.y - 0.07) + "l-.14 .14";
    return "<path class=\"" + std::string(cls) + "\" d=\"" + d + "\"/>";
}

std::string Caption(const GameLog& log, const ShotEntry& shot) {
    std::string text = "End " + std::to_string(shot.end + 1) + ", stone " + std::to_string(shot.shot + 1) +
                       " of 16, " + TeamNames[shot.team] + " (engine " +
                       std::to_string(EngineNumber(log.setup, shot.team)) + "), " + Seconds(shot.seconds) +
                       ". ";
    if (!shot.delivered) {
        return text + "Thrown away: " + shot.fault + '.';
    }
    char detail[200];
    std::snprintf(detail, sizeof(detail), "Sent (%.3f, %.3f) curl %d, aimed at (%.2f, %.2f)", shot.sent.vx,
                  shot.sent.vy, shot.sent.curl, shot.aimed.x, shot.aimed.y);
    text += detail;
    if (log.setup.noiseScale != 0.0) {
        std::snprintf(detail, sizeof(detail), ", noise moved it to (%.2f, %.2f)", shot.moved.x, shot.moved.y);
        text += detail;
    }
    return text + '.';
}

// Ends completed once this shot is played, and the totals after them.
void EndsDone(const GameLog& log, std::size_t shotIndex, int& done, int totals[2]) {
    const ShotEntry& shot = log.shots[shotIndex];
    done = shot.end;
    if (shot.shot == StonesPerEnd - 1 && shot.end < static_cast<int>(log.ends.size())) {
        done = shot.end + 1;
    }
    totals[0] = done > 0 ? log.ends[done - 1].totals[0] : 0;
    totals[1] = done > 0 ? log.ends[done - 1].totals[1] : 0;
}

std::string StoneMarkup(const records::StonePosition& p, int team, int number, bool last) {
    std::string svg = "<circle class=\"stone t" + std::to_string(team) + (last ? " last" : "") + "\" cx=\"" +
                      Number(p.x) + "\" cy=\"" + Number(p.y) + "\" r=\"" + Number(records::StoneRadius) +
                      "\"/>";
    return svg + "<text class=\"num\" x=\"" + Number(p.x) + "\" y=\"" + Number(p.y) + "\">" +
           std::to_string(number) + "</text>";
}

std::string FrameMarkup(const GameLog& log, std::size_t index) {
    const ShotEntry& shot = log.shots[index];
    int done = 0, totals[2];
    EndsDone(log, index, done, totals);
    std::string frame = "<g class=\"frame\" data-done=\"" + std::to_string(done) + "\" data-score=\"" +
                        std::to_string(totals[0]) + " : " + std::to_string(totals[1]) + "\" data-caption=\"" +
                        EscapeXml(Caption(log, shot)) + "\"" +
                        (index + 1 == log.shots.size() ? "" : " style=\"display:none\"") + '>';
    if (shot.delivered) {
        frame += Cross(shot.aimed, "aim");
        if (log.setup.noiseScale != 0.0) {
            frame += Cross(shot.moved, "moved");
        }
    }
    int hammer = shot.shot % 2 == 1 ? shot.team : 1 - shot.team;
    for (int i = 0; i < records::StoneCount; ++i) {
        if (InView(shot.stones[i])) {
            frame += StoneMarkup(shot.stones[i], TeamForShot(hammer, i), i + 1, i == shot.shot);
        }
    }
    return frame + "</g>";
}

std::string LineScoreMarkup(const GameLog& log) {
    std::size_t columns = log.ends.size();
    if (columns < static_cast<std::size_t>(log.setup.ends)) {
        columns = static_cast<std::size_t>(log.setup.ends);
    }
    std::string table = "<table id=\"linescore\"><tr><th></th>";
    for (std::size_t e = 0; e < columns; ++e) {
        table += "<th>" + std::to_string(e + 1) + "</th>";
    }
    table += "<th>Total</th></tr>";
    for (int team = 0; team < 2; ++team) {
        table += "<tr><td class=\"name\"><span class=\"swatch t" + std::to_string(team) + "\"></span>" +
                 (log.setup.firstHammer == team ? "* " : "") + "engine " +
                 std::to_string(EngineNumber(log.setup, team)) + "</td>";
        for (std::size_t e = 0; e < columns; ++e) {
            std::string points = e < log.ends.size() ? std::to_string(log.ends[e].points[team]) : "";
            table += "<td data-end=\"" + std::to_string(e) + "\">" + points + "</td>";
        }
        table += "<td class=\"total\" id=\"total" + std::to_string(team) + "\"></td></tr>";
    }
    return table + "</table>";
}

// Kept free of '<' and '&' so that the page stays well-formed XML without escaping the script.
const char* PageScript() {
    return R"JS(
(function () {
  var frames = Array.prototype.slice.call(document.querySelectorAll('g.frame'));
  var cells = Array.prototype.slice.call(document.querySelectorAll('td[data-end]'));
  var caption = document.getElementById('caption');
  var counter = document.getElementById('counter');
  var current = 0, timer = null;
  function show(index) {
    if (frames.length === 0) { return; }
    current = Math.max(0, Math.min(frames.length - 1, index));
    frames.forEach(function (f, i) { f.style.display = i === current ? 'inline' : 'none'; });
    var frame = frames[current];
    var done = Number(frame.getAttribute('data-done'));
    cells.forEach(function (c) {
      c.style.visibility = Number(c.getAttribute('data-end')) >= done ? 'hidden' : 'visible';
    });
    var score = frame.getAttribute('data-score').split(' : ');
    document.getElementById('total0').textContent = score[0];
    document.getElementById('total1').textContent = score[1];
    caption.textContent = frame.getAttribute('data-caption');
    counter.textContent = 'shot ' + (current + 1) + ' of ' + frames.length;
  }
  function play() {
    if (timer !== null) { clearInterval(timer); timer = null; return; }
    if (current === frames.length - 1) { show(0); }
    timer = setInterval(function () {
      if (current === frames.length - 1) { play(); } else { show(current + 1); }
    }, 700);
  }
  document.getElementById('to-first').onclick = function () { show(0); };
  document.getElementById('to-back').onclick = function () { show(current - 1); };
  document.getElementById('to-next').onclick = function () { show(current + 1); };
  document.getElementById('to-last').onclick = function () { show(frames.length - 1); };
  document.getElementById('to-play').onclick = play;
  document.addEventListener('keydown', function (e) {
    var moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 };
    if (e.key in moves) { show(current + moves[e.key]); e.preventDefault(); }
    else if (e.key === 'Home') { show(0); }
    else if (e.key === 'End') { show(frames.length - 1); }
    else if (e.key === ' ') { play(); e.preventDefault(); }
  });
  show(location.hash === '#last' ? frames.length - 1 : 0);
})();
)JS";
}

std::string Heading(const GameLog& log) {
    std::string html = "<h1>Game " + std::to_string(log.setup.game) + "</h1><p>";
    for (int team = 0; team < 2; ++team) {
        html += std::string(team > 0 ? "<br/>" : "") + "<span class=\"swatch t" + std::to_string(team) +
                "\"></span>" + TeamNames[team] + ": engine " + std::to_string(EngineNumber(log.setup, team)) +
                ", " + EscapeXml(log.setup.engines[team]);
    }
    html += "<br/>* holds the hammer in the first end. Seed " + std::to_string(log.setup.seed) + ", noise " +
            Number(log.setup.noiseScale) + ".</p>";
    if (!log.forfeitMessage.empty()) {
        html += "<p><b>" + EscapeXml(log.forfeitMessage) + "</b></p>";
    }
    return html;
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

std::string ReplayPage(const GameLog& log) {
    std::string html =
        "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\"><head>"
        "<meta charset=\"utf-8\"/><title>Game " +
        std::to_string(log.setup.game) + " replay</title><style>" + PageStyle() + "</style></head><body>" +
        Heading(log) +
        "<div class=\"layout\"><svg class=\"sheet\" "
        "xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"-0.1 " +
        Number(ViewTop) + " 4.95 " + Number(ViewBottom - ViewTop) + "\">" + SheetMarkup();
    for (std::size_t i = 0; i < log.shots.size(); ++i) {
        html += "\n" + FrameMarkup(log, i);
    }
    html += "</svg><div class=\"panel\">" + LineScoreMarkup(log) +
            "<div><button id=\"to-first\">First</button><button id=\"to-back\">Back</button>"
            "<button id=\"to-play\">Play</button><button id=\"to-next\">Next</button><button "
            "id=\"to-last\">Last</button>"
            "</div><p id=\"counter\">" +
            std::string(log.shots.empty() ? "No shot was played." : "") +
            "</p><p id=\"caption\"></p><p>Arrow keys step shot by shot (up and down: an end), space plays. "
            "Crosses: where the sent shot would rest alone on the sheet (thin) and where the noise moved it "
            "(bold)."
            "</p></div></div><script>//<![CDATA[" +
            PageScript() + "//]]></script></body></html>\n";
    return html;
}

bool WriteReplayPage(const GameLog& log, const std::string& path) {
    std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << ReplayPage(log);
        if (!file.good()) {
            return false;
        }
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace host
