#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// The page's files (HTML, scripts, style), built into the programs that serve them, so that nothing is
// read from the disk or fetched from elsewhere at run time.
namespace web {

struct Asset {
    std::string_view path;  // "/index.html"
    std::string_view contentType;
    std::string_view bytes;
};

extern const Asset EmbeddedAssets[];
extern const std::size_t EmbeddedAssetCount;

// The file served at `path`, or null; "/" is the studio's page.
const Asset* FindAsset(std::string_view path);

// The text of a file that must exist (a page built from the files asks only for its own).
std::string_view AssetText(std::string_view path);

// Modules as one classic script, for a page opened from a file, where modules cannot load one another:
// in the order given, each import line dropped and each export made a plain declaration, all within one
// function's scope. The modules must import in single lines.
std::string ClassicScript(std::initializer_list<std::string_view> paths);

}  // namespace web
