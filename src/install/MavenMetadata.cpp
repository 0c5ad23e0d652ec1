#include "install/MavenMetadata.h"

#include <algorithm>
#include <cstdint>

#include "platform/Text.h"

namespace kestrel::install {

namespace {

constexpr int kDeepest = 32;

bool IsNameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80; }
bool IsNameChar(unsigned char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// One pass over the document; the text of every element whose path is
// metadata/versioning/versions/version is collected.
class Reader {
public:
    explicit Reader(std::string_view xml) : xml_(xml) {}

    bool Document() {
        if (xml_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
        if (!Misc()) return false;
        if (!Peek('<')) return false;
        if (!Element(0)) return false;
        return Misc() && at_ == xml_.size();
    }

    std::vector<std::string>& versions() { return versions_; }

private:
    bool Peek(char c) const { return at_ < xml_.size() && xml_[at_] == c; }
    bool Starts(std::string_view text) const { return xml_.substr(at_, text.size()) == text; }
    void SkipBlanks() {
        while (at_ < xml_.size() && IsBlank(xml_[at_])) ++at_;
    }
    // Moves past the next `end`; false when it never comes.
    bool SkipPast(std::string_view end) {
        const std::size_t found = xml_.find(end, at_);
        if (found == std::string_view::npos) return false;
        at_ = found + end.size();
        return true;
    }

    // Blanks, comments and processing instructions between the top-level
    // parts; a document type declaration is refused.
    bool Misc() {
        for (;;) {
            SkipBlanks();
            if (Starts("<!--")) {
                if (!Comment()) return false;
            } else if (Starts("<?")) {
                if (!SkipPast("?>")) return false;
            } else if (Starts("<!")) {
                return false;
            } else {
                return true;
            }
        }
    }

    bool Comment() {
        at_ += 4;
        const std::size_t end = xml_.find("--", at_);
        if (end == std::string_view::npos || xml_.substr(end, 3) != "-->") return false;
        at_ = end + 3;
        return true;
    }

    bool Name(std::string& name) {
        const std::size_t start = at_;
        if (at_ >= xml_.size() || !IsNameStart(static_cast<unsigned char>(xml_[at_]))) return false;
        while (at_ < xml_.size() && IsNameChar(static_cast<unsigned char>(xml_[at_]))) ++at_;
        name.assign(xml_.substr(start, at_ - start));
        return true;
    }

    // "&...;" at the current place, appended to out as its character.
    bool Reference(std::string& out) {
        const std::size_t end = xml_.find(';', at_);
        if (end == std::string_view::npos || end - at_ > 12) return false;
        const std::string_view name = xml_.substr(at_ + 1, end - at_ - 1);
        at_ = end + 1;
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        for (const auto& [entity, c] : kNamed) {
            if (name == entity) {
                out.push_back(c);
                return true;
            }
        }
        if (name.size() < 2 || name[0] != '#') return false;
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        std::uint32_t code = 0;
        for (const char c : digits) {
            int value = -1;
            if (c >= '0' && c <= '9') value = c - '0';
            if (hex && c >= 'a' && c <= 'f') value = c - 'a' + 10;
            if (hex && c >= 'A' && c <= 'F') value = c - 'A' + 10;
            if (value < 0) return false;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
            if (code > 0x10FFFF) return false;
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return false;
        AppendUtf8(out, code);
        return true;
    }

    bool Attributes() {
        for (;;) {
            const std::size_t before = at_;
            SkipBlanks();
            if (Peek('>') || Starts("/>")) return true;
            if (at_ == before) return false;
            std::string name;
            if (!Name(name)) return false;
            SkipBlanks();
            if (!Peek('=')) return false;
            ++at_;
            SkipBlanks();
            if (!Peek('"') && !Peek('\'')) return false;
            const char quote = xml_[at_++];
            std::string value;
            while (at_ < xml_.size() && xml_[at_] != quote) {
                if (xml_[at_] == '<') return false;
                if (xml_[at_] == '&') {
                    if (!Reference(value)) return false;
                } else {
                    ++at_;
                }
            }
            if (at_ >= xml_.size()) return false;
            ++at_;
        }
    }

    bool Element(int depth) {
        if (depth >= kDeepest) return false;
        ++at_;  // '<'
        std::string name;
        if (!Name(name) || !Attributes()) return false;
        path_.push_back(name);
        const bool collect = path_ == std::vector<std::string>{"metadata", "versioning", "versions", "version"};
        std::string text;
        if (Starts("/>")) {
            at_ += 2;
        } else {
            ++at_;  // '>'
            if (!Content(depth, text)) return false;
            std::string closing;
            at_ += 2;  // "</"
            if (!Name(closing) || closing != name) return false;
            SkipBlanks();
            if (!Peek('>')) return false;
            ++at_;
        }
        path_.pop_back();
        if (collect) {
            const std::string version(platform::Trim(text));
            if (!version.empty() && std::find(versions_.begin(), versions_.end(), version) == versions_.end()) {
                versions_.push_back(version);
            }
        }
        return true;
    }

    // Up to the element's closing tag, which is left to read.
    bool Content(int depth, std::string& text) {
        for (;;) {
            if (at_ >= xml_.size()) return false;
            if (Starts("</")) return true;
            if (Starts("<!--")) {
                if (!Comment()) return false;
            } else if (Starts("<![CDATA[")) {
                at_ += 9;
                const std::size_t end = xml_.find("]]>", at_);
                if (end == std::string_view::npos) return false;
                text.append(xml_.substr(at_, end - at_));
                at_ = end + 3;
            } else if (Starts("<?")) {
                if (!SkipPast("?>")) return false;
            } else if (Starts("<!")) {
                return false;
            } else if (Peek('<')) {
                if (!Element(depth + 1)) return false;
            } else if (Peek('&')) {
                if (!Reference(text)) return false;
            } else if (Starts("]]>")) {
                return false;
            } else {
                text.push_back(xml_[at_++]);
            }
        }
    }

    std::string_view xml_;
    std::size_t at_ = 0;
    std::vector<std::string> path_;
    std::vector<std::string> versions_;
};

}  // namespace

Result<std::vector<std::string>> ParseMavenMetadata(std::string_view xml, const std::string& source) {
    Reader reader(xml);
    if (!reader.Document()) return Error{"版本列表文件格式错误: " + source};
    return std::move(reader.versions());
}

}  // namespace kestrel::install
