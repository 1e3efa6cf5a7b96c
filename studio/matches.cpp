#include "studio/matches.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace studio {

namespace fs = std::filesystem;

namespace {

constexpr const char* RecordName = "record.jsonl";

// One plain name within a folder: no separator, no dot-folder, nothing a path could climb out with.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name.size() <= 255 && name[0] != '.' &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// Whether the record's last line is the game's result.
bool Finished(const fs::path& record) {
    std::FILE* file = std::fopen(record.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char tail[4096];
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    const long start = size > static_cast<long>(sizeof(tail)) ? size - static_cast<long>(sizeof(tail)) : 0;
    std::fseek(file, start, SEEK_SET);
    const std::size_t read = std::fread(tail, 1, sizeof(tail), file);
    std::fclose(file);
    const std::string text(tail, read);
    const std::size_t lastLine = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
    return text.find("\"type\":\"result\"", lastLine == std::string::npos ? 0 : lastLine) !=
           std::string::npos;
}

nlohmann::json GamesJson(const fs::path& folder) {
    nlohmann::json games = nlohmann::json::array();
    if (IsFile(folder / RecordName)) {
        games.push_back({{"game", ""}, {"finished", Finished(folder / RecordName)}});
    }
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("game-", 0) == 0 && IsFile(it->path() / RecordName)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        games.push_back({{"game", name}, {"finished", Finished(folder / name / RecordName)}});
    }
    return games;
}

}  // namespace

nlohmann::json MatchListJson(const std::string& root) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (IsPlainName(it->path().filename().string()) && it->is_directory(kind)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    nlohmann::json matches = nlohmann::json::array();
    for (const std::string& name : names) {
        nlohmann::json games = GamesJson(fs::path(root) / name);
        if (!games.empty()) {
            matches.push_back({{"name", name}, {"games", std::move(games)}});
        }
    }
    return {{"matches", std::move(matches)}};
}

bool FindRecord(const std::string& root, const std::string& match, const std::string& game, std::string& path,
                ApiReply& refusal) {
    if (!IsPlainName(match) || (!game.empty() && !IsPlainName(game))) {
        refusal = ErrorReply(403, "the match name lies outside the matches folder");
        return false;
    }
    std::error_code error;
    const fs::path base = fs::canonical(root, error);
    if (error) {
        refusal = ErrorReply(404, "there is no matches folder " + root);
        return false;
    }
    const fs::path wanted = game.empty() ? base / match / RecordName : base / match / game / RecordName;
    const fs::path found = fs::canonical(wanted, error);
    if (error || !IsFile(found)) {
        refusal = ErrorReply(404, "no such game: " + match + (game.empty() ? "" : "/" + game));
        return false;
    }
    // A link within the folder may still point out of it.
    const std::string inside = base.string() + "/";
    if (found.string().compare(0, inside.size(), inside) != 0) {
        refusal = ErrorReply(403, "the match name lies outside the matches folder");
        return false;
    }
    path = found.string();
    return true;
}

std::vector<std::string> ReadNewLines(const std::string& path, long long& offset, std::size_t limit) {
    std::vector<std::string> lines;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return lines;
    }
    // Only what was added since the last read, so that a watcher polling an idle game reads nothing.
    std::string bytes;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long long size = std::ftell(file);
        if (size > offset && std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0) {
            bytes.resize(
                static_cast<std::size_t>(std::min<long long>(size - offset, static_cast<long long>(limit))));
            bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file));
        }
    }
    std::fclose(file);
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    offset += static_cast<long long>(start);
    return lines;
}

}  // namespace studio
