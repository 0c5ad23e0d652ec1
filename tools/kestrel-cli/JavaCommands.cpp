// kestrel-cli java, memory: the discovered Java runtimes and the memory
// figures with the recommended heap sizes.

#include <ostream>

#include "Command.h"
#include "java/JavaDiscovery.h"
#include "java/MemoryAdvisor.h"

namespace kestrel::cli {

namespace {

int ListJava(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.positional().empty()) return UsageError(context);
    const std::vector<java::JavaCandidate> candidates = java::DiscoverJava(context.profile, context.game_dir);
    if (candidates.empty()) {
        context.err << java::kJavaNotFoundInSettings << "\n";
        return kFailed;
    }
    for (const java::JavaCandidate& candidate : candidates) {
        context.out << candidate.version_label << "\t" << candidate.bitness_label << "\t" << candidate.path << "\n";
    }
    return kDone;
}

int Memory(const CliArguments& arguments, const CliContext& context) {
    if (!arguments.positional().empty()) return UsageError(context);
    const platform::MemoryInfo figures = platform::MemoryFigures();
    const java::HeapAdvice advice64 = java::AdviseHeap("64", figures);
    const java::HeapAdvice advice32 = java::AdviseHeap("32", figures);
    context.out << "total: " << advice64.total_visible_mb << "\n"
                << "free: " << advice64.free_physical_mb << "\n"
                << "recommended64: " << advice64.heap_mb << "\n"
                << "recommended32: " << advice32.heap_mb << "\n";
    return kDone;
}

}  // namespace

std::vector<Command> JavaCommands() {
    return {
        {"java", "", ListJava},
        {"memory", "", Memory},
    };
}

}  // namespace kestrel::cli
