// The main window's own events: the version box (filled at start-up and on
// opening its list, saving on a choice), the settings button and closing.

#include "shell/MainWindow.h"

#include <thread>

#include <gtest/gtest.h>

#include "launch/VersionManifests.h"
#include "shell/VersionList.h"
#include "StartUpFixture.h"

namespace kestrel::shell {
namespace {

using testing::StartUpFixture;

void AddVersions(const StartUpFixture& f, std::initializer_list<const char*> ids) {
    for (const char* id : ids) f.folder.MakeFolder(std::string("program/.minecraft/versions/") + id);
}

TEST(VersionList, AtStartUpTheFirstOfThreeVersionsIsSelectedAndShown) {
    StartUpFixture f;
    AddVersions(f, {"1.18.2", "1.12.2-forge", "rd-132211"});
    f.Start(StartUpFixture::QuietHooks());
    ASSERT_TRUE(f.window->WaitUntil([&] { return f.window->Items("版本框").size() == 3; }, std::chrono::seconds(10)));
    ASSERT_TRUE(f.WaitForOverlayAway());
    f.workers.StopAll();

    // The listing order is the game folder's (VersionManifests::Installed).
    const auto listed = launch::VersionManifests(f.Program(".minecraft"), f.host).Installed();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(f.window->Items("版本框"), listed);
    EXPECT_EQ(f.window->Text("版本框"), listed.front());
    EXPECT_EQ(f.window->CurrentIndex("版本框"), 0);
    EXPECT_EQ(f.state.settings.Get().selected_version, listed.front());
    // Selecting it for the player is not a change of theirs: nothing saved.
    EXPECT_EQ(f.Read("KSTfiles/LauncherOptions.ini"), "<missing>");
}

TEST(VersionList, RefreshKeepsTheSelectionAndNeverListsTwice) {
    StartUpFixture f;
    AddVersions(f, {"a", "b"});
    f.state.settings.Update([&](SettingsRecord& r) {
        r.selected_version = "b";
        r.current_game_dir = f.Program(".minecraft");
    });
    RefreshVersionList(f.ctx);
    RefreshVersionList(f.ctx);
    EXPECT_EQ(f.window->Items("版本框").size(), 2u);
    EXPECT_EQ(f.window->Text("版本框"), "b");
    EXPECT_EQ(f.state.settings.Get().selected_version, "b");

    // The list opened after the versions went away: the box is emptied, the
    // selection kept (the launch reports it missing).
    std::filesystem::remove_all(f.Program(".minecraft/versions"));
    WireMainWindow(f.ctx, StartUpFixture::QuietHooks());
    EXPECT_EQ(f.window->Fire("版本框", toolkit::Event::ListOpened), 1);
    ASSERT_TRUE(f.window->WaitUntil([&] { return f.window->Items("版本框").empty(); }, std::chrono::seconds(10)));
    EXPECT_EQ(f.state.settings.Get().selected_version, "b");
}

TEST(VersionList, ChoosingAVersionSavesTheOptions) {
    StartUpFixture f;
    AddVersions(f, {"1.18.2", "1.16.5"});
    f.Start(StartUpFixture::QuietHooks());
    ASSERT_TRUE(f.window->WaitUntil([&] { return f.window->Items("版本框").size() == 2; }, std::chrono::seconds(10)));
    ASSERT_TRUE(f.WaitForOverlayAway());

    toolkit::EventArgs args;
    args.index = 1;
    args.text = f.window->Items("版本框")[1];
    f.window->Fire("版本框", toolkit::Event::ItemSelected, args);
    EXPECT_EQ(f.state.settings.Get().selected_version, args.text);
    // The options saver writes the file on its worker.
    while (!f.state.options_saver.Idle()) std::this_thread::yield();
    const std::string saved = f.Read("KSTfiles/LauncherOptions.ini");
    EXPECT_EQ(saved.rfind("RINKU_SUTAATO=\"" + args.text + "\"\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("Memory=\"4096\""), std::string::npos);
    EXPECT_NE(saved.find("Launcher_Name=\"kestrel\""), std::string::npos);
}

TEST(MainWindow, SettingsButtonCallsItsHookAndClosingEndsTheLauncher) {
    StartUpFixture f;
    StartUpHooks hooks = StartUpFixture::QuietHooks();
    int opened = 0;
    hooks.open_settings_window = [&](LauncherContext& ctx) {
        EXPECT_EQ(&ctx, &f.ctx);
        ++opened;
    };
    f.Start(hooks);
    f.window->Fire("设置按钮", toolkit::Event::Click);
    EXPECT_EQ(opened, 1);

    // Without its hook the button does nothing.
    StartUpFixture g;
    g.Start(StartUpFixture::QuietHooks());
    EXPECT_EQ(g.window->Fire("设置按钮", toolkit::Event::Click), 1);

    f.state.music_playing = true;
    EXPECT_EQ(f.app.QuitCount(), 0);
    EXPECT_TRUE(f.window->CloseByPlayer());
    EXPECT_EQ(f.app.QuitCount(), 1);
    EXPECT_FALSE(f.state.music_playing);
}

}  // namespace
}  // namespace kestrel::shell
