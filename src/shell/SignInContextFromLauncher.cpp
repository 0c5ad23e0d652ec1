#include "shell/SignInContextFromLauncher.h"

namespace kestrel::shell {

SignInContext MakeSignInContext(LauncherContext& context) {
    return SignInContext{
        accounts::SignInServices{
            context.state.accounts,
            context.clock,
            context.endpoints,
            context.paths.account_cache,
            context.paths.data_folder,
            context.host,
            context.state.constants.Get().oauth_client_id,
            net::HttpOptions{},
        },
        context.app,
        context.workers,
        context.random,
        context.main_window,
    };
}

}  // namespace kestrel::shell
