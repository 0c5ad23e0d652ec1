#include "runtimes/JavaChoice.h"

#include <algorithm>

#include "java/JavaVersion.h"

namespace kestrel::runtimes {

JavaChoice ChooseJava(const JavaChoiceInput& input, const std::vector<java::JavaCandidate>& discovered,
                      const std::vector<InstalledRuntime>& installed) {
    const JavaChoice as_chosen{JavaChoice::Kind::kAsChosen, input.chosen_java, {}};
    if (input.given_explicitly || !input.automatic || input.required_major.empty()) return as_chosen;
    const int required = java::JavaMajorNumber(input.required_major);
    if (input.chosen_major == required) return as_chosen;

    const std::string component = input.component.empty() ? std::string(kLegacyComponent) : input.component;
    const auto fits = [&](const java::JavaCandidate& candidate) {
        return java::JavaMajorNumber(candidate.version_label) == required;
    };
    for (const InstalledRuntime& runtime : installed) {
        if (runtime.component != component) continue;
        const auto found = std::find_if(discovered.begin(), discovered.end(), [&](const java::JavaCandidate& c) {
            return c.path == runtime.java && fits(c);
        });
        if (found != discovered.end()) return {JavaChoice::Kind::kDiscovered, found->path, {}};
    }
    const auto found = std::find_if(discovered.begin(), discovered.end(), fits);
    if (found != discovered.end()) return {JavaChoice::Kind::kDiscovered, found->path, {}};
    return {JavaChoice::Kind::kDownload, {}, component};
}

}  // namespace kestrel::runtimes
