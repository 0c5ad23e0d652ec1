#include "shell/StartUpOptions.h"

#include "java/JavaDiscovery.h"
#include "java/MemoryAdvisor.h"
#include "shell/OptionsSaver.h"
#include "shell/VersionList.h"

namespace kestrel::shell {

namespace {

std::int32_t MachineRecommendedMemory() {
    return static_cast<std::int32_t>(java::AdviseHeap("64").heap_mb);
}

std::string MachineFirstJava(const platform::HostProfile& host) {
    const auto found = java::DiscoverJava(host);
    return found.empty() ? std::string() : found.front().path;
}

}  // namespace

OptionsFile OptionsFileOf(const LauncherContext& ctx) {
    return OptionsFile(ctx.paths);
}

void SaveOptions(LauncherContext& ctx) {
    ctx.state.settings.Update([&](SettingsRecord& record) { SaveOptionsLater(ctx, record); });
}

void RunOptionsLoader(LauncherContext& ctx, const StartUpHooks& hooks,
                      const std::function<void()>& account_cache_read) {
    const OptionsFile file = OptionsFileOf(ctx);
    const RecommendedMemory recommended =
        hooks.recommended_memory ? hooks.recommended_memory : MachineRecommendedMemory;
    ctx.state.settings.Update([&](SettingsRecord& record) { file.Load(record, recommended); });

    StartVersionListRefresh(ctx);

    if (hooks.read_account_cache) hooks.read_account_cache(ctx);
    if (account_cache_read) account_cache_read();

    // Java discovery reads the disk; it runs outside the record's lock, and
    // only a Java path that is still empty afterwards is filled in.
    if (!ctx.state.settings.Get().java_path.empty()) return;
    const std::string found =
        hooks.first_java_path ? hooks.first_java_path() : MachineFirstJava(ctx.host);
    JavaFill fill;
    ctx.state.settings.Update([&](SettingsRecord& record) {
        fill = OptionsFile::FillInJava(record, [&] { return found; });
    });
    if (fill.outcome == JavaFill::Outcome::kNotFound) {
        ctx.app.ShowMessageBox(std::string(kNoJavaWarning), std::string(kNoJavaCaption),
                               toolkit::MessageIcon::Warning);
    }
}

}  // namespace kestrel::shell
