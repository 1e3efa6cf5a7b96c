#include "evaluation/house_scoring.h"
#include "physics/simulate_shot.h"
#include "records/sheet.h"
#include "simulator/shot_inverse.h"
#include "studio/engine_seat.h"
#include "studio/matches.h"
#include "studio/options.h"
#include "studio/play_paths.h"
#include "tests/support/engine_process.h"
#include "web/web_assets.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(StudioOptions, RefuseWhatCannotBeServedWithOneLine) {
    const std::string engine = CURLING_ENGINE_PATH;
    const std::string folder = testsupport::MakeTemporaryDirectory();
    const std::string plain = folder + "/plain";
    std::ofstream(plain) << "not a program\n";
    struct Case {
        std::vector<std::string> arguments;
        bool accepted;
        const char* reason;  // part of the refusal
    } cases[] = {
        {{}, true, ""},
        {{"--port", "0", "--host", "::1", "--matches", "/tmp"}, true, ""},
        {{"--port", "65536"}, false, "65536"},
        {{"--port", "eighty"}, false, "eighty"},
        {{"--colour", "red"}, false, "--colour"},
        {{"--engine", "/nonexistent/curling-engine"},
         false,
         "no engine program at /nonexistent/curling-engine"},
        {{"--engine", plain}, false, "no engine program"},
        {{"--engine", folder}, false, "no engine program"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& argument : c.arguments) {
            joined += argument + ' ';
        }
        SCOPED_TRACE(joined);
        studio::StudioOptions options;
        std::string error;
        EXPECT_EQ(studio::ParseStudioOptions(c.arguments, engine, options, error), c.accepted);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    studio::StudioOptions options;
    std::string error;
    ASSERT_TRUE(studio::ParseStudioOptions({"--help"}, engine, options, error));
    EXPECT_TRUE(options.help);
    EXPECT_NE(options.helpText.find("--matches"), std::string::npos);
}

TEST(StudioOptions, OnlyLoopbackAddressesPassWithoutAWarning) {
    for (const char* host : {"127.0.0.1", "127.1.2.3", "localhost", "::1"}) {
        EXPECT_FALSE(studio::ListensBeyondLoopback(host)) << host;
    }
    for (const char* host : {"0.0.0.0", "192.168.1.5", "::", "128.0.0.1"}) {
        EXPECT_TRUE(studio::ListensBeyondLoopback(host)) << host;
    }
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(MatchFolders, ListTheirGamesAndKeepEveryNameInsideTheFolder) {
    const std::string root = testsupport::MakeTemporaryDirectory();
    const std::string outside = testsupport::MakeTemporaryDirectory();
    for (const std::string& folder : {root + "/one", root + "/many", root + "/many/game-002",
                                      root + "/many/game-001", root + "/empty", root + "/.hidden"}) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << folder;
    }
    WriteFile(root + "/one/record.jsonl", "{\"type\":\"game\"}\n{\"type\":\"result\",\"totals\":[0,0]}\n");
    WriteFile(root + "/many/game-002/record.jsonl", "{\"type\":\"game\"}\n");
    WriteFile(root + "/many/game-001/record.jsonl", "{\"type\":\"game\"}\n{\"type\":\"result\"}\n");
    WriteFile(root + "/.hidden/record.jsonl", "{}\n");
    WriteFile(outside + "/record.jsonl", "{\"secret\":1}\n");
    ASSERT_EQ(::symlink(outside.c_str(), (root + "/link").c_str()), 0);

    EXPECT_EQ(studio::MatchListJson(root)["matches"], nlohmann::json::parse(R"([
        {"name":"link","games":[{"game":"","finished":false}]},
        {"name":"many","games":[{"game":"game-001","finished":true},{"game":"game-002","finished":false}]},
        {"name":"one","games":[{"game":"","finished":true}]}])"));

    struct Case {
        const char* match;
        const char* game;
        int status;  // 0: found
    } cases[] = {{"one", "", 0},      {"many", "game-002", 0}, {"many", "", 404},   {"many", "game-003", 404},
                 {"link", "", 403},   {"..", "", 403},         {"one", "..", 403},  {".hidden", "", 403},
                 {"one/..", "", 403}, {"", "", 403},           {"nothing", "", 404}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.match) + " / " + c.game);
        std::string path;
        studio::ApiReply refusal;
        EXPECT_EQ(studio::FindRecord(root, c.match, c.game, path, refusal), c.status == 0);
        if (c.status != 0) {
            EXPECT_EQ(refusal.status, c.status);
        } else {
            EXPECT_EQ(path.rfind("/record.jsonl"), path.size() - 13);
        }
    }
}

TEST(MatchFolders, ARecordIsReadInWholeLinesAsItGrows) {
    const std::string path = testsupport::MakeTemporaryDirectory() + "/record.jsonl";
    long long offset = 0;
    EXPECT_TRUE(studio::ReadNewLines(path, offset).empty()) << "no file yet";
    WriteFile(path, "{\"a\":1}\n{\"b\":");
    EXPECT_EQ(studio::ReadNewLines(path, offset), std::vector<std::string>{"{\"a\":1}"});
    EXPECT_TRUE(studio::ReadNewLines(path, offset).empty()) << "half a line waits";
    std::ofstream(path, std::ios::app) << "2}\n\n{\"c\":3}\n";
    EXPECT_EQ(studio::ReadNewLines(path, offset), (std::vector<std::string>{"{\"b\":2}", "", "{\"c\":3}"}));
    // A read that stops within a line leaves it for the next.
    offset = 0;
    EXPECT_EQ(studio::ReadNewLines(path, offset, 12), std::vector<std::string>{"{\"a\":1}"});
    EXPECT_EQ(studio::ReadNewLines(path, offset, 12), (std::vector<std::string>{"{\"b\":2}", ""}));
}

TEST(EngineSeat, AnEngineAnswersAsItAnswersTheHostAndOneThatCannotPlaySaysWhy) {
    const std::string logs = testsupport::MakeTemporaryDirectory();
    studio::EngineSeat seat;
    std::string error;
    ASSERT_TRUE(studio::StartSeat(seat, CURLING_ENGINE_PATH, logs + "/engine.log", error)) << error;
    records::GameState state{};
    state.shotNumber = 15;
    state.stones[0] = {2.375f, 4.88f};
    records::ShotVector shot{};
    ASSERT_TRUE(studio::AskShot(seat, state, 15, 0, 8, shot, error)) << error;
    // The last stone against one on the tee: whatever it sends, played as sent it scores.
    ASSERT_TRUE(physics::SimulateShot(state, shot));
    EXPECT_LT(evaluation::EndScore(state), 0);
    studio::StopSeat(seat);

    for (const std::string& program : {std::string("/bin/false"), logs + "/absent"}) {
        SCOPED_TRACE(program);
        studio::EngineSeat broken;
        broken.seconds = 10.0;
        EXPECT_FALSE(studio::StartSeat(broken, program, logs + "/broken.log", error));
        EXPECT_FALSE(error.empty());
        studio::StopSeat(broken);
    }
}

TEST(WebAssets, ModulesBecomeOneClassicScriptForAPageOpenedFromAFile) {
    for (const char* module : {"/draw.js", "/replay.js"}) {
        SCOPED_TRACE(module);
        const std::string text(web::AssetText(module));
        ASSERT_FALSE(text.empty());
        // Imports in single lines are all the bundling understands.
        for (std::size_t at = text.find("import "); at != std::string::npos;
             at = text.find("\nimport ", at + 1)) {
            const std::size_t start = text[at] == '\n' ? at + 1 : at;
            const std::string line = text.substr(start, text.find('\n', start) - start);
            EXPECT_NE(line.find(" from './"), std::string::npos) << line;
            EXPECT_EQ(line.back(), ';') << line;
        }
    }
    const std::string script = web::ClassicScript({"/draw.js", "/replay.js"});
    EXPECT_EQ(script.rfind("(function () {\n", 0), 0u);
    EXPECT_EQ(script.find("\nimport "), std::string::npos);
    EXPECT_EQ(script.find("\nexport "), std::string::npos);
    EXPECT_EQ(script.find("</script"), std::string::npos) << "it goes inside a script element";
    EXPECT_NE(script.find("\nfunction drawStones("), std::string::npos);
    EXPECT_NE(script.find("\nconst Views = "), std::string::npos);
    EXPECT_EQ(web::FindAsset("/"), web::FindAsset("/index.html"));
    EXPECT_EQ(web::FindAsset("/nothing.js"), nullptr);
}

TEST(PlayPaths, FollowEveryStoneThatMovesFromWhereItStoodToWhereItStops) {
    records::GameState state{};
    state.shotNumber = 3;
    state.stones[0] = {2.375f, 4.88f};  // struck by the draw to the tee
    state.stones[1] = {1.2f, 8.0f};     // far from its path
    const records::ShotVector draw = simulator::ShotForTarget(records::MakeShotTarget(2.375f, 4.88f, 0));
    records::GameState after = state;
    nlohmann::json paths;
    ASSERT_TRUE(studio::PlayWithPaths(after, draw, paths));
    records::GameState reference = state;
    ASSERT_TRUE(physics::SimulateShot(reference, draw));
    EXPECT_EQ(std::memcmp(&after, &reference, sizeof(after)), 0) << "the record advances as SimulateShot's";
    EXPECT_FALSE(paths.contains("1")) << "a stone that stands still has no path";
    for (const char* stone : {"0", "3"}) {
        SCOPED_TRACE(stone);
        ASSERT_TRUE(paths.contains(stone));
        const std::vector<double> points = paths[stone];
        ASSERT_GE(points.size(), 4u);
        ASSERT_EQ(points.size() % 2, 0u);
        const records::StonePosition& end = after.stones[std::stoi(stone)];
        if (end.x != 0.0f || end.y != 0.0f) {
            EXPECT_NEAR(points[points.size() - 2], end.x, 0.0006);
            EXPECT_NEAR(points.back(), end.y, 0.0006);
        }
    }
    EXPECT_NEAR(paths["3"][0].get<double>(), records::DeliveryX, 0.0006);
    EXPECT_NEAR(paths["3"][1].get<double>(), records::DeliveryY, 0.0006);
    EXPECT_NEAR(paths["0"][1].get<double>(), 4.88, 0.0006);

    records::GameState over{};
    over.shotNumber = 16;
    EXPECT_FALSE(studio::PlayWithPaths(over, draw, paths));
}

}  // namespace
