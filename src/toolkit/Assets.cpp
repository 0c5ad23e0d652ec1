#include "toolkit/Assets.h"

#include <array>
#include <utility>

#include "toolkit/EmbeddedFile.h"

// Each file is built into the program (EmbeddedFile.h).
#define KESTREL_ASSET(symbol, file) KESTREL_EMBED_FILE(symbol, KESTREL_ASSETS_DIR "/" file)

KESTREL_ASSET(kestrel_asset_background, "background.jpg");
KESTREL_ASSET(kestrel_asset_badge_authlib, "badge-authlib.png");
KESTREL_ASSET(kestrel_asset_badge_microsoft, "badge-microsoft.png");
KESTREL_ASSET(kestrel_asset_badge_mojang, "badge-mojang.png");
KESTREL_ASSET(kestrel_asset_badge_offline, "badge-offline.png");
KESTREL_ASSET(kestrel_asset_icon, "icon.png");
KESTREL_ASSET(kestrel_asset_launch, "launch.wav");
KESTREL_ASSET(kestrel_asset_logo, "logo.png");
KESTREL_ASSET(kestrel_asset_overlay, "overlay.png");
KESTREL_ASSET(kestrel_asset_server_icon, "server-icon.png");
KESTREL_ASSET(kestrel_asset_skin, "skin.png");
KESTREL_ASSET(kestrel_asset_update_failed, "update-failed.png");

namespace kestrel::toolkit {
namespace {

struct Entry {
    std::string_view name;
    const char* begin;
    const char* end;
};

const std::array kEntries = {
    Entry{"background.jpg", kestrel_asset_background_begin, kestrel_asset_background_end},
    Entry{"badge-authlib.png", kestrel_asset_badge_authlib_begin, kestrel_asset_badge_authlib_end},
    Entry{"badge-microsoft.png", kestrel_asset_badge_microsoft_begin, kestrel_asset_badge_microsoft_end},
    Entry{"badge-mojang.png", kestrel_asset_badge_mojang_begin, kestrel_asset_badge_mojang_end},
    Entry{"badge-offline.png", kestrel_asset_badge_offline_begin, kestrel_asset_badge_offline_end},
    Entry{"icon.png", kestrel_asset_icon_begin, kestrel_asset_icon_end},
    Entry{"launch.wav", kestrel_asset_launch_begin, kestrel_asset_launch_end},
    Entry{"logo.png", kestrel_asset_logo_begin, kestrel_asset_logo_end},
    Entry{"overlay.png", kestrel_asset_overlay_begin, kestrel_asset_overlay_end},
    Entry{"server-icon.png", kestrel_asset_server_icon_begin, kestrel_asset_server_icon_end},
    Entry{"skin.png", kestrel_asset_skin_begin, kestrel_asset_skin_end},
    Entry{"update-failed.png", kestrel_asset_update_failed_begin, kestrel_asset_update_failed_end},
};

}  // namespace

std::string_view Asset(std::string_view file_name) {
    for (const auto& entry : kEntries) {
        if (entry.name == file_name) {
            return std::string_view(entry.begin, static_cast<std::size_t>(entry.end - entry.begin));
        }
    }
    return {};
}

}  // namespace kestrel::toolkit
