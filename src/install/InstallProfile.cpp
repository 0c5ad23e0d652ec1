#include "install/InstallProfile.h"

#include <algorithm>

#include "net/JsonDocument.h"
#include "net/JsonWriter.h"

namespace kestrel::install {

namespace {

using net::JsonKind;
using net::JsonValue;

std::string TextOf(const JsonValue& object, std::string_view name) {
    const JsonValue* value = object.Find(name);
    return value && value->kind() == JsonKind::kString ? value->text() : std::string();
}

// The strings of an array member; false when the member is there but is not
// an array of strings.
bool TextsOf(const JsonValue& object, std::string_view name, std::vector<std::string>& texts) {
    const JsonValue* value = object.Find(name);
    if (!value || value->kind() == JsonKind::kNull) return true;
    if (!value->is_array()) return false;
    for (std::size_t i = 0; i < value->size(); ++i) {
        if (value->at(i).kind() != JsonKind::kString) return false;
        texts.push_back(value->at(i).text());
    }
    return true;
}

// A processor without sides runs for both.
bool ForClient(const std::vector<std::string>& sides, bool given) {
    return !given || std::find(sides.begin(), sides.end(), "client") != sides.end();
}

}  // namespace

Result<InstallProfile> InstallProfile::Parse(std::string_view text, const std::string& source) {
    const Error unreadable{"安装器中的安装配置无法读取: " + source};
    net::JsonDocument document;
    if (!document.Parse(text)) return unreadable;
    const JsonValue* root = document.Find("");
    if (!root || !root->is_object()) return unreadable;
    InstallProfile profile;

    const JsonValue* install = root->Find("install");
    const JsonValue* version_info = root->Find("versionInfo");
    if (install && install->is_object() && version_info && version_info->is_object()) {
        profile.generation = Generation::kOld;
        profile.minecraft = TextOf(*install, "minecraft");
        profile.universal_entry = TextOf(*install, "filePath");
        profile.universal_coordinate = TextOf(*install, "path");
        profile.version_info = net::JsonWriter::Write(*version_info);
        if (profile.minecraft.empty() || profile.universal_entry.empty() || profile.universal_coordinate.empty()) {
            return unreadable;
        }
        return profile;
    }

    profile.generation = Generation::kNew;
    profile.minecraft = TextOf(*root, "minecraft");
    profile.json_entry = TextOf(*root, "json");
    if (profile.json_entry.empty()) profile.json_entry = "/version.json";
    if (profile.json_entry.front() == '/') profile.json_entry.erase(0, 1);
    if (profile.minecraft.empty()) return unreadable;

    const JsonValue* libraries = root->Find("libraries");
    if (libraries && libraries->kind() != JsonKind::kNull && !libraries->is_array()) return unreadable;
    profile.libraries = libraries && libraries->is_array() ? net::JsonWriter::Write(*libraries) : "[]";

    if (const JsonValue* data = root->Find("data"); data && data->kind() != JsonKind::kNull) {
        if (!data->is_object()) return unreadable;
        for (std::size_t i = 0; i < data->size(); ++i) {
            if (!data->at(i).is_object()) return unreadable;
            const JsonValue* client = data->at(i).Find("client");
            if (!client) continue;
            if (client->kind() != JsonKind::kString) return unreadable;
            profile.data.emplace_back(data->name(i), client->text());
        }
    }

    if (const JsonValue* processors = root->Find("processors"); processors && processors->kind() != JsonKind::kNull) {
        if (!processors->is_array()) return unreadable;
        for (std::size_t i = 0; i < processors->size(); ++i) {
            const JsonValue& entry = processors->at(i);
            if (!entry.is_object()) return unreadable;
            std::vector<std::string> sides;
            if (!TextsOf(entry, "sides", sides)) return unreadable;
            if (!ForClient(sides, entry.Find("sides") != nullptr)) continue;
            ProcessorSpec processor;
            processor.jar = TextOf(entry, "jar");
            if (processor.jar.empty() || !TextsOf(entry, "classpath", processor.classpath) ||
                !TextsOf(entry, "args", processor.args)) {
                return unreadable;
            }
            if (const JsonValue* outputs = entry.Find("outputs"); outputs && outputs->kind() != JsonKind::kNull) {
                if (!outputs->is_object()) return unreadable;
                for (std::size_t j = 0; j < outputs->size(); ++j) {
                    if (outputs->at(j).kind() != JsonKind::kString) return unreadable;
                    processor.outputs.emplace_back(outputs->name(j), outputs->at(j).text());
                }
            }
            profile.processors.push_back(std::move(processor));
        }
    }
    return profile;
}

}  // namespace kestrel::install
