#include "accounts/OfflineAccount.h"

#include "accounts/OfflineUuid.h"

namespace kestrel::accounts {

Result<AccountRecord> OfflineAccount(const std::string& name) {
    if (name.empty()) return Error{kEmptyOfflineName};
    return AccountRecord{name, OfflineUuid(name), "", "", ""};
}

}  // namespace kestrel::accounts
