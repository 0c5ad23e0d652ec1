#include "java/MemoryAdvisor.h"

#include <limits>

namespace kestrel::java {

namespace {

// F exceeds x when F - x > 0.0000001: the thresholds are compared in floating
// point, exactly as the table was first written.
bool Exceeds(std::int64_t free_mb, double threshold) {
    return static_cast<double>(free_mb) - threshold > 0.0000001;
}

std::int64_t KbToMbTruncated(std::uint64_t kb) {
    const std::uint64_t mb = kb / 1024;
    return mb > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
               ? std::numeric_limits<std::int64_t>::max()
               : static_cast<std::int64_t>(mb);
}

std::int64_t KbToMbRounded(std::uint64_t kb) {
    const std::int64_t mb = KbToMbTruncated(kb);
    return kb % 1024 >= 512 && mb < std::numeric_limits<std::int64_t>::max() ? mb + 1 : mb;
}

}  // namespace

std::int64_t RecommendedHeapMb(std::string_view table, std::int64_t free_mb) {
    if (table == "64") {
        if (free_mb > 8192 && Exceeds(free_mb, 8192 + 2048)) return free_mb / 2;
        if (free_mb > 4096 && Exceeds(free_mb, 4096 + 1024)) return 4096;
        if (free_mb > 2048 && Exceeds(free_mb, 2048 + 1024)) return 2048;
        if (free_mb < 2048 && Exceeds(free_mb, 1024 + 512)) return 513;
        return 0;
    }
    if (table == "32") {
        if (free_mb > 1433 && Exceeds(free_mb, 1433 + 512)) return 1433;
        if (free_mb > 1024 && Exceeds(free_mb, 1024 + 512)) return 513;
        return 0;
    }
    return 0;
}

HeapAdvice AdviseHeap(std::string_view table, const platform::MemoryInfo& memory) {
    HeapAdvice advice;
    advice.total_visible_mb = KbToMbTruncated(memory.total_kb);
    advice.free_physical_mb = KbToMbTruncated(memory.available_kb);
    advice.heap_mb = RecommendedHeapMb(table, advice.free_physical_mb);
    return advice;
}

HeapAdvice AdviseHeap(std::string_view table) { return AdviseHeap(table, platform::MemoryFigures()); }

std::int64_t MemoryStatusFigureMb(int index, const platform::MemoryInfo& memory) {
    const std::uint64_t virtual_free =
        memory.address_space_kb > memory.process_virtual_kb ? memory.address_space_kb - memory.process_virtual_kb : 0;
    switch (index) {
        case 0: return KbToMbRounded(memory.total_kb);
        case 1: return KbToMbRounded(memory.available_kb);
        case 2: return KbToMbRounded(memory.address_space_kb);
        case 3: return KbToMbRounded(virtual_free);
        case 4: return KbToMbRounded(memory.total_kb + memory.swap_total_kb);
        case 5: return KbToMbRounded(memory.available_kb + memory.swap_free_kb);
        default: return 0;
    }
}

}  // namespace kestrel::java
