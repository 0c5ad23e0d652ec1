#pragma once

// CommandLineBuilder makes the game's command line for a launch plan: the
// complete argument text that follows the Java executable. It checks the
// plan, walks the version's inheritance chain, gathers the JVM arguments (a
// fixed template plus the manifests' `arguments.jvm` entries, or the fixed
// legacy form), the classpath, the main class and the game arguments
// (`arguments.game` or the legacy `minecraftArguments`), substitutes the
// placeholders and appends the window size. It gives either the command line
// or the launcher's error text, never both.
//
// The checks all run, in this order, and the last one that fails is the one
// reported: the player name is empty; the memory is not above 512 MB; no
// file is at the Java path; the Java major version differs from the one the
// manifests require; the selected manifest cannot be read as JSON; no game
// arguments come out of the chain (the last check concerns a manifest that
// was read, so a manifest that is no JSON at all is reported as such).
//
// JVM arguments. When the selected manifest has no `arguments.jvm` the legacy
// form is used: fixed options, -Djava.library.path and -cp. Otherwise the
// template is followed by the `arguments.jvm` entries of every manifest of the
// chain that has them, the root first and the selected version last: a Forge
// or NeoForge child of 1.17 and later carries its module path there and
// cannot start without it. An entry guarded by a rule is taken when the rule
// names this host's system and no system version. An entry that holds a
// blank (Fabric's -DFabricMcEmu) is quoted so that it stays one argument.
//
// Game arguments are those of every manifest of the chain in chain order: the
// string entries of `arguments.game`, or `minecraftArguments`, each added only
// when the gathered text does not hold it yet; legacy chains of more than one
// manifest drop repeated options (see RepeatedOptions.h). A selected version
// in manifest form that also has `minecraftArguments` gets that text last,
// when it is not there yet; a legacy one has it first already and never gets
// it a second time (its options would then all be passed twice).
//
// ${game_assets} is the folder GameAssets.h names: the assets root, or for
// the old versions whose asset index asks for named copies, the folder of
// those copies. When the chain has a logging configuration whose file is
// there (LoggingConfiguration.h), its argument is the last JVM argument,
// just before the main class. Versions without either get the text they
// always had.
//
// Every value the builder puts on the command line stays one argument when
// the line is split by the Windows rules (CommandLine.h): paths, the
// watermark, the player name, the UUID and the token are quoted and escaped
// where they need it. With the Windows host profile and ordinary values the
// text is the one this launcher has always produced.
//
// Nothing is cached: each build reads the chain's manifests once, and the
// classpath is made from the same reading.
//
// Threading: a builder may be used by one thread at a time (its random source
// is shared); build on the launch worker.

#include <string>

#include "launch/LaunchPlan.h"
#include "platform/HostProfile.h"
#include "platform/RandomSource.h"
#include "platform/Result.h"

namespace kestrel::launch {

inline constexpr std::string_view kErrorNoPlayerName = "游戏昵称为空，请检查设置后重试";
inline constexpr std::string_view kErrorMemory = "游戏内存分配错误，请检查设置是否正确";
inline constexpr std::string_view kErrorNoJava = "Java虚拟机不存在，请检查路径是否正常";
inline constexpr std::string_view kErrorJavaVersion = "启动游戏Java要求版本为: Java ";  // + the required version
inline constexpr std::string_view kErrorManifest = "读取游戏Json文件失败，检查Json格式是否正确";
inline constexpr std::string_view kErrorGameArguments = "取游戏Json文件minecraftArguments失败，检查游戏Json文件是否正常";

// The watermark when the plan gives none, and the launcher's name and version
// as the game is told them.
inline constexpr std::string_view kDefaultWatermark = "Tern 2.8.220830-A12";
inline constexpr std::string_view kLauncherName = "Tern";
inline constexpr std::string_view kLauncherVersion = "2.8.220830-A12";

// The game directory of a launch: the game folder, or the version's own
// folder when isolation is on.
std::string GameDirectory(const LaunchPlan& plan, const platform::HostProfile& profile);

class CommandLineBuilder {
public:
    CommandLineBuilder(platform::HostProfile profile, platform::RandomSource& random);

    // The command line without the Java path. The plan's watermark is used as
    // it is (an empty one becomes kDefaultWatermark).
    Result<std::string> Build(const LaunchPlan& plan) const;

    // 32 random digits and upper-case letters: the access token of an account
    // that has none.
    std::string RandomToken() const;

private:
    platform::HostProfile profile_;
    platform::RandomSource& random_;
};

}  // namespace kestrel::launch
