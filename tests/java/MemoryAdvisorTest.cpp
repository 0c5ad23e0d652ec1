#include "java/MemoryAdvisor.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::java {
namespace {

TEST(MemoryAdvisor, RecommendationTables) {
    struct Case {
        std::string table;
        std::int64_t free_mb;
        std::int64_t heap_mb;
    };
    const Case cases[] = {
        {"64", 12000, 6000}, {"64", 10241, 5120}, {"64", 10240, 4096}, {"64", 6000, 4096},
        {"64", 5121, 4096},  {"64", 5120, 2048},  {"64", 4000, 2048},  {"64", 3073, 2048},
        {"64", 3072, 0},     {"64", 3000, 0},     {"64", 2048, 0},     {"64", 2047, 513},
        {"64", 1800, 513},   {"64", 1537, 513},   {"64", 1536, 0},     {"64", 1000, 0},
        {"64", 0, 0},        {"64", 100001, 50000},
        {"32", 2000, 1433},  {"32", 1946, 1433},  {"32", 1945, 513},   {"32", 1700, 513},
        {"32", 1537, 513},   {"32", 1536, 0},     {"32", 1500, 0},     {"32", 12000, 1433},
        // Only the two table names count.
        {"64位", 12000, 0},  {"", 12000, 0},      {"x64", 12000, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecommendedHeapMb(c.table, c.free_mb), c.heap_mb) << c.table << " " << c.free_mb;
    }
}

TEST(MemoryAdvisor, FiguresFromTheSystemsKilobytes) {
    platform::MemoryInfo memory;
    memory.total_kb = 16 * 1024 * 1024 + 1023;  // truncated for the advice
    memory.available_kb = 12000 * 1024 + 1023;
    memory.swap_total_kb = 2048 * 1024;
    memory.swap_free_kb = 1024 * 1024 + 512;    // rounded for the status figures
    memory.address_space_kb = 4096 * 1024;
    memory.process_virtual_kb = 1024 * 1024 + 511;

    const HeapAdvice advice = AdviseHeap("64", memory);
    EXPECT_EQ(advice.total_visible_mb, 16384);
    EXPECT_EQ(advice.free_physical_mb, 12000);
    EXPECT_EQ(advice.heap_mb, 6000);
    EXPECT_EQ(AdviseHeap("32", memory).heap_mb, 1433);

    const std::int64_t figures[] = {16385, 12001, 4096, 3072, 18433, 13025};
    for (int index = 0; index < 6; ++index) EXPECT_EQ(MemoryStatusFigureMb(index, memory), figures[index]) << index;
    EXPECT_EQ(MemoryStatusFigureMb(6, memory), 0);
    EXPECT_EQ(MemoryStatusFigureMb(-1, memory), 0);

    // A machine whose figures could not be read gets no recommendation.
    EXPECT_EQ(AdviseHeap("64", platform::MemoryInfo{}).heap_mb, 0);
}

TEST(MemoryAdvisor, ThisMachineHasPlausibleFigures) {
    const platform::MemoryInfo memory = platform::MemoryFigures();
    EXPECT_GT(memory.total_kb, 0u);
    EXPECT_GT(memory.available_kb, 0u);
    EXPECT_LE(memory.available_kb, memory.total_kb);
    const HeapAdvice advice = AdviseHeap("64");
    EXPECT_EQ(advice.heap_mb, RecommendedHeapMb("64", advice.free_physical_mb));
}

}  // namespace
}  // namespace kestrel::java
