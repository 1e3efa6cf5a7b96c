#include "host/match_rules.h"
#include "host/noise.h"
#include "host/referee.h"
#include "host/sheet_model.h"
#include "tests/fixtures/position_file.h"
#include "tests/studio/studio_process.h"
#include "tests/support/engine_process.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <thread>
#include <vector>

namespace {

using nlohmann::json;

// One studio for the whole suite, watching a matches folder of its own.
class StudioApi : public testing::Test {
protected:
    static void SetUpTestSuite() {
        matches_ = new std::string(testsupport::MakeTemporaryDirectory());
        studio_ = new studiotest::StudioProcess();
        std::string error;
        started_ = studiotest::StartStudio(*studio_,
                                           {"--matches", *matches_, "--engine", CURLING_ENGINE_PATH}, error);
        if (!started_) {
            std::fprintf(stderr, "%s\n", error.c_str());
        }
    }
    static void TearDownTestSuite() {
        delete studio_;
        delete matches_;
    }
    void SetUp() override { ASSERT_TRUE(started_); }

    static httplib::Client Client() {
        httplib::Client client("127.0.0.1", studio_->port);
        client.set_read_timeout(300, 0);
        return client;
    }

    static json PositionJson(const records::GameState& state) {
        json stones = json::array();
        for (const records::StonePosition& stone : state.stones) {
            stones.push_back(stone.x == 0.0f && stone.y == 0.0f ? json(nullptr)
                                                                : json::array({stone.x, stone.y}));
        }
        return {{"stones", stones}, {"shotNumber", state.shotNumber}};
    }

    static std::string BestShotLine(const json& analysis) {
        const json& shot = analysis.at("shot");
        char line[96];
        std::snprintf(line, sizeof(line), "BESTSHOT %f %f %d",
                      static_cast<double>(shot.at("vx").get<float>()),
                      static_cast<double>(shot.at("vy").get<float>()), shot.at("curl").get<int>());
        return line;
    }

    static std::string* matches_;
    static studiotest::StudioProcess* studio_;
    static bool started_;
};

std::string* StudioApi::matches_ = nullptr;
studiotest::StudioProcess* StudioApi::studio_ = nullptr;
bool StudioApi::started_ = false;

// The engine's own answers to every benchmark position, from one session of the built engine.
std::vector<std::string> EngineBestShots(const std::vector<fixtures::PositionFile>& positions) {
    std::vector<std::string> input = {"ISREADY\n"};
    for (const fixtures::PositionFile& position : positions) {
        input.push_back(position.commands + "GO\n");
    }
    testsupport::ProcessResult run = testsupport::RunProcess(CURLING_ENGINE_PATH, input, {}, 900);
    std::vector<std::string> replies;
    for (std::size_t at = run.standardOutput.find("BESTSHOT"); at != std::string::npos;) {
        const std::size_t next = run.standardOutput.find("BESTSHOT", at + 1);
        replies.push_back(run.standardOutput.substr(at, next == std::string::npos ? next : next - at));
        at = next;
    }
    return replies;
}

TEST_F(StudioApi, AnalysisAnswersTheEnginesBestShotOnEveryBenchmarkPosition) {
    const std::vector<fixtures::PositionFile> positions = fixtures::LoadPositionFiles();
    ASSERT_FALSE(positions.empty());
    const std::vector<std::string> engine = EngineBestShots(positions);
    ASSERT_EQ(engine.size(), positions.size());
    httplib::Client client = Client();
    for (std::size_t k = 0; k < positions.size(); ++k) {
        SCOPED_TRACE(positions[k].name);
        auto response =
            client.Post("/api/analyse", PositionJson(positions[k].state).dump(), "application/json");
        ASSERT_TRUE(response);
        ASSERT_EQ(response->status, 200) << response->body;
        const json analysis = json::parse(response->body);
        EXPECT_EQ(BestShotLine(analysis), engine[k]);
        // The chosen candidate is the best of the expected values the page draws.
        const json& region =
            analysis.at("candidates").at(analysis.at("cell").at("row") < 100 ? "strong" : "draw");
        const std::vector<double> curl = region.at("expected").at(analysis.at("cell").at("curl").get<int>());
        EXPECT_NEAR(*std::max_element(curl.begin(), curl.end()), analysis.at("expectedValue").get<double>(),
                    1e-4);
        EXPECT_EQ(analysis.at("outcome").at("stones").size(), 16u);
        EXPECT_EQ(analysis.at("spread").at("cells").size(), analysis.at("cell").at("row") < 100 ? 15u : 91u);
        // Asked again, the same answer comes from what was kept, and uncompressed even for a client that
        // accepts compression as browsers do: compressing an analysis costs more than sending it.
        const httplib::Headers browserLike{{"Accept-Encoding", "gzip, deflate, br"}};
        auto again = client.Post("/api/analyse", browserLike, PositionJson(positions[k].state).dump(),
                                 "application/json");
        ASSERT_TRUE(again);
        EXPECT_EQ(again->body, response->body);
        EXPECT_FALSE(again->has_header("Content-Encoding"));
    }
}

records::StonePosition Point(const json& value) {
    return value.is_null() ? records::StonePosition{0.0f, 0.0f}
                           : records::StonePosition{value[0].get<float>(), value[1].get<float>()};
}

TEST_F(StudioApi, SimulateDrawsTheMatchHostsNoiseForItsSeedGameAndShot) {
    records::GameState state{};
    state.shotNumber = 5;
    state.stones[0] = {2.3f, 5.1f};
    state.stones[1] = {2.6f, 4.7f};
    state.stones[3] = {2.375f, 8.0f};
    const host::SheetModel model = host::EngineSheetModel();
    const records::ShotVector draw = model.shotForTarget(records::MakeShotTarget(2.4f, 4.9f, 1));
    const records::ShotVector hit = model.shotForTarget(records::MakeShotTarget(2.3f, -20.0f, 0));
    struct Case {
        const char* name;
        records::ShotVector sent;
        bool noise;
        uint64_t seed;
        int game, end;
    } cases[] = {{"draw, seed 7", draw, true, 7, 1, 0},
                 {"draw, seed 8", draw, true, 8, 1, 0},
                 {"hit, game 3, end 2", hit, true, 11, 3, 2},
                 {"a seed past 2^32", draw, true, 1ull << 40, 2, 5},
                 {"without noise", hit, false, 1, 1, 0}};
    httplib::Client client = Client();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        json request = PositionJson(state);
        request["shot"] = {{"vx", c.sent.vx}, {"vy", c.sent.vy}, {"curl", c.sent.curl}};
        request["noise"] = c.noise;
        request["seed"] = c.seed;
        request["game"] = c.game;
        request["end"] = c.end;
        auto response = client.Post("/api/simulate", request.dump(), "application/json");
        ASSERT_TRUE(response);
        ASSERT_EQ(response->status, 200) << response->body;
        const json answer = json::parse(response->body);

        const double scale = c.noise ? 1.0 : 0.0;
        const host::Delivery delivery = host::Deliver(
            model, c.sent,
            host::DrawNoise(c.seed, c.game, c.end * host::StonesPerEnd + state.shotNumber, scale), scale);
        records::GameState after = state;
        host::ShotPath path;
        ASSERT_TRUE(model.simulateShot(after, delivery.played, &path));
        host::RemoveStonesOutOfPlay(after, model);

        const records::ShotVector played{answer["played"]["vx"].get<float>(),
                                         answer["played"]["vy"].get<float>(),
                                         answer["played"]["curl"].get<uint8_t>(),
                                         {}};
        EXPECT_EQ(std::memcmp(&played, &delivery.played, 9), 0) << answer["played"];
        EXPECT_EQ(c.noise, std::memcmp(&played, &c.sent, 9) != 0);
        for (int i = 0; i < records::StoneCount; ++i) {
            const records::StonePosition stone = Point(answer["stones"][static_cast<std::size_t>(i)]);
            EXPECT_EQ(std::memcmp(&stone, &after.stones[i], sizeof(stone)), 0) << "stone " << i;
        }
        EXPECT_EQ(answer["shotNumber"], 6);
        EXPECT_TRUE(answer["paths"].contains("5"));
    }
}

TEST_F(StudioApi, BadRequestsGetAStatusAndTheReason) {
    const std::string stones15 =
        json::array({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr, nullptr})
            .dump();
    auto position = [](const std::string& first, const std::string& rest) {
        std::string stones = "[" + first;
        for (int i = 1; i < 16; ++i) {
            stones += ",null";
        }
        return "{\"stones\":" + stones + "]," + rest + "}";
    };
    const std::string ok = position("[2.375,4.88]", "\"shotNumber\":3");
    const std::string shotOk = ok.substr(0, ok.size() - 1) + ",\"shot\":{\"vx\":0.1,\"vy\":-29,\"curl\":1}";
    struct Case {
        const char* method;
        std::string path;
        std::string body;
        int status;
        const char* reason;
    } cases[] = {
        {"POST", "/api/analyse", "{\"stones\":", 400, "not valid JSON"},
        {"POST", "/api/analyse", "[1,2]", 400, "must be a JSON object"},
        {"POST", "/api/analyse", "{\"stones\":3,\"shotNumber\":0}", 400, "16 entries"},
        {"POST", "/api/analyse", "{\"stones\":" + stones15 + ",\"shotNumber\":0}", 400, "16 entries"},
        {"POST", "/api/analyse", position("[1]", "\"shotNumber\":3"), 400, "stones[0] must be [x, y]"},
        {"POST", "/api/analyse", position("[\"a\",2]", "\"shotNumber\":3"), 400,
         "stones[0][0] must be a number"},
        {"POST", "/api/analyse", position("[1e39,2]", "\"shotNumber\":3"), 400, "finite"},
        {"POST", "/api/analyse", position("[1,1e400]", "\"shotNumber\":3"), 400, "number overflow"},
        {"POST", "/api/analyse", position("[1,NaN]", "\"shotNumber\":3"), 400, "not valid JSON"},
        {"POST", "/api/analyse", position("null", "\"shotNumber\":16"), 400,
         "\"shotNumber\" must lie in 0..15"},
        {"POST", "/api/analyse", position("null", "\"shotNumber\":-1"), 400, "must lie in 0..15"},
        {"POST", "/api/analyse", position("null", "\"shotNumber\":99999999999999999999"), 400, "0..15"},
        {"POST", "/api/analyse", position("null", "\"shotNumber\":2.5"), 400, "whole number"},
        {"POST", "/api/analyse", position("null", "\"shotNumber\":\"2\""), 400, "whole number"},
        {"POST", "/api/analyse", position("null", "\"end\":0"), 400, "\"shotNumber\" is missing"},
        {"POST", "/api/analyse", "{\"stones\":[" + std::string(1100000, ' ') + "]}", 413, "over 1 MiB"},
        {"POST", "/api/simulate", ok, 400, "either \"shot\" or \"target\""},
        {"POST", "/api/simulate", shotOk + ",\"target\":{\"x\":1,\"y\":2,\"curl\":0}}", 400, "either"},
        {"POST", "/api/simulate",
         position("null", "\"shotNumber\":0,\"shot\":{\"vx\":0,\"vy\":-29,\"curl\":2}"), 400,
         "shot.curl must be 0 or 1"},
        {"POST", "/api/simulate",
         position("null", "\"shotNumber\":0,\"shot\":{\"vx\":0,\"vy\":-300,\"curl\":0}"), 400, "faster than"},
        {"POST", "/api/simulate", position("null", "\"shotNumber\":0,\"target\":{\"x\":1,\"curl\":0}"), 400,
         "target.y is missing"},
        {"POST", "/api/simulate", shotOk + ",\"noise\":\"yes\"}", 400, "\"noise\" must be true or false"},
        {"POST", "/api/simulate", shotOk + ",\"seed\":-1}", 400, "\"seed\" must be a whole number"},
        {"POST", "/api/simulate", shotOk + ",\"end\":100}", 400, "\"end\" must lie in 0..99"},
        {"GET", "/api/analyse", "", 405, "takes POST"},
        {"POST", "/api/games", R"({"players":["person"]})", 400, "\"players\" must be two"},
        {"POST", "/api/games", R"({"players":["person","robot"]})", 400, "\"players\" must be two"},
        {"POST", "/api/games", R"({"players":["person","engine"],"ends":0})", 400,
         "\"ends\" must lie in 1..10"},
        {"POST", "/api/games", R"({"players":["person","engine"],"firstHammer":2})", 400, "firstHammer"},
        {"GET", "/api/games/999", "", 404, "no such game: 999"},
        {"POST", "/api/games/999/shot", R"({"target":{"x":2.4,"y":4.9,"curl":1}})", 404, "no such game"},
        {"GET", "/api/games/999/events", "", 404, "no such game"},
        {"POST", "/api/games/1/shot", "{}", 400, "either \"shot\" or \"target\""},
        {"GET", "/api/nothing", "", 404, "nothing at"},
        {"GET", "/api/matches/events?match=..&game=", "", 403, "outside the matches folder"},
        {"GET", "/api/matches/events?match=../x", "", 403, "outside the matches folder"},
        {"GET", "/api/matches/events?match=a&game=../../etc", "", 403, "outside the matches folder"},
        {"GET", "/api/matches/events?match=", "", 403, "outside the matches folder"},
        {"GET", "/api/matches/events?match=absent", "", 404, "no such game"},
    };
    httplib::Client client = Client();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path + " " + c.body.substr(0, 120));
        auto response = std::string(c.method) == "GET"
                            ? client.Get(c.path.c_str())
                            : client.Post(c.path.c_str(), c.body, "application/json");
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, c.status);
        const json body = json::parse(response->body, nullptr, false);
        ASSERT_TRUE(body.is_object() && body.contains("error")) << response->body;
        EXPECT_NE(body["error"].get<std::string>().find(c.reason), std::string::npos) << body;
    }
}

// Positions no other test asks for, so that each takes a search of its own.
records::GameState Numbered(int k) {
    records::GameState state{};
    state.shotNumber = 2;
    state.stones[0] = {2.0f + 0.01f * static_cast<float>(k), 5.0f};
    state.stones[1] = {2.6f, 7.5f};
    return state;
}

TEST_F(StudioApi, TwoClientsAtOnceEachGetTheirOwnAnswer) {
    json answers[2];
    std::thread clients[2];
    for (int k = 0; k < 2; ++k) {
        clients[k] = std::thread([&answers, k] {
            httplib::Client client = Client();
            auto response =
                client.Post("/api/analyse", PositionJson(Numbered(100 + k)).dump(), "application/json");
            if (response && response->status == 200) {
                answers[k] = json::parse(response->body);
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    httplib::Client client = Client();
    auto progress = client.Get("/api/analyse/progress");
    ASSERT_TRUE(progress);
    EXPECT_EQ(json::parse(progress->body)["tests"], 10994);
    // Each matches what the studio answers for its position alone, and the two positions differ.
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(answers[k].is_object()) << "client " << k;
        auto alone = client.Post("/api/analyse", PositionJson(Numbered(100 + k)).dump(), "application/json");
        ASSERT_TRUE(alone);
        EXPECT_EQ(json::parse(alone->body), answers[k]);
    }
    EXPECT_NE(answers[0]["outcome"], answers[1]["outcome"]);
}

TEST_F(StudioApi, AnalysesPastTheQueueAreTurnedAwayAndADisconnectedOneCostsNothingElse) {
    // A client that gives up mid-search: its search runs on and the studio serves on.
    {
        httplib::Client impatient("127.0.0.1", studio_->port);
        impatient.set_read_timeout(0, 20000);
        EXPECT_FALSE(impatient.Post("/api/analyse", PositionJson(Numbered(200)).dump(), "application/json"));
    }
    constexpr int Clients = 16;
    int statuses[Clients] = {};
    std::thread clients[Clients];
    for (int k = 0; k < Clients; ++k) {
        clients[k] = std::thread([&statuses, k] {
            httplib::Client client = Client();
            auto response = client.Post("/api/analyse", PositionJson(Numbered(k)).dump(), "application/json");
            statuses[k] = response ? response->status : -1;
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    const int answered = static_cast<int>(std::count(statuses, statuses + Clients, 200));
    const int refused = static_cast<int>(std::count(statuses, statuses + Clients, 503));
    EXPECT_EQ(answered + refused, Clients);
    EXPECT_GE(refused, 1) << "sixteen at once overflow a queue of four behind the search that runs";
    httplib::Client client = Client();
    auto again = client.Post("/api/analyse", PositionJson(Numbered(200)).dump(), "application/json");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
}

// A record written line by line, as the match host writes it while a game runs.
TEST_F(StudioApi, WatchingAGameStreamsEachWholeLineOfItsRecordAsItGrows) {
    const std::string folder = *matches_ + "/live";
    ASSERT_EQ(std::system(("mkdir -p " + folder).c_str()), 0);
    const std::string record = folder + "/record.jsonl";
    std::ofstream(record) << "{\"type\":\"game\",\"game\":1,\"ends\":1}\n{\"type\":\"shot\",\"end\":0";
    httplib::Client client = Client();
    auto list = client.Get("/api/matches");
    ASSERT_TRUE(list);
    const auto named = [](const json& matches, const char* name) {
        for (const json& match : matches) {
            if (match["name"] == name) {
                return match;
            }
        }
        return json();
    };
    EXPECT_EQ(named(json::parse(list->body)["matches"], "live"),
              json::parse(R"({"name":"live","games":[{"game":"","finished":false}]})"));

    std::thread writer([record] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        std::ofstream(record, std::ios::app) << ",\"shot\":0}\n";
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        std::ofstream(record, std::ios::app) << "{\"type\":\"result\",\"totals\":[1,0]}\n";
    });
    std::string events;
    auto response =
        client.Get("/api/matches/events?match=live&game=", [&events](const char* data, std::size_t size) {
            events.append(data, size);
            return true;
        });
    writer.join();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->get_header_value("Content-Type"), "text/event-stream");
    EXPECT_EQ(events,
              "data: {\"type\":\"game\",\"game\":1,\"ends\":1}\n\n"
              "data: {\"type\":\"shot\",\"end\":0,\"shot\":0}\n\n"
              "data: {\"type\":\"result\",\"totals\":[1,0]}\n\n");
    list = client.Get("/api/matches");
    EXPECT_EQ(named(json::parse(list->body)["matches"], "live")["games"][0]["finished"], true);
}

// The shot and end lines of a record, without the seconds each choice took.
std::vector<json> PlayedLines(const std::string& record) {
    std::vector<json> lines;
    std::ifstream file(record);
    for (std::string line; std::getline(file, line);) {
        json entry = json::parse(line);
        entry.erase("seconds");
        if (entry["type"] == "shot" || entry["type"] == "end") {
            lines.push_back(entry);
        }
    }
    return lines;
}

TEST_F(StudioApi, TheEngineAgainstItselfPlaysTheGameTheMatchHostPlaysFromTheSameSeed) {
    httplib::Client client = Client();
    auto created =
        client.Post("/api/games", R"({"players":["engine","engine"],"ends":1,"seed":5})", "application/json");
    ASSERT_TRUE(created);
    ASSERT_EQ(created->status, 200) << created->body;
    const json game = json::parse(created->body);
    // The game's events: every line of its record, to the result.
    std::string events;
    auto stream = client.Get(("/api/games/" + game["id"].get<std::string>() + "/events").c_str(),
                             [&events](const char* data, std::size_t size) {
                                 events.append(data, size);
                                 return true;
                             });
    ASSERT_TRUE(stream);
    EXPECT_EQ(events.rfind("data: {\"type\":\"game\"", 0), 0u) << events.substr(0, 200);
    EXPECT_NE(events.find("\"type\":\"result\""), std::string::npos);

    const std::string host = testsupport::MakeTemporaryDirectory() + "/match";
    testsupport::ProcessResult match =
        testsupport::RunProcess(CURLING_MATCH_PATH, {}, {}, 600,
                                {"--ends", "1", "--seed", "5", "--out", host, "--engine", CURLING_ENGINE_PATH,
                                 "--engine", CURLING_ENGINE_PATH});
    ASSERT_EQ(match.exitCode, 0) << match.standardError;
    const std::vector<json> studio =
        PlayedLines(*matches_ + "/" + game["folder"].get<std::string>() + "/record.jsonl");
    const std::vector<json> reference = PlayedLines(host + "/record.jsonl");
    ASSERT_EQ(studio.size(), 17u);
    EXPECT_EQ(studio, reference);
}

TEST_F(StudioApi, APersonThrowsOnlyInTurnAndTheEngineAnswers) {
    httplib::Client client = Client();
    auto created =
        client.Post("/api/games", R"({"players":["person","engine"],"ends":1,"seed":9})", "application/json");
    ASSERT_TRUE(created);
    ASSERT_EQ(created->status, 200) << created->body;
    const std::string path = "/api/games/" + json::parse(created->body)["id"].get<std::string>();
    EXPECT_EQ(json::parse(created->body)["waitingFor"], "person");
    const std::string target = R"({"target":{"x":2.4,"y":4.9,"curl":1}})";
    auto first = client.Post((path + "/shot").c_str(), target, "application/json");
    ASSERT_TRUE(first);
    ASSERT_EQ(first->status, 200) << first->body;
    EXPECT_EQ(json::parse(first->body)["shots"], 1);
    // The engine is choosing: a second stone now is out of turn.
    auto early = client.Post((path + "/shot").c_str(), target, "application/json");
    ASSERT_TRUE(early);
    EXPECT_EQ(early->status, 409);
    EXPECT_NE(early->body.find("the engine's turn"), std::string::npos) << early->body;
    json state;
    for (int polls = 0; polls < 1200; ++polls) {
        state = json::parse(client.Get(path.c_str())->body);
        if (state["waitingFor"] == "person") {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(state["shots"], 2) << state;
    EXPECT_EQ(state["shotNumber"], 2);
    EXPECT_TRUE(state["stones"][1].is_array() || state["stones"][1].is_null());
}

TEST_F(StudioApi, WhatCannotBeServedEndsTheProgramWithOneLineAndCodeTwo) {
    const std::string port = std::to_string(studio_->port);
    struct Case {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"--port", port, "--engine", CURLING_ENGINE_PATH}, "cannot listen on 127.0.0.1 port"},
        {{"--port", "0", "--fast"}, "--fast"},
        {{"--port", "0", "--engine", "/nonexistent/engine"}, "no engine program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[1] + " " + c.arguments[2]);
        testsupport::ProcessResult run =
            testsupport::RunProcess(CURLING_STUDIO_PATH, {}, {}, 60, c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_EQ(run.standardError.rfind("curling-studio: ", 0), 0u) << run.standardError;
        EXPECT_NE(run.standardError.find(c.reason), std::string::npos) << run.standardError;
        EXPECT_EQ(std::count(run.standardError.begin(), run.standardError.end(), '\n'), 1)
            << run.standardError;
    }
}

TEST_F(StudioApi, ThePageAndItsFilesComeFromTheStudioItself) {
    httplib::Client client = Client();
    for (const char* path : {"/", "/index.html", "/studio.js", "/draw.js", "/studio.css"}) {
        SCOPED_TRACE(path);
        auto response = client.Get(path);
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        EXPECT_FALSE(response->body.empty());
        // Nothing is loaded from elsewhere: no address of another server in a link, a source, an import or
        // a style (the SVG namespace is a name, not a load).
        const std::regex elsewhere(
            R"((src|href|action)\s*=\s*["']?\s*(https?:)?//|from\s*["']https?:|url\(\s*["']?https?:)");
        EXPECT_FALSE(std::regex_search(response->body, elsewhere));
    }
    EXPECT_EQ(client.Get("/studio.js")->get_header_value("Content-Type"), "text/javascript; charset=utf-8");
}

}  // namespace
