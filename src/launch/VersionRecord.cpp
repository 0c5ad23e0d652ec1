#include "launch/VersionRecord.h"

#include <algorithm>
#include <charconv>

namespace kestrel::launch {

namespace {

using net::JsonKind;
using net::JsonValue;

bool Given(const JsonValue* value) { return value && value->kind() != JsonKind::kNull; }

// A member of an object; null for anything else.
const JsonValue* Member(const JsonValue* value, std::string_view name) {
    if (!value || !value->is_object()) return nullptr;
    const JsonValue* member = value->Find(name);
    return Given(member) ? member : nullptr;
}

// The text reading of a value: a string's text, a number's lexeme, a
// boolean's name; empty otherwise.
std::string TextOf(const JsonValue* value) {
    if (!value) return {};
    switch (value->kind()) {
        case JsonKind::kString:
        case JsonKind::kNumber: return value->text();
        case JsonKind::kBoolean: return value->boolean() ? "true" : "false";
        default: return {};
    }
}

std::string MemberText(const JsonValue* value, std::string_view name) { return TextOf(Member(value, name)); }

std::optional<std::string> OptionalText(const JsonValue* value, std::string_view name) {
    const JsonValue* member = Member(value, name);
    if (!member) return std::nullopt;
    return TextOf(member);
}

std::int64_t IntegerOf(const JsonValue* value) {
    if (!value || value->kind() != JsonKind::kNumber) return 0;
    std::int64_t number = 0;
    const std::string& text = value->text();
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

// The elements of an array, or the values of an object in its place.
template <typename Each>
void ForEachItem(const JsonValue* list, Each&& each) {
    if (!list || (!list->is_array() && !list->is_object())) return;
    for (std::size_t i = 0; i < list->size(); ++i) each(list->at(i));
}

VersionRule ReadRule(const JsonValue& value) {
    VersionRule rule;
    rule.action = MemberText(&value, "action");
    const JsonValue* os = Member(&value, "os");
    rule.os_name = OptionalText(os, "name");
    rule.os_arch = OptionalText(os, "arch");
    rule.os_version = OptionalText(os, "version");
    if (const JsonValue* features = Member(&value, "features"); features && features->is_object()) {
        for (std::size_t i = 0; i < features->size(); ++i) {
            const JsonValue& wanted = features->at(i);
            rule.features.emplace_back(features->name(i),
                                       wanted.kind() == JsonKind::kBoolean ? wanted.boolean() : false);
        }
    }
    return rule;
}

RuleList ReadRules(const JsonValue* owner) {
    RuleList list;
    const JsonValue* rules = Member(owner, "rules");
    list.given = rules != nullptr;
    ForEachItem(rules, [&](const JsonValue& rule) { list.rules.push_back(ReadRule(rule)); });
    return list;
}

DownloadRecord ReadDownload(const JsonValue* value) {
    DownloadRecord download;
    if (!value) return download;
    download.given = true;
    download.id = MemberText(value, "id");
    download.path = MemberText(value, "path");
    download.sha1 = MemberText(value, "sha1");
    download.size = IntegerOf(Member(value, "size"));
    download.url_given = Member(value, "url") != nullptr;
    download.url = MemberText(value, "url");
    return download;
}

std::vector<VersionArgument> ReadArguments(const JsonValue* list) {
    std::vector<VersionArgument> arguments;
    ForEachItem(list, [&](const JsonValue& entry) {
        VersionArgument argument;
        argument.kind = entry.kind();
        argument.text = TextOf(&entry);
        argument.rules = ReadRules(&entry);
        const JsonValue* value = Member(&entry, "value");
        if (value && (value->is_array() || value->is_object())) {
            ForEachItem(value, [&](const JsonValue& item) { argument.value_items.push_back({item.kind(), TextOf(&item)}); });
        } else {
            argument.value_text = TextOf(value);
        }
        arguments.push_back(std::move(argument));
    });
    return arguments;
}

VersionLibrary ReadLibrary(const JsonValue& entry) {
    VersionLibrary library;
    library.name = MemberText(&entry, "name");
    library.rules = ReadRules(&entry);
    const JsonValue* natives = Member(&entry, "natives");
    library.has_natives = natives != nullptr;
    if (natives && natives->is_object()) {
        for (std::size_t i = 0; i < natives->size(); ++i) {
            if (Given(&natives->at(i))) library.natives.emplace_back(natives->name(i), TextOf(&natives->at(i)));
        }
    }
    ForEachItem(Member(Member(&entry, "extract"), "exclude"),
                [&](const JsonValue& item) { library.extract_exclude.push_back(TextOf(&item)); });
    const JsonValue* downloads = Member(&entry, "downloads");
    library.artifact = ReadDownload(Member(downloads, "artifact"));
    if (const JsonValue* classifiers = Member(downloads, "classifiers"); classifiers && classifiers->is_object()) {
        for (std::size_t i = 0; i < classifiers->size(); ++i) {
            if (!Given(&classifiers->at(i))) continue;
            library.classifiers.emplace_back(classifiers->name(i), ReadDownload(&classifiers->at(i)));
        }
    }
    library.url = OptionalText(&entry, "url");
    return library;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace

std::string VersionLibrary::NativesClassifier(std::string_view os_name) const {
    for (const auto& [system, classifier] : natives) {
        if (system == os_name) return classifier;
    }
    return {};
}

VersionRecord VersionRecord::Read(const JsonValue* root, std::string_view text) {
    VersionRecord record;
    record.mentions_forge = ContainsIgnoringCase(text, "forge");
    record.mentions_optifine = ContainsIgnoringCase(text, "OptiFine");
    if (!root) return record;
    record.id = MemberText(root, "id");
    record.type = MemberText(root, "type");
    record.main_class = MemberText(root, "mainClass");
    record.inherits_from = OptionalText(root, "inheritsFrom");
    record.minecraft_arguments = MemberText(root, "minecraftArguments");
    const JsonValue* arguments = Member(root, "arguments");
    record.game_arguments = ReadArguments(Member(arguments, "game"));
    record.jvm_arguments = ReadArguments(Member(arguments, "jvm"));
    const JsonValue* libraries = Member(root, "libraries");
    record.libraries_in_array = libraries && libraries->is_array();
    ForEachItem(libraries, [&](const JsonValue& entry) { record.libraries.push_back(ReadLibrary(entry)); });
    record.assets = MemberText(root, "assets");
    const DownloadRecord index = ReadDownload(Member(root, "assetIndex"));
    record.asset_index = {index.id, index.sha1, index.size, IntegerOf(Member(Member(root, "assetIndex"), "totalSize")),
                          index.url};
    if (const JsonValue* client = Member(Member(root, "logging"), "client")) {
        record.logging.given = true;
        record.logging.argument = MemberText(client, "argument");
        record.logging.type = MemberText(client, "type");
        record.logging.file = ReadDownload(Member(client, "file"));
    }
    const JsonValue* java = Member(root, "javaVersion");
    record.java_component = MemberText(java, "component");
    record.java_major = MemberText(java, "majorVersion");
    record.client = ReadDownload(Member(Member(root, "downloads"), "client"));
    return record;
}

}  // namespace kestrel::launch
