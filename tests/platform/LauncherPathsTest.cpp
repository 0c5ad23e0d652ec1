#include "platform/LauncherPaths.h"

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

TEST(LauncherPaths, EveryPathBesideTheProgramInTheHostsTexts) {
    const LauncherPaths linux =
        LauncherPaths::For("/games/kestrel", "/home/p/.local/share", "kestrel", HostProfile::Linux64());
    EXPECT_EQ(linux.options_file, "/games/kestrel/KSTfiles/LauncherOptions.ini");
    EXPECT_EQ(linux.client_version_file, "/games/kestrel/KSTfiles/ClientVersion.ini");
    EXPECT_EQ(linux.default_game_folder, "/games/kestrel/.minecraft");
    EXPECT_EQ(linux.updater, "/games/kestrel/Update");
    EXPECT_EQ(linux.media_module, "/games/kestrel/libkestrel_qt_media.so");
    EXPECT_EQ(linux.account_cache, "/home/p/.local/share/Kestrel2/ACCOUNT.cache");

    const LauncherPaths windows =
        LauncherPaths::For("C:\\Games\\Kestrel", "C:\\Users\\p\\AppData\\Local", "Kestrel.exe", HostProfile::Windows64());
    EXPECT_EQ(windows.data_folder, "C:\\Games\\Kestrel\\KSTfiles");
    EXPECT_EQ(windows.updater, "C:\\Games\\Kestrel\\Update.exe");
    EXPECT_EQ(windows.account_cache, "C:\\Users\\p\\AppData\\Local\\Kestrel2\\ACCOUNT.cache");
    EXPECT_EQ(windows.launcher_file, "Kestrel.exe");
}

}  // namespace
}  // namespace kestrel::platform
