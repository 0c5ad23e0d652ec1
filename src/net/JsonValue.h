#pragma once

// JsonValue is one node of the JSON document's value tree: null, a boolean, a
// number kept as the exact text it was written with, a string, an array, or an
// object whose members stay in the order they were parsed or added.
//
// Objects with many members (an asset index has thousands) get a name index
// the first time a member is looked up, so reading every member by name costs
// linear time in total. The index is rebuilt after any change of the names.
//
// Threading: a value is used by one thread at a time; even lookups may build
// the name index, so two threads must not read one value at once.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::net {

// The kind codes reported by JsonDocument::TypeOf; a missing value is kNull.
enum class JsonKind : std::uint8_t {
    kNull = 0,
    kBoolean = 1,
    kNumber = 2,
    kObject = 4,
    kArray = 5,
    kString = 6,
};

class JsonValue {
public:
    JsonValue();
    ~JsonValue();
    JsonValue(const JsonValue& other);
    JsonValue& operator=(const JsonValue& other);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(JsonValue&&) noexcept;

    static JsonValue Boolean(bool value);
    // A number with its lexeme, which must be a valid JSON number.
    static JsonValue Number(std::string lexeme);
    static JsonValue String(std::string text);
    static JsonValue Array();
    static JsonValue Object();

    JsonKind kind() const { return kind_; }
    bool is_object() const { return kind_ == JsonKind::kObject; }
    bool is_array() const { return kind_ == JsonKind::kArray; }

    bool boolean() const { return boolean_; }
    // A string's text or a number's lexeme; empty for other kinds.
    const std::string& text() const { return text_; }

    // Elements of an array, or values of an object's members, in order.
    std::size_t size() const { return items_.size(); }
    const JsonValue& at(std::size_t i) const { return items_[i]; }
    JsonValue& at(std::size_t i) { return items_[i]; }

    // Array elements.
    void Append(JsonValue element) { items_.push_back(std::move(element)); }
    void Resize(std::size_t count) { items_.resize(count); }

    // Object members.
    const std::string& name(std::size_t i) const { return names_[i]; }
    const JsonValue* Find(std::string_view name) const;
    // The member of that name, appended as null at the end when missing.
    JsonValue& FindOrAppend(std::string_view name);
    // Appends a member without looking for an earlier one of the same name;
    // the parser does this and calls FinishParsedObject at the closing brace.
    void AppendMember(std::string name, JsonValue value);
    // Lets a later member replace an earlier one of the same name (the later
    // value takes the earlier member's place in the order).
    void FinishParsedObject();

private:
    struct NameIndex;

    void BuildIndex() const;

    JsonKind kind_ = JsonKind::kNull;
    bool boolean_ = false;
    std::string text_;
    std::vector<JsonValue> items_;
    std::vector<std::string> names_;  // parallel to items_ for objects
    mutable std::unique_ptr<NameIndex> index_;
};

}  // namespace kestrel::net
