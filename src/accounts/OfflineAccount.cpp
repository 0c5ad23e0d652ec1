#include "accounts/OfflineAccount.h"

#include "accounts/OfflineUuid.h"
#include "accounts/PlayerName.h"

namespace kestrel::accounts {

Result<AccountRecord> OfflineAccount(const std::string& name) {
    if (name.empty()) return Error{kEmptyOfflineName};
    if (HasUnsafeCharacters(name)) return Error{kNameUnsafeCharacters};
    return AccountRecord{name, OfflineUuid(name), "", "", ""};
}

}  // namespace kestrel::accounts
