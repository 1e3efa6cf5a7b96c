#include "web/web_assets.h"

#include <cassert>

namespace web {

const Asset* FindAsset(std::string_view path) {
    if (path == "/") {
        path = "/index.html";
    }
    for (std::size_t i = 0; i < EmbeddedAssetCount; ++i) {
        if (EmbeddedAssets[i].path == path) {
            return &EmbeddedAssets[i];
        }
    }
    return nullptr;
}

std::string_view AssetText(std::string_view path) {
    const Asset* asset = FindAsset(path);
    assert(asset != nullptr);
    return asset != nullptr ? asset->bytes : std::string_view();
}

std::string ClassicScript(std::initializer_list<std::string_view> paths) {
    std::string script = "(function () {\n'use strict';\n";
    for (std::string_view path : paths) {
        std::string_view text = AssetText(path);
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (line.rfind("import ", 0) == 0) {
                continue;
            }
            if (line.rfind("export ", 0) == 0) {
                line.remove_prefix(7);
            }
            script.append(line).push_back('\n');
        }
    }
    return script + "})();\n";
}

}  // namespace web
