#include "bench/support/position_file.h"

#include "front/command_loop.h"
#include "front/engine.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace bench {

namespace {

bool StartsWith(const std::string& line, const char* word) {
    return line.compare(0, std::char_traits<char>::length(word), word) == 0;
}

PositionFile ReadPositionFile(const std::filesystem::path& path) {
    PositionFile file;
    file.name = path.stem().string();
    front::Engine engine;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (StartsWith(line, "#")) {
            file.comment += line.substr(line.size() > 1 && line[1] == ' ' ? 2 : 1) + "\n";
        } else if (StartsWith(line, "POSITION ") || StartsWith(line, "SETSTATE ")) {
            front::HandleCommand(engine, line);
            file.commands += line + "\n";
        }
    }
    file.state = engine.state;
    return file;
}

}  // namespace

std::vector<PositionFile> LoadPositionFiles(const std::string& folder) {
    std::vector<std::filesystem::path> paths;
    try {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".txt") {
                paths.push_back(entry.path());
            }
        }
    } catch (const std::filesystem::filesystem_error&) {
        return {};
    }
    std::sort(paths.begin(), paths.end());
    std::vector<PositionFile> files;
    for (const auto& path : paths) {
        files.push_back(ReadPositionFile(path));
    }
    return files;
}

}  // namespace bench
