#include "LoaderInstallRun.h"

#include <ostream>

#include "ProgressLine.h"

namespace kestrel::cli {

int RunLoaderInstall(const install::InstallSettings& settings, const install::LoaderRequest& request,
                     const CliContext& context) {
    ProgressLine line(context.err);
    const Result<std::string> id = install::InstallLoader(
        settings, request, {}, [&](const install::InstallProgress& progress) { line.Show(progress); });
    line.Finish();
    if (!id) {
        context.err << id.error() << "\n";
        return kFailed;
    }
    context.out << id.value() << "\n";
    return kDone;
}

}  // namespace kestrel::cli
