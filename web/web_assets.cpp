#include "web/web_assets.h"

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

}  // namespace web
