// Where a launcher keeps KSTfiles and its default game folder: beside the
// executable (portable) or in the user's data folder (installed).

#include <gtest/gtest.h>

#include <string>

#include "platform/LauncherPaths.h"
#include "platform/ProgramFolderChoice.h"

namespace kestrel::platform {
namespace {

using Mode = ProgramFolderChoice::Mode;

TEST(ProgramFolderChoice, PortableBesideTheExecutableElseInTheUsersDataFolder) {
    struct Case {
        const char* what;
        std::string executable_folder;
        bool writable, has_data_folder, installed_layout;
        std::string xdg_data_home;
        Mode mode;
        std::string program_folder;
    };
    const std::string home = "/home/player";
    const Case cases[] = {
        {"a writable folder of its own", "/home/player/Kestrel", true, false, false, "", Mode::kPortable,
         "/home/player/Kestrel"},
        {"a read-only folder", "/media/cd/Kestrel", false, false, false, "/home/player/data", Mode::kInstalled,
         "/home/player/data/kestrel"},
        {"the system's programs", "/usr/bin", false, false, false, "", Mode::kInstalled,
         "/home/player/.local/share/kestrel"},
        {"a system prefix that root can write", "/usr/local/bin", true, false, false, "", Mode::kInstalled,
         "/home/player/.local/share/kestrel"},
        {"below /opt", "/opt/kestrel/bin", true, false, false, "", Mode::kInstalled,
         "/home/player/.local/share/kestrel"},
        {"the install prefix", "/srv/games/bin", true, false, false, "", Mode::kInstalled,
         "/home/player/.local/share/kestrel"},
        {"a name that only begins like a prefix", "/usrdata/Kestrel", true, false, false, "", Mode::kPortable,
         "/usrdata/Kestrel"},
        {"an installed layout in the user's own prefix", "/home/player/.local/bin", true, false, true, "",
         Mode::kInstalled, "/home/player/.local/share/kestrel"},
        {"an existing KSTfiles in a system prefix", "/opt/kestrel", false, true, false, "", Mode::kPortable,
         "/opt/kestrel"},
        {"an existing KSTfiles in a read-only folder", "/media/cd/Kestrel", false, true, false, "",
         Mode::kPortable, "/media/cd/Kestrel"},
        {"XDG_DATA_HOME with a trailing separator", "/usr/bin", false, false, false, "/xdg/", Mode::kInstalled,
         "/xdg/kestrel"},
        {"a relative XDG_DATA_HOME, which does not count", "/usr/bin", false, false, false, "data",
         Mode::kInstalled, "/home/player/.local/share/kestrel"},
    };
    for (const Case& c : cases) {
        ProgramFolderFacts facts;
        facts.executable_folder = c.executable_folder;
        facts.writable = c.writable;
        facts.has_data_folder = c.has_data_folder;
        facts.installed_layout = c.installed_layout;
        facts.system_prefixes = {"/usr", "/opt", "/srv/games/"};
        facts.xdg_data_home = c.xdg_data_home;
        facts.home = home;
        const ProgramFolderChoice choice = ChooseProgramFolder(facts);
        EXPECT_EQ(choice.mode, c.mode) << c.what;
        EXPECT_EQ(choice.program_folder, c.program_folder) << c.what;
    }
}

// An installed launcher keeps its data in its program folder, but starts
// the updater and itself, and finds its media module, from where its
// executable lies.
TEST(ProgramFolderChoice, TheExecutablesFolderKeepsWhatBelongsToTheProgram) {
    const auto paths = LauncherPaths::For("/home/p/.local/share/kestrel", "/usr/bin", "/home/p/.local/share",
                                          "kestrel", HostProfile::Current());
    EXPECT_EQ(paths.options_file, "/home/p/.local/share/kestrel/KSTfiles/LauncherOptions.ini");
    EXPECT_EQ(paths.default_game_folder, "/home/p/.local/share/kestrel/.minecraft");
    EXPECT_EQ(paths.account_cache, "/home/p/.local/share/Kestrel2/ACCOUNT.cache");
    EXPECT_EQ(paths.updater, "/usr/bin/Update");
    EXPECT_EQ(paths.media_module, "/usr/bin/libkestrel_qt_media.so");
    EXPECT_EQ(paths.installed_media_module,
              "/usr/bin/" + InstalledModuleFolderFromExecutable() + "/libkestrel_qt_media.so");
    EXPECT_EQ(paths.executable_folder, "/usr/bin");
}

}  // namespace
}  // namespace kestrel::platform
