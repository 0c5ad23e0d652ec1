#include "accounts/ServiceAnswers.h"

namespace kestrel::accounts {

namespace {

// Long enough for every sentence the services send, short enough for a
// message box.
constexpr std::size_t kMaxReasonBytes = 200;

std::string Readable(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    }
    if (text.size() > kMaxReasonBytes) {
        std::size_t cut = kMaxReasonBytes;
        // Back up to the start of a UTF-8 character.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
        text += "...";
    }
    return text;
}

}  // namespace

std::string Bounded(std::string bytes) {
    if (bytes.size() > kMaxAnswerBytes) return {};
    return bytes;
}

std::string XErrMeaning(std::string_view code) {
    if (code == "2148916233") return "该微软账户没有Xbox账户,请先注册Xbox账户";
    if (code == "2148916235") return "您所在的国家或地区无法使用Xbox Live";
    if (code == "2148916236" || code == "2148916237") return "该账户需要在Xbox页面上完成成人验证";
    if (code == "2148916238") return "该账户是未成年人账户,需要由家长将其加入家庭组";
    return "XErr " + std::string(code);
}

std::string ServiceReason(const net::JsonDocument& answer) {
    const std::string xerr = answer.GetText("XErr");
    if (!xerr.empty()) return Readable(XErrMeaning(xerr));
    for (const char* member : {"errorMessage", "error_description", "Message", "error"}) {
        std::string text = answer.GetText(member);
        if (!text.empty()) return Readable(std::move(text));
    }
    return {};
}

std::string WithReason(std::string_view failure, std::string_view reason) {
    std::string text(failure);
    if (!reason.empty()) {
        text += ": ";
        text += reason;
    }
    return text;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsWebAddress(std::string_view text) {
    const std::string lower = AsciiLower(text.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

}  // namespace kestrel::accounts
