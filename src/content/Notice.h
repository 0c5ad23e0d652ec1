#pragma once

// The notice board on the right of the main window, from notice.xml:
//
//   <title>title</title> <content>text</content> <time>when</time>
//
// In the content, a backslash followed by a capital N stands for a line
// break. Without content the whole board is hidden; without a time only the
// time label is.
//
// Threading: a pure function.

#include <string>
#include <string_view>

namespace kestrel::content {

struct NoticeBoard {
    bool visible = false;       // 公告板
    std::string title;          // 公告板_标题 ("公告" when the file names none)
    std::string content;        // 公告板_内容, line breaks as CR LF
    bool time_visible = false;  // 公告板_发布时间
    std::string time_text;      // "发布时间: " and the time
};

NoticeBoard ReadNotice(std::string_view notice_xml);

}  // namespace kestrel::content
