#pragma once

// The texts of an install's progress in the download window: the step, the
// files done of all, the megabytes done of all, the speed and the time left
// at that speed, and the bar's value (0 to 100) by bytes where their total
// is known, else by files.
//
// Threading: pure functions.

#include <string>

#include "install/InstallSettings.h"

namespace kestrel::shell {

struct InstallProgressTexts {
    std::string step;       // "下载文件…"
    std::string files;      // "文件 12/40"
    std::string bytes;      // "3.2/10.5 MB"; "12/700 KB" below a megabyte in all
    std::string speed;      // "1.2 MB/s"; "850 KB/s" below a megabyte a second
    std::string time_left;  // "剩余 1:05", "剩余 --:--" while unknown
    int bar = 0;
};

InstallProgressTexts ProgressTexts(const install::InstallProgress& progress);

}  // namespace kestrel::shell
