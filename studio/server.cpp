#include "studio/server.h"

#include "platform/interrupt.h"
#include "platform/shared_library.h"
#include "studio/analysis.h"
#include "studio/handlers.h"
#include "studio/matches.h"
#include "studio/options.h"
#include "studio/requests.h"
#include "studio/simulate.h"
#include "web/web_assets.h"

#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace studio {

namespace {

// Analyses that may wait behind the one that runs before further ones are turned away.
constexpr int AnalysisQueueLength = 4;
// Connections served at once: each watcher of a live game holds one for as long as it watches.
constexpr std::size_t ConnectionThreads = 32;
constexpr auto WatchPoll = std::chrono::milliseconds(200);
constexpr int KeepAlivePolls = 25;  // a comment line this often tells a watcher that went away

struct Studio {
    explicit Studio(const StudioOptions& chosen) : options(chosen), games(chosen.matches, chosen.engine) {}

    StudioOptions options;
    Analyser analyser{AnalysisQueueLength};
    GameTable games;
};

// With a charset the type is not one the HTTP library compresses: it would brotli every answer for a
// browser that accepts it, some 100 ms for an analysis, to save bytes on what is mostly a loopback.
constexpr const char* JsonType = "application/json; charset=utf-8";

void Send(httplib::Response& response, const ApiReply& reply) {
    response.status = reply.status;
    response.set_content(reply.body, JsonType);
}

// Follows a game's record, one event per line, for as long as the watcher stays and the game goes on.
void StreamRecord(const std::string& path, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    auto offset = std::make_shared<long long>(0);
    response.set_chunked_content_provider(
        "text/event-stream", [path, offset](std::size_t, httplib::DataSink& sink) {
            for (int polls = 0;; ++polls) {
                for (const std::string& line : ReadNewLines(path, *offset)) {
                    const std::string event = "data: " + line + "\n\n";
                    if (!sink.write(event.data(), event.size())) {
                        return false;
                    }
                    if (line.find("\"type\":\"result\"") != std::string::npos) {
                        sink.done();
                        return true;
                    }
                }
                if (polls % KeepAlivePolls == KeepAlivePolls - 1 && !sink.write(": waiting\n\n", 11)) {
                    return false;
                }
                std::this_thread::sleep_for(WatchPoll);
            }
        });
}

void RouteGames(httplib::Server& server, Studio& studio) {
    server.Post("/api/games", [&studio](const httplib::Request& request, httplib::Response& response) {
        Send(response, CreateGameReply(studio.games, request.body));
    });
    server.Get(R"(/api/games/(\d+))",
               [&studio](const httplib::Request& request, httplib::Response& response) {
                   Send(response, studio.games.State(request.matches[1]));
               });
    server.Post(R"(/api/games/(\d+)/shot)",
                [&studio](const httplib::Request& request, httplib::Response& response) {
                    Send(response, PersonShotReply(studio.games, request.matches[1], request.body));
                });
    server.Get(R"(/api/games/(\d+)/events)",
               [&studio](const httplib::Request& request, httplib::Response& response) {
                   std::string path;
                   ApiReply refusal;
                   if (!studio.games.RecordPath(request.matches[1], path, refusal)) {
                       Send(response, refusal);
                       return;
                   }
                   StreamRecord(path, response);
               });
}

void Route(httplib::Server& server, Studio& studio) {
    RouteGames(server, studio);
    server.Post("/api/analyse", [&studio](const httplib::Request& request, httplib::Response& response) {
        Send(response, AnalyseReply(studio.analyser, request.body));
    });
    server.Get("/api/analyse/progress", [&studio](const httplib::Request&, httplib::Response& response) {
        Send(response, ProgressReply(studio.analyser));
    });
    server.Post("/api/simulate", [](const httplib::Request& request, httplib::Response& response) {
        Send(response, SimulateReply(request.body));
    });
    server.Get("/api/matches", [&studio](const httplib::Request&, httplib::Response& response) {
        Send(response, JsonReply(MatchListJson(studio.options.matches)));
    });
    server.Get("/api/matches/events",
               [&studio](const httplib::Request& request, httplib::Response& response) {
                   std::string path;
                   ApiReply refusal;
                   if (!FindRecord(studio.options.matches, request.get_param_value("match"),
                                   request.get_param_value("game"), path, refusal)) {
                       Send(response, refusal);
                       return;
                   }
                   StreamRecord(path, response);
               });
    for (const char* path : {"/api/analyse", "/api/simulate", "/api/games"}) {
        server.Get(path, [](const httplib::Request&, httplib::Response& response) {
            Send(response, ErrorReply(405, "this path takes POST"));
        });
    }
    server.Get("/[^/]*", [](const httplib::Request& request, httplib::Response& response) {
        const web::Asset* asset = web::FindAsset(request.path);
        if (asset == nullptr) {
            Send(response, ErrorReply(404, "there is nothing at " + request.path));
            return;
        }
        response.set_content(asset->bytes.data(), asset->bytes.size(),
                             std::string(asset->contentType).c_str());
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            Send(response, ErrorReply(response.status, StatusReason(response.status)));
        }
    });
}

std::string ExecutableFolder() {
    const std::string folder = platform::ExecutableDirectory();
    return folder.empty() ? "." : folder;
}

}  // namespace

int RunStudio(const std::vector<std::string>& arguments) {
    StudioOptions chosen;
    std::string error;
    if (!ParseStudioOptions(arguments, ExecutableFolder() + "/curling-engine", chosen, error)) {
        std::fprintf(stderr, "curling-studio: %s\n", error.c_str());
        return 2;
    }
    if (chosen.help) {
        std::printf("%s", chosen.helpText.c_str());
        return 0;
    }
    auto studio = std::make_unique<Studio>(chosen);
    const StudioOptions& options = studio->options;
    signal(SIGPIPE, SIG_IGN);  // a client that goes away is no reason to stop
    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(ConnectionThreads); };
    server.set_payload_max_length(MaxBodyBytes);
    // A reply's head and body go out in separate writes: held back for the client's delayed
    // acknowledgement, each answer reached the page a good part of a second late.
    server.set_tcp_nodelay(true);
    // The library's default also shares the port with any other program that asks (SO_REUSEPORT), so a
    // second studio would start silently on a port in use; only a quick restart's rebinding is wanted.
    server.set_socket_options([](int socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    Route(server, *studio);
    int port = options.port;
    const bool bound = port == 0 ? (port = server.bind_to_any_port(options.host)) > 0
                                 : server.bind_to_port(options.host, port);
    if (!bound) {
        std::fprintf(stderr, "curling-studio: cannot listen on %s port %d (in use, or not an address here)\n",
                     options.host.c_str(), options.port);
        return 2;
    }
    if (ListensBeyondLoopback(options.host)) {
        std::fprintf(stderr,
                     "curling-studio: warning: listening on %s; the API has no login, so anyone who reaches "
                     "this address can use it\n",
                     options.host.c_str());
    }
    platform::ExitOnInterrupt("\ncurling-studio: stopped\n", 0);
    studio->analyser.Prepare();
    const bool bracket = options.host.find(':') != std::string::npos;
    std::printf("curling-studio: serving http://%s%s%s:%d/ (Ctrl-C stops it)\n", bracket ? "[" : "",
                options.host.c_str(), bracket ? "]" : "", port);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}

}  // namespace studio
