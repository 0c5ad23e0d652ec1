#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::platform {
namespace {

TEST(SystemInfo, ParsesMeminfoAndProcessStatus) {
    const std::string meminfo =
        "MemTotal:       24683692 kB\nMemFree:        23703088 kB\nMemAvailable:   23946636 kB\n"
        "Buffers:            4636 kB\nSwapTotal:       2097148 kB\nSwapFree:        2000000 kB\n";
    const MemoryInfo info = ParseMemoryInfo(meminfo, "Name:\tkestrel\nVmPeak:\t  9000 kB\nVmSize:\t    8000 kB\n");
    EXPECT_EQ(info.total_kb, 24683692u);
    EXPECT_EQ(info.available_kb, 23946636u);
    EXPECT_EQ(info.swap_total_kb, 2097148u);
    EXPECT_EQ(info.swap_free_kb, 2000000u);
    EXPECT_EQ(info.process_virtual_kb, 8000u);
    EXPECT_GT(info.address_space_kb, 0u);

    // An old kernel without MemAvailable: MemFree counts.
    EXPECT_EQ(ParseMemoryInfo("MemTotal: 100 kB\nMemFree: 40 kB\n", "").available_kb, 40u);
    // Keys are matched whole; malformed and garbage lines read as 0.
    const MemoryInfo odd = ParseMemoryInfo("MemTotalX: 5 kB\nMemTotal: abc kB\nMemFree:\n", "VmSize 7 kB");
    EXPECT_EQ(odd.total_kb, 0u);
    EXPECT_EQ(odd.available_kb, 0u);
    EXPECT_EQ(odd.process_virtual_kb, 0u);
    const MemoryInfo garbage = ParseMemoryInfo(std::string("\0\xff\xfeMemTotal:\0 99999999999999999999999 kB", 40), "");
    EXPECT_EQ(garbage.total_kb, 0u);
    EXPECT_EQ(ParseMemoryInfo("MemTotal: 99999999999999999999999 kB\n", "").total_kb, 0u);
}

TEST(SystemInfo, ThisMachine) {
    const MemoryInfo info = MemoryFigures();
    EXPECT_GT(info.total_kb, 0u);
    EXPECT_GT(info.process_virtual_kb, 0u);
    EXPECT_EQ(Is64BitSystem(), sizeof(void*) == 8);  // the build machines are 64-bit throughout
}

}  // namespace
}  // namespace kestrel::platform
