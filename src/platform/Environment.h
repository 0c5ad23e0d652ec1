#pragma once

// Reading the launcher's environment variables, which decide where the
// launcher's folders and the machine's Java runtimes are.
//
// Threading: a free function; safe from any thread as long as nobody changes
// the environment meanwhile.

#include <string>

namespace kestrel::platform {

// The value of the variable; empty when it is not set.
std::string EnvironmentValue(const char* name);

}  // namespace kestrel::platform
