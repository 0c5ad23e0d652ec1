#include "install/RewrittenFetch.h"

namespace kestrel::install {

RewrittenReply FetchRewritten(const net::HttpSession& session, const std::string& official_url,
                              const net::UrlRewriter& rewriter) {
    RewrittenReply fetched;
    fetched.url = rewriter.Rewrite(official_url);
    fetched.reply = session.DownloadReply(fetched.url);
    if (fetched.reply.failure.failed() && fetched.reply.failure.kind != net::FailureKind::kCancelled) {
        const std::string official = rewriter.Official(official_url);
        if (official != fetched.url) {
            fetched.url = official;
            fetched.reply = session.DownloadReply(official);
        }
    }
    return fetched;
}

}  // namespace kestrel::install
