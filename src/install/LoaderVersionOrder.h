#pragma once

// The order in which loader versions are offered: stable ones first, and
// newest first within each, by their numbers. The servers' own order is
// never trusted (a maven-metadata.xml may list oldest first), and text order
// is wrong for numbers: 0.10.0 is newer than 0.9.2.
//
// CompareVersions splits each text into runs of digits and runs of letters
// (anything else only separates them) and compares run by run: numbers by
// value, however long; words as pre-release names (alpha < beta < pre < rc,
// other words before them and by their text, letter case ignored); a number
// is newer than a word in the same place (1.0.1 > 1.0-beta). When one text
// runs out, the other is newer when a number follows (1.0.1 > 1.0) and older
// when a word does (1.0-rc.1 < 1.0). Texts that compare equal this way fall
// back to their plain text, so the order is total.
//
// Threading: pure functions.

#include <string_view>
#include <vector>

#include "install/Loaders.h"

namespace kestrel::install {

// Below 0 when a is older than b, 0 when they are the same text, above 0
// when a is newer.
int CompareVersions(std::string_view a, std::string_view b);

// True for a version that names itself a pre-release: it holds "-alpha",
// "-beta", "-pre" or "-rc" (letter case ignored). For versions whose server
// gives no stable flag.
bool LooksUnstable(std::string_view version);

// Sorts stable first, newest first within each; a version listed twice is
// kept once (its first entry).
void SortLoaderVersions(std::vector<LoaderVersion>& versions);

}  // namespace kestrel::install
