#pragma once

// What the operating system says about the machine: whether it is a 64-bit
// system, and how much memory it has. On Linux the memory figures come from
// /proc/meminfo (MemAvailable counts as free physical memory: it is what a
// new process can get without swapping) and the process's own size from
// /proc/self/status.
//
// Threading: free functions; safe from any thread.

#include <cstdint>
#include <string_view>

namespace kestrel::platform {

// True on a 64-bit operating system (whatever this process was built as).
bool Is64BitSystem();

// The memory figures of the machine, all in KB; 0 where the system did not
// say.
struct MemoryInfo {
    std::uint64_t total_kb = 0;            // physical memory visible to the system
    std::uint64_t available_kb = 0;        // free physical memory
    std::uint64_t swap_total_kb = 0;
    std::uint64_t swap_free_kb = 0;
    std::uint64_t address_space_kb = 0;    // user address space of this process
    std::uint64_t process_virtual_kb = 0;  // of it, in use by this process
};

// The figures of this machine now; all zero when /proc/meminfo is unreadable.
MemoryInfo MemoryFigures();

// The figures from the texts of /proc/meminfo and /proc/self/status. Lines
// that are missing or malformed leave their figure at 0; a meminfo without
// MemAvailable (kernels before 3.14) counts MemFree as available.
MemoryInfo ParseMemoryInfo(std::string_view meminfo, std::string_view process_status);

}  // namespace kestrel::platform
