#pragma once

// CliArguments splits kestrel-cli's argument vector into the command, its
// positional arguments and its options. An option is "--name value", except
// the flags listed in kFlags, which take no value. Options may stand anywhere
// after the program name.
//
// Threading: a plain value.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::cli {

class CliArguments {
public:
    // Options that take no value.
    static const std::vector<std::string> kFlags;

    // Fails (returns nothing) when an option lacks its value.
    static std::optional<CliArguments> Parse(int argc, char** argv, std::string& problem);

    const std::string& command() const { return command_; }
    const std::vector<std::string>& positional() const { return positional_; }

    bool Has(const std::string& option) const { return options_.count(option) != 0; }
    std::string Get(const std::string& option, const std::string& fallback = "") const;
    // Gives an option that was given another value; an option that was not
    // given stays absent.
    void Replace(const std::string& option, std::string value);

private:
    std::string command_;
    std::vector<std::string> positional_;
    std::map<std::string, std::string> options_;
};

}  // namespace kestrel::cli
