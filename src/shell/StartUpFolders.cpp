#include "shell/StartUpFolders.h"

#include "content/UpdateFeed.h"
#include "platform/Charsets.h"
#include "platform/Files.h"
#include "platform/Utf8.h"
#include "shell/SettingsRecord.h"

namespace kestrel::shell {

namespace {

void WriteReadme(const LauncherContext& ctx, const std::string& folder, std::string_view text) {
    const auto gbk = platform::EncodeCharset(platform::DecodeUtf8(text), "GBK");
    if (!gbk) return;
    // A failed write leaves the old readme (or none); the start goes on. The
    // readme is written again at every start, so it need not wait for the
    // disk.
    (void)platform::WriteFileAtomically(ctx.host.Join(folder, kReadmeName), *gbk, 0644,
                                        platform::Durability::kUnsynced);
}

}  // namespace

std::string BackgroundsFolder(const LauncherContext& ctx) {
    return ctx.host.Join(ctx.paths.data_folder, "Backgrounds");
}

std::string MusicFolder(const LauncherContext& ctx) {
    return ctx.host.Join(ctx.paths.data_folder, "Music");
}

void MakeDataFolders(const LauncherContext& ctx) {
    platform::CreateFolders(ctx.paths.data_folder);
    const std::string backgrounds = BackgroundsFolder(ctx);
    const std::string music = MusicFolder(ctx);
    platform::CreateFolders(backgrounds);
    platform::CreateFolders(music);
    WriteReadme(ctx, backgrounds, kBackgroundsReadme);
    WriteReadme(ctx, music, kMusicReadme);
}

void SetStartUpConstants(LauncherContext& ctx) {
    const std::string client_version = content::ReadClientVersion(ctx.paths);
    const std::string update_base = ctx.endpoints.Base("update");
    const std::string slogans = ctx.endpoints.Base("slogans");
    ctx.state.constants.Update([&](Constants& c) {
        c.launcher_version = std::string(kLauncherVersion);
        c.client_version = client_version;
        c.oauth_client_id = Constants{}.oauth_client_id;
        c.update_base_url = update_base;
        c.slogans_url = slogans;
        c.notice_url = update_base + "notice.xml";
    });
}

}  // namespace kestrel::shell
