#include "accounts/OfflineUuid.h"

#include <gtest/gtest.h>

namespace kestrel::accounts {
namespace {

TEST(OfflineUuid, HashesTheGbkBytesOfTheNameExactlyAsTyped) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Steve", "29EBA48502E61C168846C2FF82ED3940"},
        {"玩家", "0D3C1AD538413B1D78503A8A98CCAF7B"},
        {"steve", "D8D0EA3EEB436BB54CF2B43B7ACF99C1"},    // letter case counts
        {" Steve ", "0D72CF062A2BF41E2DB976FE725A7E25"},  // blanks are kept
        {"?", "3014071E6B2B4844BD1A07B5BBB4C895"},
    };
    for (const auto& [name, uuid] : cases) EXPECT_EQ(OfflineUuid(name), uuid) << name;
    // A character GBK cannot hold is hashed as "?", like the Windows
    // conversion does; so is a byte that is no UTF-8.
    EXPECT_EQ(OfflineUuid("😀"), OfflineUuid("?"));
    EXPECT_EQ(OfflineUuid("\xff"), OfflineUuid("?"));
}

}  // namespace
}  // namespace kestrel::accounts
