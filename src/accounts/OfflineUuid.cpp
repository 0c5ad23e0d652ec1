#include "accounts/OfflineUuid.h"

#include "platform/Charsets.h"
#include "platform/Md5.h"
#include "platform/Utf8.h"

namespace kestrel::accounts {

std::string OfflineUuid(std::string_view name) {
    std::string text = "OFFLinePlayer:";
    text.append(name);
    const auto gbk = platform::EncodeCharset(platform::DecodeUtf8(text), "GBK");
    if (!gbk) return {};
    const auto digest = platform::Md5(*gbk);
    if (!digest) return {};
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string uuid;
    uuid.reserve(32);
    for (const std::uint8_t byte : *digest) {
        uuid.push_back(kDigits[byte >> 4]);
        uuid.push_back(kDigits[byte & 0x0F]);
    }
    return uuid;
}

}  // namespace kestrel::accounts
