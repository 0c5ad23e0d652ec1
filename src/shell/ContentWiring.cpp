#include "shell/ContentWiring.h"

#include "shell/SloganLine.h"
#include "shell/UpdateState.h"

namespace kestrel::shell {

void WireContent(LauncherContext& ctx) {
    if (!ctx.main_window) return;
    ctx.main_window->On("副标题", toolkit::Event::Click, [&ctx](const toolkit::EventArgs&) {
        ctx.workers.Start([&ctx](std::stop_token) { ShowRandomSlogan(ctx); });
    });
    ctx.main_window->On("版本号显示", toolkit::Event::Click,
                        [&ctx](const toolkit::EventArgs&) { OnVersionLabelClick(ctx); });
}

}  // namespace kestrel::shell
