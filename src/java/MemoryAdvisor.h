#pragma once

// The memory figures the launcher shows and the maximum Java heap it
// proposes for the game (the Memory setting, later passed as -Xmx) when the
// player has not set one. The proposal depends only on the free physical
// memory F (in MB) and on the table the caller asks for, "64" or "32"; every
// caller of the launcher asks for "64", whatever the system's bitness.
//
// Table "64", first matching row: F > 10240 gives F / 2; F > 5120 gives 4096;
// F > 3072 gives 2048; 1536 < F < 2048 gives 513; otherwise 0 (note that
// 2048 <= F <= 3072 gives 0). Table "32": F > 1945 gives 1433;
// 1536 < F <= 1945 gives 513; otherwise 0. Any other table name gives 0.
// A 0 is passed on unchanged: the launch refuses it until the player sets a
// value, since a launch needs more than 512 MB.
//
// Threading: free functions; safe from any thread.

#include <cstdint>
#include <string_view>

#include "platform/SystemInfo.h"

namespace kestrel::java {

struct HeapAdvice {
    std::int64_t heap_mb = 0;           // the proposed maximum heap
    std::int64_t total_visible_mb = 0;  // total physical memory, KB / 1024 truncated
    std::int64_t free_physical_mb = 0;  // free physical memory, KB / 1024 truncated
};

// The proposal of a table for F MB of free physical memory.
std::int64_t RecommendedHeapMb(std::string_view table, std::int64_t free_mb);

// The proposal with the figures it was made from.
HeapAdvice AdviseHeap(std::string_view table, const platform::MemoryInfo& memory);
// The same for this machine now.
HeapAdvice AdviseHeap(std::string_view table);

// The memory status figures, in MB rounded to the nearest integer:
// 0 total physical, 1 available physical, 2 total virtual (this process's
// address space), 3 available virtual, 4 total page file (physical memory and
// swap together, what can be committed), 5 available page file. Any other
// index gives 0.
std::int64_t MemoryStatusFigureMb(int index, const platform::MemoryInfo& memory);

}  // namespace kestrel::java
