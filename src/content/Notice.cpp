#include "content/Notice.h"

#include "net/KeyLookup.h"

namespace kestrel::content {

namespace {

std::string WithLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'N') {
            out.append("\r\n");
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

NoticeBoard ReadNotice(std::string_view notice_xml) {
    NoticeBoard board;
    board.content = net::KeyLookup(WithLineBreaks(notice_xml), "<content>", "</content>");
    if (board.content.empty()) return board;
    board.visible = true;
    board.title = net::KeyLookup(notice_xml, "<title>", "</title>");
    if (board.title.empty()) board.title = "公告";
    const std::string time = net::KeyLookup(notice_xml, "<time>", "</time>");
    board.time_visible = !time.empty();
    board.time_text = "发布时间: " + time;
    return board;
}

}  // namespace kestrel::content
