// kestrel-cli ping ADDRESS [--json]: the server status record of the board.

#include <ostream>

#include "Command.h"
#include "net/JsonDocument.h"
#include "servers/ServerTool.h"

namespace kestrel::cli {

namespace {

std::string Base64Encode(std::string_view bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group <<= 8;
            if (k < count) group |= static_cast<unsigned char>(bytes[i + k]);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            out.push_back(k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=');
        }
    }
    return out;
}

// Line breaks of the description written as the two characters "\n", so the
// record stays one line per key.
std::string OneLine(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out.append("\\n");
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// Why a query failed, in the words the error line ends with.
const char* FailureWords(servers::QueryFailure failure) {
    switch (failure) {
        case servers::QueryFailure::kNone: return "";
        case servers::QueryFailure::kBadAddress: return "no host name";
        case servers::QueryFailure::kBadPort: return "bad port (a port is a number from 1 to 65535)";
        case servers::QueryFailure::kNoSuchHost: return "no such host";
        case servers::QueryFailure::kRefused: return "connection refused";
        case servers::QueryFailure::kTimedOut: return "timed out";
        case servers::QueryFailure::kUnreachable: return "cannot connect";
        case servers::QueryFailure::kNotMinecraft: return "not a Minecraft server (no status answer)";
        case servers::QueryFailure::kStopped: return "stopped";
    }
    return "";
}

int Ping(const CliArguments& arguments, const CliContext& context) {
    if (arguments.positional().size() != 1) return UsageError(context);
    const std::string& address = arguments.positional()[0];
    servers::ServerStatus status;
    if (const servers::QueryFailure failure = servers::ServerTool().QueryServerStatusWithReason(address, status);
        failure != servers::QueryFailure::kNone) {
        context.err << "server query failed: " << address << ": " << FailureWords(failure) << "\n";
        return kFailed;
    }
    if (arguments.Has("--json")) {
        net::JsonDocument document;
        document.SetText("version", status.version_name);
        document.SetText("online", status.players_online);
        document.SetText("max", status.players_max);
        document.SetText("description", status.description);
        document.SetText("echo", status.echo);
        document.SetText("icon", Base64Encode(status.icon));
        context.out << document.ToText() << "\n";
        return kDone;
    }
    context.out << "version: " << status.version_name << "\n"
                << "online: " << status.players_online << "\n"
                << "max: " << status.players_max << "\n"
                << "description: " << OneLine(status.description) << "\n"
                << "echo: " << status.echo << "\n"
                << "icon-bytes: " << status.icon.size() << "\n";
    return kDone;
}

}  // namespace

std::vector<Command> PingCommands() {
    return {
        {"ping", "ADDRESS [--json]", Ping},
    };
}

}  // namespace kestrel::cli
