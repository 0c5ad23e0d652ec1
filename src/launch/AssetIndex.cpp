#include "launch/AssetIndex.h"

#include <charconv>

#include "launch/SafeNames.h"
#include "net/JsonDocument.h"
#include "platform/Files.h"

namespace kestrel::launch {

namespace {

using net::JsonKind;
using net::JsonValue;

bool IsTrue(const JsonValue* value) { return value && value->kind() == JsonKind::kBoolean && value->boolean(); }

// A size is a JSON number written as a whole number from 0 up.
bool ReadSize(const JsonValue* value, std::uint64_t& size) {
    if (!value || value->kind() != JsonKind::kNumber) return false;
    const std::string& text = value->text();
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size();
}

const JsonValue* TextMember(const JsonValue& owner, std::string_view name) {
    const JsonValue* member = owner.is_object() ? owner.Find(name) : nullptr;
    return member && member->kind() == JsonKind::kString ? member : nullptr;
}

}  // namespace

Result<AssetIndex> AssetIndex::Read(const std::string& path) {
    const std::optional<std::string> text = platform::ReadFile(path);
    if (!text) return Error{std::string(kErrorAssetIndex) + path};
    return Parse(*text, path);
}

Result<AssetIndex> AssetIndex::Parse(std::string_view text, const std::string& source) {
    net::JsonDocument document;
    const JsonValue* root = document.Parse(text) ? document.Find("") : nullptr;
    if (!root || !root->is_object()) return Error{std::string(kErrorAssetIndex) + source};
    AssetIndex index;
    index.is_virtual = IsTrue(root->Find("virtual"));
    index.map_to_resources = IsTrue(root->Find("map_to_resources"));
    const JsonValue* objects = root->Find("objects");
    if (!objects || !objects->is_object()) return index;
    index.objects.reserve(objects->size());
    for (std::size_t i = 0; i < objects->size(); ++i) {
        AssetObject object;
        object.name = objects->name(i);
        object.pieces = AssetNamePieces(object.name);
        if (object.pieces.empty()) {
            index.errors.push_back(std::string(kErrorUnsafeAssetName) + object.name);
            continue;
        }
        const JsonValue& entry = objects->at(i);
        const JsonValue* hash = TextMember(entry, "hash");
        const JsonValue* size = entry.is_object() ? entry.Find("size") : nullptr;
        if (!hash || !IsObjectHash(hash->text()) || !ReadSize(size, object.size)) {
            index.errors.push_back(std::string(kErrorBadAssetEntry) + object.name);
            continue;
        }
        object.hash = hash->text();
        index.objects.push_back(std::move(object));
    }
    return index;
}

}  // namespace kestrel::launch
