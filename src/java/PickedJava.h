#pragma once

// PickedJava tells whether a file the player picked by hand is a Java that
// can start the game: a regular file with the execute permission that, asked
// as discovery asks a Java (JavaProbe.h: `-XshowSettings:properties
// -version`), ends within a few seconds with status 0 and says which version
// it is. A text file, a file without the execute bit or a
// program that waits for ever is found out when it is picked, not at the
// launch with a misleading message.
//
// Threading: blocking (it runs the program), for a worker; a stop request
// ends the wait within a few tens of milliseconds and ends the program.

#include <chrono>
#include <stop_token>
#include <string>

#include "platform/HostProfile.h"

namespace kestrel::java {

// How long a Java may take to answer `-version`: a cold start on a busy
// machine takes a second or two.
inline constexpr std::chrono::milliseconds kJavaProbeLimit{8000};

// Why the executable is no usable Java, in the words the settings window
// shows after "所选文件不是可用的Java:", or "" when it answered. A program
// still running at the limit is ended.
std::string JavaProbeProblem(const std::string& executable, const platform::HostProfile& profile,
                             std::stop_token stop = {}, std::chrono::milliseconds limit = kJavaProbeLimit);

}  // namespace kestrel::java
