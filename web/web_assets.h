#pragma once

#include <cstddef>
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

}  // namespace web
