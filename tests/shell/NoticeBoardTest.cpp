#include "shell/NoticeBoard.h"

#include <gtest/gtest.h>

#include <thread>

#include "shell/ContentWiringFixture.h"

namespace kestrel::shell {
namespace {

using testing::ContentLauncher;

TEST(NoticeBoard, EachFormOfNoticeXml) {
    const struct Case {
        const char* name;
        const char* notice;  // nullptr: the file is missing (404)
        bool board;
        std::string title;
        std::string content;
        bool time;
        std::string time_text;
    } cases[] = {
        {"two line breaks give three lines",
         "<title>更新公告</title><content>第一行\\N第二行\\N第三行</content><time>2026-12-01</time>", true, "更新公告",
         "第一行\r\n第二行\r\n第三行", true, "发布时间: 2026-12-01"},
        {"without content the board goes, title or not", "<title>更新公告</title><time>2026-12-01</time>", false, "",
         "", true, ""},
        {"without a time only the time label goes", "<title>T</title><content>C</content>", true, "T", "C", false,
         "发布时间: "},
        {"without a title it is 公告", "<content>C</content><time>today</time>", true, "公告", "C", true,
         "发布时间: today"},
        {"a failed download hides the board", nullptr, false, "", "", true, ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ContentLauncher launcher;
        if (test.notice) launcher.Serve("/launcher/notice.xml", test.notice);
        toolkit::MemorySurface& window = launcher.window();
        const std::string designed_title = window.Text("公告板_标题");
        const std::string designed_content = window.Text("公告板_内容");

        FillNoticeBoard(launcher.ctx(), {});

        EXPECT_EQ(window.Visible("公告板"), test.board);
        if (test.board) {
            EXPECT_EQ(window.Text("公告板_标题"), test.title);
            EXPECT_EQ(window.Text("公告板_内容"), test.content);
            EXPECT_EQ(window.Text("公告板_发布时间"), test.time_text);
        } else {
            EXPECT_EQ(window.Text("公告板_标题"), designed_title);
            EXPECT_EQ(window.Text("公告板_内容"), designed_content);
        }
        EXPECT_EQ(window.Visible("公告板_发布时间"), test.time);
        EXPECT_TRUE(window.Problems().empty());
    }
}

TEST(NoticeBoard, AStopEndsAHangingDownloadAndLeavesTheBoardAlone) {
    ContentLauncher launcher;
    testing::SilentServer silent;
    launcher.Point("update", silent.Url("/launcher/"));
    launcher.window().ClearChanges();
    std::stop_source stop;
    std::jthread worker([&] { FillNoticeBoard(launcher.ctx(), stop.get_token()); });
    ASSERT_TRUE(testing::Eventually([&] { return silent.connections() > 0; }));
    stop.request_stop();
    worker.join();
    EXPECT_TRUE(launcher.window().Visible("公告板"));
    EXPECT_TRUE(launcher.window().Changes().empty());
}

}  // namespace
}  // namespace kestrel::shell
