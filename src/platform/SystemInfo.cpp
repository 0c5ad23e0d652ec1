#include "platform/SystemInfo.h"

#include <sys/utsname.h>

#include <charconv>
#include <optional>
#include <string>

#include "platform/Files.h"

namespace kestrel::platform {

namespace {

constexpr std::size_t kMaxProcText = std::size_t{1} << 20;

// The number of a "Key:   1234 kB" line, when the text has such a line.
std::optional<std::uint64_t> FieldKb(std::string_view text, std::string_view key) {
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != ':') continue;
        line.remove_prefix(key.size() + 1);
        const auto digits = line.find_first_not_of(" \t");
        if (digits == std::string_view::npos) return std::nullopt;
        std::uint64_t value = 0;
        const auto parsed = std::from_chars(line.data() + digits, line.data() + line.size(), value);
        if (parsed.ec != std::errc()) return std::nullopt;
        return value;
    }
    return std::nullopt;
}

// The user address space of a process of this build: 128 TiB for a 64-bit
// process on the usual 4-level page tables, 3 GiB for a 32-bit one.
constexpr std::uint64_t AddressSpaceKb() {
    return sizeof(void*) == 8 ? (std::uint64_t{1} << 37) : (std::uint64_t{3} << 20);
}

}  // namespace

bool Is64BitSystem() {
    utsname name{};
    if (uname(&name) != 0) return sizeof(void*) == 8;
    const std::string_view machine = name.machine;
    return machine.find("64") != std::string_view::npos || machine == "s390x";
}

MemoryInfo ParseMemoryInfo(std::string_view meminfo, std::string_view process_status) {
    MemoryInfo info;
    info.total_kb = FieldKb(meminfo, "MemTotal").value_or(0);
    info.available_kb = FieldKb(meminfo, "MemAvailable").value_or(FieldKb(meminfo, "MemFree").value_or(0));
    info.swap_total_kb = FieldKb(meminfo, "SwapTotal").value_or(0);
    info.swap_free_kb = FieldKb(meminfo, "SwapFree").value_or(0);
    info.address_space_kb = AddressSpaceKb();
    info.process_virtual_kb = FieldKb(process_status, "VmSize").value_or(0);
    return info;
}

MemoryInfo MemoryFigures() {
    const auto meminfo = ReadFile("/proc/meminfo", kMaxProcText);
    if (!meminfo) return MemoryInfo{};
    const auto status = ReadFile("/proc/self/status", kMaxProcText);
    return ParseMemoryInfo(*meminfo, status.value_or(std::string()));
}

}  // namespace kestrel::platform
