#pragma once

// ProgramFolderChoice decides, once at start, where the launcher keeps its
// KSTfiles/ folder and its default game folder: its program folder.
//
// A portable launcher (unpacked into a folder of its own) keeps them beside
// its executable, as it always has: when that folder is writable and not
// under a system prefix (/usr, /opt, the prefix it was built to be installed
// in, or any prefix laid out as `cmake --install` lays it out, with the
// media module in <prefix>/lib/kestrel), or when a KSTfiles folder is
// already there. An installed launcher cannot write beside its executable,
// so it keeps them in $XDG_DATA_HOME/kestrel (~/.local/share/kestrel when
// that is unset or not an absolute path). The executable's own folder stays
// what the updater, the restart and the media module lookup use.
//
// Threading: ChooseProgramFolder is a pure function; CurrentProgramFolderFacts
// reads the file system and the environment (any thread, as long as nobody
// changes the environment meanwhile).

#include <string>
#include <vector>

namespace kestrel::platform {

// What the choice looks at.
struct ProgramFolderFacts {
    std::string executable_folder;          // the executable's real folder
    bool writable = false;                  // the executable's folder may be written
    bool has_data_folder = false;           // KSTfiles is already beside the executable
    bool installed_layout = false;          // the media module is in ../lib/kestrel
    std::vector<std::string> system_prefixes;  // /usr, /opt, the install prefix
    std::string xdg_data_home;              // $XDG_DATA_HOME ("" when unset)
    std::string home;                       // the user's home folder
};

struct ProgramFolderChoice {
    enum class Mode { kPortable, kInstalled };
    Mode mode = Mode::kPortable;
    std::string program_folder;  // no trailing separator
};

ProgramFolderChoice ChooseProgramFolder(const ProgramFolderFacts& facts);

// The facts of the running executable.
ProgramFolderFacts CurrentProgramFolderFacts();

// Where the media module lies relative to the executable's folder in an
// installed layout ("../lib/kestrel").
std::string InstalledModuleFolderFromExecutable();

}  // namespace kestrel::platform
