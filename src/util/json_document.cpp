#include "util/json_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "util/code_page.h"
#include "util/json_text.h"
#include "util/quoted_literal.h"

namespace fw {

struct JsonDocumentValue {
    JsonValue json = JsonValue::object();
    // What an empty text parses to. Only the whole value can be undefined: no member is ever set to it.
    bool undefined = false;
};

namespace {

// Names that a script engine adds to every object for its own JSON helpers; never listed as keys.
constexpr std::string_view kHelperNames[] = {"toJSONString", "parseJSON"};

// Larger indexes are plain member names to a script, never array items.
constexpr std::uint64_t kMaxArrayIndex = 4294967294u;

// GetText writes numbers with at most this many significant digits.
constexpr int kTextDigits = 13;

struct PathStep {
    std::string name;                  // UTF-8; for an index its decimal digits, the member name on objects
    std::optional<std::size_t> index;  // set when the step is an array index
};
using Path = std::vector<PathStep>;

PathStep IndexStep(long long i) {
    PathStep step{std::to_string(i), std::nullopt};
    if (i >= 0) {
        step.index = static_cast<std::size_t>(i);
    }
    return step;
}

bool IsNameStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<Path> ParsePath(std::string_view gbkPath) {
    const std::string path = GbkToUtf8(gbkPath);
    Path steps;
    std::size_t i = 0;
    while (i < path.size()) {
        if (path[i] == '[') {
            std::size_t end = i + 1;
            while (end < path.size() && IsDigit(path[end])) {
                ++end;
            }
            const std::size_t digits = end - i - 1;
            if (digits == 0 || end == path.size() || path[end] != ']' || (digits > 1 && path[i + 1] == '0')) {
                return std::nullopt;
            }
            PathStep step{path.substr(i + 1, digits), std::nullopt};
            std::uint64_t index = 0;
            const auto [last, error] = std::from_chars(path.data() + i + 1, path.data() + end, index);
            if (error == std::errc() && index <= kMaxArrayIndex) {
                step.index = static_cast<std::size_t>(index);
            }
            steps.push_back(std::move(step));
            i = end + 1;
            continue;
        }
        if (!steps.empty()) {
            if (path[i] != '.') {
                return std::nullopt;
            }
            ++i;
        }
        std::size_t end = i;
        if (end == path.size() || !IsNameStart(static_cast<unsigned char>(path[end]))) {
            return std::nullopt;
        }
        while (end < path.size() &&
               (IsNameStart(static_cast<unsigned char>(path[end])) || IsDigit(path[end]))) {
            ++end;
        }
        steps.push_back(PathStep{path.substr(i, end - i), std::nullopt});
        i = end;
    }
    return steps;
}

const JsonValue* FindMember(const JsonValue& object, std::string_view name) {
    for (const auto& [key, member] : object.get_ref<const JsonValue::object_t&>()) {
        if (key == name) {
            return &member;
        }
    }
    return nullptr;
}

JsonValue* FindMember(JsonValue& object, std::string_view name) {
    return const_cast<JsonValue*>(FindMember(std::as_const(object), name));
}

std::size_t Utf8SequenceLength(std::string_view utf8, std::size_t at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(length, utf8.size() - at);
}

// A script string counts UTF-16 units: a character beyond U+FFFF is two.
std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(utf8, i);
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units;
}

// The UTF-16 unit at `index` as a one-character string; half of a surrogate pair becomes U+FFFD.
std::optional<std::string> Utf16UnitAt(std::string_view utf8, std::size_t index) {
    std::size_t unit = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(utf8, i);
        const std::size_t units = length == 4 ? 2 : 1;
        if (index < unit + units) {
            return units == 2 ? std::string("\xEF\xBF\xBD") : std::string(utf8.substr(i, length));
        }
        unit += units;
        i += length;
    }
    return std::nullopt;
}

// What evaluating a path gives: a value, undefined, or a failed statement (a member of null or undefined).
struct Reached {
    bool failed = false;
    const JsonValue* node = nullptr;    // in the document; null when undefined
    std::optional<JsonValue> computed;  // a length or a character, made while reading

    // Only on a named result: a computed value dies with its Reached.
    const JsonValue* Get() const& { return computed ? &*computed : node; }
    const JsonValue* Get() const&& = delete;
};

Reached Failed() {
    Reached reached;
    reached.failed = true;
    return reached;
}

Reached Step(const JsonValue& current, const PathStep& step) {
    Reached next;
    if (current.is_object()) {
        next.node = FindMember(current, step.name);
    } else if (current.is_array()) {
        const auto& items = current.get_ref<const JsonValue::array_t&>();
        if (step.index) {
            next.node = *step.index < items.size() ? &items[*step.index] : nullptr;
        } else if (step.name == "length") {
            next.computed = JsonValue(items.size());
        }
    } else if (current.is_string()) {
        const auto& text = current.get_ref<const std::string&>();
        if (step.index) {
            if (std::optional<std::string> unit = Utf16UnitAt(text, *step.index)) {
                next.computed = JsonValue(std::move(*unit));
            }
        } else if (step.name == "length") {
            next.computed = JsonValue(Utf16Length(text));
        }
    }
    return next;
}

Reached Evaluate(const JsonDocumentValue* value, const Path& path) {
    if (value == nullptr) {
        return Failed();
    }
    Reached reached;
    if (!value->undefined) {
        reached.node = &value->json;
    }
    for (const PathStep& step : path) {
        const JsonValue* current = reached.Get();
        if (current == nullptr || current->is_null()) {
            return Failed();
        }
        Reached next = Step(*current, step);
        reached = std::move(next);
    }
    return reached;
}

// `allowEmpty` is false for the operations whose statement is root + "." + path, which an empty path
// leaves incomplete.
Reached Lookup(const JsonDocumentValue* value, std::string_view path, bool allowEmpty) {
    const std::optional<Path> steps = ParsePath(path);
    if (!steps || (steps->empty() && !allowEmpty)) {
        return Failed();
    }
    return Evaluate(value, *steps);
}

Reached LookupItem(const JsonDocumentValue* value, std::string_view path, int i) {
    std::optional<Path> steps = ParsePath(path);
    if (!steps) {
        return Failed();
    }
    steps->push_back(IndexStep(i));
    return Evaluate(value, *steps);
}

// The container that holds the last step of `path`; null where a script would throw or the assignment
// would have no effect (a parent that is missing, null or not a container).
JsonValue* ParentOf(JsonDocumentValue& value, const Path& path) {
    if (value.undefined) {
        return nullptr;
    }
    JsonValue* current = &value.json;
    for (std::size_t s = 0; s + 1 < path.size(); ++s) {
        const PathStep& step = path[s];
        if (current->is_object()) {
            current = FindMember(*current, step.name);
        } else if (current->is_array() && step.index) {
            auto& items = current->get_ref<JsonValue::array_t&>();
            current = *step.index < items.size() ? &items[*step.index] : nullptr;
        } else {
            return nullptr;
        }
        if (current == nullptr) {
            return nullptr;
        }
    }
    return current->is_object() || current->is_array() ? current : nullptr;
}

// The slot of `step` in `parent`, made (null) when missing; null where nothing can be stored: a named
// member of an array, an index too far past the array's end.
JsonValue* SlotIn(JsonValue& parent, const PathStep& step) {
    if (parent.is_object()) {
        if (JsonValue* member = FindMember(parent, step.name)) {
            return member;
        }
        auto& members = parent.get_ref<JsonValue::object_t&>();
        members.emplace_back(step.name, nullptr);
        return &members.back().second;
    }
    auto& items = parent.get_ref<JsonValue::array_t&>();
    if (!step.index) {
        return nullptr;
    }
    if (*step.index >= items.size()) {
        if (*step.index >= kMaxPaddedItems) {
            return nullptr;
        }
        items.resize(*step.index + 1);
    }
    return &items[*step.index];
}

// array.length = value: truncates or pads with null; a value that is not a valid length changes nothing.
void SetLength(JsonValue& array, const JsonValue& length) {
    if (!length.is_number()) {
        return;
    }
    const double wanted = length.get<double>();
    if (!(wanted >= 0) || wanted != std::floor(wanted) || wanted > 4294967295.0) {
        return;
    }
    auto& items = array.get_ref<JsonValue::array_t&>();
    const auto size = static_cast<std::size_t>(wanted);
    if (size > items.size() && size > kMaxPaddedItems) {
        return;
    }
    items.resize(size);
}

bool TooDeep(std::size_t steps, int valueDepth) {
    return steps + static_cast<std::size_t>(valueDepth) > static_cast<std::size_t>(kMaxJsonDepth);
}

void AssignAt(JsonDocumentValue* value, const Path& path, JsonValue newValue, int depth) {
    if (value == nullptr || path.empty() || TooDeep(path.size(), depth)) {
        return;
    }
    JsonValue* parent = ParentOf(*value, path);
    if (parent == nullptr) {
        return;
    }
    const PathStep& last = path.back();
    if (parent->is_array() && !last.index) {
        if (last.name == "length") {
            SetLength(*parent, newValue);
        }
        return;
    }
    if (JsonValue* slot = SlotIn(*parent, last)) {
        *slot = std::move(newValue);
    }
}

void AssignAtPath(JsonDocumentValue* value, std::string_view path, JsonValue newValue, int depth) {
    if (const std::optional<Path> steps = ParsePath(path)) {
        AssignAt(value, *steps, std::move(newValue), depth);
    }
}

// A JSON value given as GBK text.
std::optional<ParsedJson> ReadExpression(std::string_view gbk) {
    if (gbk.size() > kMaxJsonTextBytes) {
        return std::nullopt;
    }
    return ReadJsonText(GbkToUtf8(gbk));
}

// A text value, as the string literal '...' around it reads.
std::optional<ParsedJson> ReadTextValue(std::string_view gbk) {
    if (gbk.size() > kMaxJsonTextBytes) {
        return std::nullopt;
    }
    std::optional<std::string> text = DecodeSingleQuotedLiteral(GbkToUtf8(gbk));
    if (!text) {
        return std::nullopt;
    }
    return ParsedJson{JsonValue(std::move(*text)), 0};
}

std::optional<ParsedJson> ReadValue(std::string_view v, bool raw) {
    return raw ? ReadExpression(v) : ReadTextValue(v);
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

// A string holding a decimal number (spaces around allowed) as that number; 0 otherwise.
double DecimalValue(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) {
        return 0;
    }
    text = text.substr(first, text.find_last_not_of(" \t\r\n\v\f") - first + 1);
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !(IsDigit(text[0]) || text[0] == '.')) {
        return 0;
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return 0;
    }
    return negative ? -number : number;
}

double NumberOf(const JsonValue* value) {
    if (value == nullptr) {
        return 0;
    }
    if (value->is_number()) {
        return value->get<double>();
    }
    if (value->is_boolean()) {
        return value->get<bool>() ? 1 : 0;
    }
    if (value->is_string()) {
        return DecimalValue(value->get_ref<const std::string&>());
    }
    return 0;
}

// A script's String(value), with null as the empty text.
std::string ScriptText(const JsonValue& value) {
    switch (value.type()) {
        case JsonValue::value_t::boolean:
            return value.get<bool>() ? "true" : "false";
        case JsonValue::value_t::number_integer:
        case JsonValue::value_t::number_unsigned:
        case JsonValue::value_t::number_float:
            return ScriptNumberText(value.get<double>());
        case JsonValue::value_t::string:
            return value.get<std::string>();
        case JsonValue::value_t::object:
            return "[object Object]";
        case JsonValue::value_t::array: {
            std::string joined;
            bool first = true;
            for (const JsonValue& item : value.get_ref<const JsonValue::array_t&>()) {
                if (!first) {
                    joined.push_back(',');
                }
                first = false;
                joined += ScriptText(item);
            }
            return joined;
        }
        default:
            return {};
    }
}

Text TextOf(const Reached& reached) {
    const JsonValue* value = reached.Get();
    if (value == nullptr) {
        return {};
    }
    if (value->is_number()) {
        return ScriptNumberText(value->get<double>(), kTextDigits);
    }
    return Utf8ToGbk(ScriptText(*value));
}

Text JsonOf(const Reached& reached) {
    const JsonValue* value = reached.Get();
    return value == nullptr ? Text() : Utf8ToGbk(WriteJsonText(*value));
}

std::shared_ptr<JsonDocumentValue> CopyOf(const Reached& reached) {
    auto copy = std::make_shared<JsonDocumentValue>();
    if (const JsonValue* value = reached.Get()) {
        copy->json = *value;
    } else {
        copy->undefined = true;
    }
    return copy;
}

// array.splice(i, 1): a negative i counts from the end.
void SpliceOne(JsonValue& array, long long i) {
    auto& items = array.get_ref<JsonValue::array_t&>();
    const auto size = static_cast<long long>(items.size());
    const long long start = i < 0 ? std::max(size + i, 0LL) : std::min(i, size);
    if (start < size) {
        items.erase(items.begin() + start);
    }
}

// "-12" and "3"; anything else is not an index.
std::optional<long long> WholeNumber(std::string_view text) {
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

JsonDocument::JsonDocument() {
    Init();
}

JsonDocument::JsonDocument(std::shared_ptr<JsonDocumentValue> value) : value_(std::move(value)) {}

JsonDocument::~JsonDocument() = default;
JsonDocument::JsonDocument(JsonDocument&&) noexcept = default;
JsonDocument& JsonDocument::operator=(JsonDocument&&) noexcept = default;

JsonDocument JsonDocument::Copy() const {
    return JsonDocument(value_);
}

void JsonDocument::Init() {
    value_ = std::make_shared<JsonDocumentValue>();
}

bool JsonDocument::Parse(std::string_view text) {
    auto parsed = std::make_shared<JsonDocumentValue>();
    parsed->json = nullptr;
    value_ = parsed;
    if (text.size() > kMaxJsonTextBytes) {
        return false;
    }
    const std::string utf8 = GbkToUtf8(text);
    if (IsBlank(utf8)) {
        parsed->undefined = true;
        return false;
    }
    std::optional<ParsedJson> read = ReadJsonText(utf8);
    if (!read) {
        return false;
    }
    parsed->json = std::move(read->value);
    return !parsed->json.is_null();
}

Text JsonDocument::ToJson() const {
    if (!value_ || value_->undefined) {
        return {};
    }
    return Utf8ToGbk(WriteJsonText(value_->json));
}

void JsonDocument::SetMember(std::string_view path, std::string_view v, bool isObject) {
    std::optional<ParsedJson> value = isObject ? ReadExpression(v.empty() ? "{}" : v) : ReadTextValue(v);
    if (value) {
        AssignAtPath(value_.get(), path, std::move(value->value), value->depth);
    }
}

void JsonDocument::SetMemberExpr(std::string_view path, std::string_view expression) {
    if (std::optional<ParsedJson> value = ReadExpression(expression)) {
        AssignAtPath(value_.get(), path, std::move(value->value), value->depth);
    }
}

void JsonDocument::SetMemberNumber(std::string_view path, double number) {
    AssignAtPath(value_.get(), path, JsonValue(number), 0);
}

double JsonDocument::GetNumber(std::string_view path) const {
    const Reached reached = Lookup(value_.get(), path, false);
    return NumberOf(reached.Get());
}

Text JsonDocument::GetMemberJson(std::string_view path) const {
    return JsonOf(Lookup(value_.get(), path, false));
}

Text JsonDocument::GetText(std::string_view path, bool asJson) const {
    const Reached reached = Lookup(value_.get(), path, true);
    return asJson ? JsonOf(reached) : TextOf(reached);
}

JsonDocument JsonDocument::GetObject(std::string_view path) const {
    return JsonDocument(CopyOf(Lookup(value_.get(), path, true)));
}

int JsonDocument::MemberCount(std::string_view path) const {
    const Reached reached = Lookup(value_.get(), path, true);
    const JsonValue* value = reached.Get();
    if (value == nullptr || !(value->is_object() || value->is_array())) {
        return 0;
    }
    return static_cast<int>(value->size());
}

void JsonDocument::PushItem(std::string_view v, std::string_view path, bool raw) {
    if (!value_) {
        return;
    }
    // A raw empty value is push() with no argument: the array is still made, nothing is added.
    const bool addsItem = !(raw && v.empty());
    std::optional<ParsedJson> item;
    if (addsItem) {
        item = ReadValue(v, raw);
        if (!item) {
            return;
        }
    }
    const std::optional<Path> steps = ParsePath(path);
    if (!steps || TooDeep(steps->size() + 1, item ? item->depth : 0)) {
        return;
    }
    JsonValue* target = nullptr;
    if (steps->empty()) {
        if (value_->undefined) {
            value_->undefined = false;
            value_->json = JsonValue::array();
        }
        target = &value_->json;
    } else {
        JsonValue* parent = ParentOf(*value_, *steps);
        if (parent == nullptr || (parent->is_array() && !steps->back().index)) {
            return;
        }
        target = SlotIn(*parent, steps->back());
        if (target == nullptr) {
            return;
        }
    }
    if (!target->is_array()) {
        *target = JsonValue::array();
    }
    if (item) {
        target->push_back(std::move(item->value));
    }
}

JsonDocument JsonDocument::GetItemObject(int i, std::string_view path) const {
    return JsonDocument(CopyOf(LookupItem(value_.get(), path, i)));
}

Text JsonDocument::GetItemText(int i, std::string_view path, bool asJson) const {
    const Reached reached = LookupItem(value_.get(), path, i);
    return asJson ? JsonOf(reached) : TextOf(reached);
}

void JsonDocument::SetItem(int i, std::string_view v, bool raw) {
    if (std::optional<ParsedJson> value = ReadValue(v, raw)) {
        AssignAt(value_.get(), Path{IndexStep(i)}, std::move(value->value), value->depth);
    }
}

void JsonDocument::RemoveItem(int i) {
    if (value_ && !value_->undefined && value_->json.is_array()) {
        SpliceOne(value_->json, i);
    }
}

void JsonDocument::RemoveByPath(std::string_view path) {
    const std::size_t open = path.find('[');
    if (!value_ || open == std::string_view::npos || open == 0 || path.back() != ']') {
        return;
    }
    const std::optional<long long> index = WholeNumber(path.substr(open + 1, path.size() - open - 2));
    const std::optional<Path> steps = ParsePath(path.substr(0, open));
    if (!index || !steps || steps->empty()) {
        return;
    }
    JsonValue* parent = ParentOf(*value_, *steps);
    if (parent == nullptr) {
        return;
    }
    const PathStep& last = steps->back();
    JsonValue* array = nullptr;
    if (parent->is_object()) {
        array = FindMember(*parent, last.name);
    } else if (last.index && *last.index < parent->size()) {
        array = &(*parent)[*last.index];
    }
    if (array != nullptr && array->is_array()) {
        SpliceOne(*array, *index);
    }
}

void JsonDocument::ResetAs(int typeCode) {
    if (!value_) {
        return;
    }
    if (typeCode == kJsonTypeNull || typeCode == kJsonTypeObject) {
        value_->json = JsonValue::object();
    } else if (typeCode == kJsonTypeArray) {
        value_->json = JsonValue::array();
    } else {
        return;
    }
    value_->undefined = false;
}

void JsonDocument::Assign(std::string_view v, bool raw) {
    std::optional<ParsedJson> value = ReadValue(v, raw);
    if (value_ && value) {
        value_->json = std::move(value->value);
        value_->undefined = false;
    }
}

bool JsonDocument::HasMember(std::string_view path) const {
    const Reached reached = Lookup(value_.get(), path, false);
    const JsonValue* value = reached.Get();
    return value != nullptr && !value->is_null();
}

int JsonDocument::Keys(std::string_view path, TextList& list) const {
    list.clear();
    const Reached reached = Lookup(value_.get(), path, true);
    const JsonValue* value = reached.Get();
    if (value == nullptr) {
        return 0;
    }
    if (value->is_object()) {
        for (const auto& [name, member] : value->get_ref<const JsonValue::object_t&>()) {
            if (std::find(std::begin(kHelperNames), std::end(kHelperNames), name) == std::end(kHelperNames)) {
                list.push_back(Utf8ToGbk(name));
            }
        }
    } else if (value->is_array()) {
        for (std::size_t i = 0; i < value->size(); ++i) {
            list.push_back(std::to_string(i));
        }
    }
    return static_cast<int>(list.size());
}

int JsonDocument::TypeOf(std::string_view path) const {
    const Reached reached = Lookup(value_.get(), path, true);
    const JsonValue* value = reached.Get();
    if (value == nullptr) {
        return kJsonTypeNull;
    }
    switch (value->type()) {
        case JsonValue::value_t::boolean:
            return kJsonTypeBoolean;
        case JsonValue::value_t::number_integer:
        case JsonValue::value_t::number_unsigned:
        case JsonValue::value_t::number_float:
            return kJsonTypeNumber;
        case JsonValue::value_t::object:
            return kJsonTypeObject;
        case JsonValue::value_t::array:
            return kJsonTypeArray;
        case JsonValue::value_t::string:
            return kJsonTypeString;
        default:
            return kJsonTypeNull;
    }
}

void JsonDocument::Clear() {
    ResetAs(kJsonTypeObject);
}

}  // namespace fw
