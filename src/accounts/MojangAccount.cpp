#include "accounts/MojangAccount.h"

#include <vector>

#include "accounts/MojangService.h"

namespace kestrel::accounts {

std::string MojangInputProblem(const std::string& account, const std::string& password) {
    if (account.empty()) return "未知的账户: 账号为空!";
    if (account.find('@') == std::string::npos) return "未知的账户: 账号必须为邮箱格式!";
    if (password.empty()) return "密码验证失败: 您必须首先要输入密码!!";
    return {};
}

Result<AccountRecord> AuthenticateMojangAccount(const net::HttpSession& session, const net::Endpoints& endpoints,
                                                const std::string& account, const std::string& password) {
    std::vector<AccountRecord> profiles;
    const std::string result = MojangAuthenticate(session, endpoints, account, password, profiles);
    if (result != kMojangSuccess) return Error{result};
    if (profiles.empty()) return Error{kMojangNoProfiles};
    return profiles.front();
}

}  // namespace kestrel::accounts
