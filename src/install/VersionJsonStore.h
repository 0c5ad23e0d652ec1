#pragma once

// Stores the version JSON of a loader (a profile, an installer's
// version.json) as its own version, versions/<id>/<id>.json, written whole
// or not at all (platform/Files.h). The bytes stay exactly as served, so the
// file is the one other launchers store; when the player names the version,
// only the value of the top-level "id" member is replaced, and every other
// byte stays where it was.
//
// A loader's install stores the JSON last, after every file it names is on
// disk and verified: a version appears in the list only once it can start,
// and a failed or cancelled install leaves no half-made version behind.
//
// Threading: pure functions of their arguments, apart from the file written;
// any thread.

#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrel::install {

// The JSON text with the value of its top-level "id" replaced by id (every
// such member, should the text repeat it). An error when the text is not a
// JSON object with a string "id".
Result<std::string> WithVersionId(std::string_view json, const std::string& id);

// Stores json under game_folder/versions/<id>/<id>.json, the "id" inside
// made id first when it differs. An error for an id that cannot name a
// version folder (install/ChainFiles.h's IsSafeVersionId), for a text that is
// no version JSON, and when the file cannot be written; the file that was
// there before is then unchanged.
Status StoreVersionJson(const std::string& game_folder, std::string_view json, const std::string& id);

}  // namespace kestrel::install
