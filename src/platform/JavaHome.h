#pragma once

// The operating system's knowledge of installed Java runtimes: where the
// registered Java home is, and which version an installed Java executable is.
// On Windows these are the Java Runtime Environment registry entry and the
// version resource of javaw.exe; on Linux the registered home is $JAVA_HOME,
// else the home of the `java` found on PATH, and the version comes from the
// `release` file that every JDK and JRE keeps in its home.
//
// Every function that reads the environment has a twin that takes the
// environment's values as arguments, so tests never depend on the machine.
//
// Threading: free functions; safe from any thread as long as nobody changes
// the environment meanwhile.

#include <string>
#include <string_view>

namespace kestrel::platform {

// The registered Java home, without a trailing separator; empty when there
// is none. Reads $JAVA_HOME and $PATH.
std::string RegisteredJavaHome();

// The same from given values: java_home when it is not blank, else the home
// of the first `java` on path_list (a ':'-separated list) whose real path ends
// in "/bin/java". Empty and relative entries of the list are skipped: they
// would make the answer depend on the current folder.
std::string RegisteredJavaHome(std::string_view java_home, std::string_view path_list);

// The home of a Java executable: the folder two levels above the executable
// after resolving symbolic links (so /usr/bin/java leads to the real JDK),
// or two levels above the path as given when it cannot be resolved.
std::string JavaHomeOf(const std::string& executable);

// The real path (links resolved) of an existing regular file that may be
// executed; empty when the path is missing, a broken link, a folder or not
// executable.
std::string RealExecutable(const std::string& path);

// The version of a Java executable in the form of a Windows file version:
// numbers joined by ".", major first. Read from JAVA_VERSION of
// <home>/release; the old "1.x" scheme is mapped to the new one, so
// "1.8.0_301" reads as "8.0.301" and "17.0.2" as "17.0.2". Empty when the
// file or the value is missing or does not start with a number.
std::string ExecutableVersion(const std::string& executable);

// The value of a KEY="value" line of a `release` file's text; empty when the
// key is missing or its value is not quoted. Keys are matched whole at the
// start of a line, so JAVA_VERSION never matches JAVA_RUNTIME_VERSION.
std::string ReleaseValue(std::string_view release_text, std::string_view key);

// The version text of a JAVA_VERSION value in file-version form (see
// ExecutableVersion); empty when it does not start with a number.
std::string FileVersionOfJavaVersion(std::string_view java_version);

}  // namespace kestrel::platform
