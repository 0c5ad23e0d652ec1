#include "shell/SignInContextFromLauncher.h"

namespace kestrel::shell {

accounts::SignInContext MakeSignInContext(LauncherContext& context) {
    return accounts::SignInContext{
        context.state.accounts,
        context.app,
        context.clock,
        context.workers,
        context.random,
        context.main_window,
        context.endpoints,
        context.paths.account_cache,
        context.paths.data_folder,
        context.host,
        context.state.constants.Get().oauth_client_id,
        net::HttpOptions{},
    };
}

}  // namespace kestrel::shell
