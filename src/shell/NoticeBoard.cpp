#include "shell/NoticeBoard.h"

#include "content/UpdateFeed.h"
#include "net/HttpSession.h"

namespace kestrel::shell {

void FillNoticeBoard(LauncherContext& ctx, std::stop_token stop) {
    net::HttpOptions options;
    options.cancel = stop;
    const net::HttpSession session(options);
    const content::NoticeBoard notice = content::UpdateFeed(session, ctx.endpoints).Notice();
    if (stop.stop_requested() || !ctx.main_window) return;
    toolkit::Surface& window = *ctx.main_window;
    if (!notice.visible) {
        window.Hide("公告板");
        return;
    }
    window.SetText("公告板_标题", notice.title);
    window.SetText("公告板_内容", notice.content);
    window.SetText("公告板_发布时间", notice.time_text);
    if (!notice.time_visible) window.Hide("公告板_发布时间");
}

}  // namespace kestrel::shell
