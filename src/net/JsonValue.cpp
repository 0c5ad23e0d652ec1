#include "net/JsonValue.h"

#include <unordered_map>

namespace kestrel::net {

namespace {

// Below this many members a linear scan beats hashing.
constexpr std::size_t kIndexThreshold = 12;

}  // namespace

// Maps a member name to its position. The views point into names_, whose
// strings stay in place while the value is moved; any change of names_ drops
// the index.
struct JsonValue::NameIndex {
    std::unordered_map<std::string_view, std::size_t> positions;
};

JsonValue::JsonValue() = default;
JsonValue::~JsonValue() = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;

JsonValue::JsonValue(const JsonValue& other)
    : kind_(other.kind_),
      boolean_(other.boolean_),
      text_(other.text_),
      items_(other.items_),
      names_(other.names_) {}

JsonValue& JsonValue::operator=(const JsonValue& other) {
    if (this != &other) {
        JsonValue copy(other);
        *this = std::move(copy);
    }
    return *this;
}

JsonValue JsonValue::Boolean(bool value) {
    JsonValue v;
    v.kind_ = JsonKind::kBoolean;
    v.boolean_ = value;
    return v;
}

JsonValue JsonValue::Number(std::string lexeme) {
    JsonValue v;
    v.kind_ = JsonKind::kNumber;
    v.text_ = std::move(lexeme);
    return v;
}

JsonValue JsonValue::String(std::string text) {
    JsonValue v;
    v.kind_ = JsonKind::kString;
    v.text_ = std::move(text);
    return v;
}

JsonValue JsonValue::Array() {
    JsonValue v;
    v.kind_ = JsonKind::kArray;
    return v;
}

JsonValue JsonValue::Object() {
    JsonValue v;
    v.kind_ = JsonKind::kObject;
    return v;
}

void JsonValue::BuildIndex() const {
    auto index = std::make_unique<NameIndex>();
    index->positions.reserve(names_.size());
    for (std::size_t i = 0; i < names_.size(); ++i) index->positions.emplace(names_[i], i);
    index_ = std::move(index);
}

const JsonValue* JsonValue::Find(std::string_view name) const {
    if (names_.size() < kIndexThreshold) {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (names_[i] == name) return &items_[i];
        }
        return nullptr;
    }
    if (!index_) BuildIndex();
    const auto hit = index_->positions.find(name);
    return hit == index_->positions.end() ? nullptr : &items_[hit->second];
}

JsonValue& JsonValue::FindOrAppend(std::string_view name) {
    if (const JsonValue* found = Find(name)) return const_cast<JsonValue&>(*found);
    index_.reset();
    names_.emplace_back(name);
    items_.emplace_back();
    return items_.back();
}

void JsonValue::AppendMember(std::string name, JsonValue value) {
    index_.reset();
    names_.push_back(std::move(name));
    items_.push_back(std::move(value));
}

void JsonValue::FinishParsedObject() {
    const std::size_t count = names_.size();
    std::vector<bool> dropped;
    if (count < kIndexThreshold) {
        for (std::size_t later = 1; later < count; ++later) {
            for (std::size_t earlier = 0; earlier < later; ++earlier) {
                if (names_[earlier] == names_[later] && (dropped.empty() || !dropped[earlier])) {
                    if (dropped.empty()) dropped.assign(count, false);
                    items_[earlier] = std::move(items_[later]);
                    dropped[later] = true;
                    break;
                }
            }
        }
    } else {
        auto index = std::make_unique<NameIndex>();
        index->positions.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const auto [hit, inserted] = index->positions.emplace(names_[i], i);
            if (!inserted) {
                if (dropped.empty()) dropped.assign(count, false);
                items_[hit->second] = std::move(items_[i]);
                dropped[i] = true;
            }
        }
        if (dropped.empty()) index_ = std::move(index);
    }
    if (dropped.empty()) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (dropped[i]) continue;
        if (kept != i) {
            names_[kept] = std::move(names_[i]);
            items_[kept] = std::move(items_[i]);
        }
        ++kept;
    }
    names_.resize(kept);
    items_.resize(kept);
    index_.reset();
}

}  // namespace kestrel::net
