#include "shell/SloganLine.h"

#include "content/Slogans.h"
#include "content/UpdateFeed.h"
#include "net/HttpSession.h"

namespace kestrel::shell {

namespace {

constexpr const char* kSloganLine = "副标题";

}  // namespace

void LoadSlogans(LauncherContext& ctx, std::stop_token stop) {
    if (ctx.main_window) ctx.main_window->SetText(kSloganLine, std::string(content::kFallbackSlogan));
    net::HttpOptions options;
    options.cancel = stop;
    const net::HttpSession session(options);
    std::vector<std::string> slogans = content::UpdateFeed(session, ctx.endpoints).Slogans();
    if (stop.stop_requested()) return;
    const bool any = !slogans.empty();
    ctx.state.slogans.Set(std::move(slogans));
    if (any) ShowRandomSlogan(ctx);
}

void ShowRandomSlogan(LauncherContext& ctx) {
    // The text is also written under the lock, so the line ends with the
    // slogan of the last draw.
    ctx.state.slogans.Update([&ctx](const std::vector<std::string>& slogans) {
        const std::string slogan = content::PickSlogan(slogans, ctx.random);
        if (ctx.main_window) ctx.main_window->SetText(kSloganLine, slogan);
    });
}

}  // namespace kestrel::shell
