#include "java/JavaProbe.h"

#include "java/JavaDiscovery.h"
#include "java/JavaVersion.h"
#include "platform/JavaHome.h"
#include "platform/Text.h"

namespace kestrel::java {

using platform::Trim;

JavaFacts ParseJavaSettings(std::string_view output) {
    JavaFacts facts;
    std::string version_line_value;
    std::size_t start = 0;
    while (start < output.size()) {
        auto end = output.find('\n', start);
        if (end == std::string_view::npos) end = output.size();
        const std::string_view line = output.substr(start, end - start);
        start = end + 1;

        // A property line is indented by four blanks and holds " = "; a
        // list-valued property continues on more deeply indented lines, whose
        // text (a path may hold " = ") is never a key.
        if (line.starts_with("    ")) {
            if (line.size() > 4 && line[4] == ' ') continue;
            const auto equals = line.find(" = ");
            if (equals == std::string_view::npos) continue;
            const std::string_view key = Trim(line.substr(0, equals));
            const std::string value(Trim(line.substr(equals + 3)));
            if (key == "java.version") facts.java_version = value;
            else if (key == "os.arch") facts.os_arch = value;
            else if (key == "sun.arch.data.model") facts.data_model = value;
            continue;
        }
        // `openjdk version "17.0.10" 2024-01-16` (or `java version "1.8.0_402"`).
        const auto marker = line.find(" version \"");
        if (marker != std::string_view::npos && version_line_value.empty()) {
            const std::string_view rest = line.substr(marker + 10);
            const auto quote = rest.find('"');
            if (quote != std::string_view::npos) version_line_value = std::string(rest.substr(0, quote));
        }
    }
    if (facts.java_version.empty()) facts.java_version = version_line_value;
    return facts;
}

Result<platform::ProgramRun> AskJava(const std::string& executable, const platform::ProgramLimits& limits,
                                     std::stop_token stop) {
    return platform::RunProgram(executable, {"-XshowSettings:properties", "-version"}, limits, std::move(stop));
}

JavaFacts ProbeJava(const std::string& executable, const platform::ProgramLimits& limits) {
    const Result<platform::ProgramRun> run = AskJava(executable, limits);
    if (!run || run->end != platform::ProgramEnd::kEnded) return {};
    return ParseJavaSettings(run->output);
}

std::string BitnessOfFacts(const JavaFacts& facts) {
    if (facts.data_model == "64" || facts.data_model == "32") return facts.data_model;
    return BitnessOfArch(facts.os_arch);
}

std::string MajorOfJavaVersion(std::string_view java_version) {
    const std::string version = platform::FileVersionOfJavaVersion(java_version);
    return version.substr(0, version.find('.'));
}

}  // namespace kestrel::java
