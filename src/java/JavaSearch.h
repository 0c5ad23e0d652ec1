#pragma once

// Java discovery on Linux. Runtimes live in many places there, and the
// player expects every one of them in the Java box:
//
//  1. $JAVA_HOME;
//  2. the home of the `java` on PATH (the real path, so /usr/bin/java leads
//     to the JDK it stands for);
//  3. the other runtimes beside those two homes;
//  4. /usr/lib/jvm/*, /usr/java/*, /opt/*, ~/.sdkman/candidates/java/*,
//     ~/.jdks/*, ~/.gradle/jdks/*;
//  5. the runtimes the launcher installed:
//     <game folder>/runtime/<component>/<platform>/<component>, once their
//     install has finished (<platform>/.version exists).
//
// A home counts when <home>/bin/java is an executable regular file. The
// folders of one place are taken in name order (platform::ListFolders),
// hidden ones skipped, so the order is the same on every run; a runtime
// reached twice (the `java-1.17.0-openjdk-amd64` link beside
// `java-17-openjdk-amd64`, sdkman's `current`, $JAVA_HOME and the PATH
// naming one JDK) is offered once, where it was first reached, since the
// real paths of the executables are compared. So the first candidate is the
// one the player registered, which is what start-up picks when no Java is set.
//
// Version and bitness come from the home's `release` file (JAVA_VERSION,
// OS_ARCH); the release file of the executable's real home stands in (a Java
// 8 JDK whose bin/java links into jre/). When either is missing there, the
// executable is asked itself (ProbeJava, with a time limit). A runtime that
// says nothing is still offered, with the labels kVersionUnknown and
// kBitsUnknown.
//
// Every place comes in through JavaSearchPlaces, so tests search a fake tree.
//
// Threading: a free function reading the file system and starting the
// probes; safe from any thread. It can take as long as a probe's time limit
// per runtime without a release file, so callers run it off the window's
// thread.

#include <string>
#include <vector>

#include "java/JavaDiscovery.h"
#include "platform/ProgramOutput.h"

namespace kestrel::java {

struct JavaSearchPlaces {
    std::string java_home;    // $JAVA_HOME; blank: none
    std::string path_list;    // $PATH
    std::string user_home;    // $HOME; blank: the folders under it are not searched
    std::string system_root;  // put before /usr/lib/jvm and the others: "" on the machine
    std::string game_folder;  // its runtime/ folder holds the launcher's runtimes; blank: none
    platform::ProgramLimits probe_limits;

    // The machine's places ($JAVA_HOME, $PATH, $HOME) and a game folder.
    static JavaSearchPlaces OfMachine(std::string game_folder);
};

// Every runtime in those places, in the order above; paths use "/".
std::vector<JavaCandidate> SearchJava(const JavaSearchPlaces& places);

}  // namespace kestrel::java
