#include "util/json_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fw {
namespace {

// Up to this many members a repeated name is found by a plain search; larger objects get an index so
// that an answer with a million members is read in linear time.
constexpr std::size_t kLinearMemberSearch = 16;

// Builds the value from the parser's events. The parser itself keeps no recursion; this builder refuses
// to open a level beyond kMaxJsonDepth, which ends the parse.
class BoundedBuilder {
  public:
    using Members = JsonValue::object_t::Container;

    JsonValue root;
    int maxDepth = 0;

    bool null() {
        Put(JsonValue(nullptr));
        return true;
    }
    bool boolean(bool value) {
        Put(JsonValue(value));
        return true;
    }
    bool number_integer(JsonValue::number_integer_t value) {
        Put(JsonValue(value));
        return true;
    }
    bool number_unsigned(JsonValue::number_unsigned_t value) {
        Put(JsonValue(value));
        return true;
    }
    bool number_float(JsonValue::number_float_t value, const std::string&) {
        Put(JsonValue(value));
        return true;
    }
    bool string(std::string& value) {
        Put(JsonValue(std::move(value)));
        return true;
    }
    bool binary(JsonValue::binary_t&) { return false; }

    bool start_object(std::size_t) { return Open(JsonValue::object()); }
    bool start_array(std::size_t) { return Open(JsonValue::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(std::string& name) {
        OpenContainer& open = open_.back();
        Members& members = open.node->get_ref<JsonValue::object_t&>();
        std::size_t position = FindMember(open, members, name);
        if (position == members.size()) {
            members.emplace_back(name, nullptr);
            if (!open.positions.empty()) {
                open.positions.emplace(std::move(name), position);
            }
        }
        member_ = &members[position].second;
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

  private:
    struct OpenContainer {
        JsonValue* node;
        std::unordered_map<std::string, std::size_t> positions;  // filled once the object is large
    };

    static std::size_t FindMember(OpenContainer& open, const Members& members, const std::string& name) {
        if (open.positions.empty()) {
            if (members.size() < kLinearMemberSearch) {
                for (std::size_t i = 0; i < members.size(); ++i) {
                    if (members[i].first == name) {
                        return i;
                    }
                }
                return members.size();
            }
            for (std::size_t i = 0; i < members.size(); ++i) {
                open.positions.emplace(members[i].first, i);
            }
        }
        const auto found = open.positions.find(name);
        return found == open.positions.end() ? members.size() : found->second;
    }

    // Places a finished value in its container (or as the root) and returns where it now lives. A
    // container stays the last item of its parent while it is open, so the pointers kept for open
    // containers stay valid.
    JsonValue* Put(JsonValue&& value) {
        if (open_.empty()) {
            root = std::move(value);
            return &root;
        }
        JsonValue& parent = *open_.back().node;
        if (parent.is_array()) {
            auto& items = parent.get_ref<JsonValue::array_t&>();
            items.push_back(std::move(value));
            return &items.back();
        }
        *member_ = std::move(value);
        return member_;
    }

    bool Open(JsonValue&& container) {
        if (open_.size() >= static_cast<std::size_t>(kMaxJsonDepth)) {
            return false;
        }
        JsonValue* node = Put(std::move(container));
        open_.push_back(OpenContainer{node, {}});
        maxDepth = std::max(maxDepth, static_cast<int>(open_.size()));
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    std::vector<OpenContainer> open_;
    JsonValue* member_ = nullptr;
};

void AppendQuoted(std::string_view text, std::string& out) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    out.push_back('"');
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out.push_back(kHexDigits[(c >> 4) & 0x0F]);
                    out.push_back(kHexDigits[c & 0x0F]);
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

void AppendJson(const JsonValue& value, std::string& out) {
    switch (value.type()) {
        case JsonValue::value_t::boolean:
            out += value.get<bool>() ? "true" : "false";
            return;
        case JsonValue::value_t::number_integer:
        case JsonValue::value_t::number_unsigned:
        case JsonValue::value_t::number_float: {
            const double number = value.get<double>();
            out += std::isfinite(number) ? ScriptNumberText(number) : "null";
            return;
        }
        case JsonValue::value_t::string:
            AppendQuoted(value.get_ref<const std::string&>(), out);
            return;
        case JsonValue::value_t::array: {
            out.push_back('[');
            bool first = true;
            for (const JsonValue& item : value.get_ref<const JsonValue::array_t&>()) {
                if (!first) {
                    out.push_back(',');
                }
                first = false;
                AppendJson(item, out);
            }
            out.push_back(']');
            return;
        }
        case JsonValue::value_t::object: {
            out.push_back('{');
            bool first = true;
            for (const auto& [name, member] : value.get_ref<const JsonValue::object_t&>()) {
                if (!first) {
                    out.push_back(',');
                }
                first = false;
                AppendQuoted(name, out);
                out.push_back(':');
                AppendJson(member, out);
            }
            out.push_back('}');
            return;
        }
        default:
            out += "null";
    }
}

}  // namespace

std::optional<ParsedJson> ReadJsonText(std::string_view utf8) {
    BoundedBuilder builder;
    const bool complete = JsonValue::sax_parse(utf8, &builder, JsonValue::input_format_t::json,
                                               /*strict=*/true, /*ignore_comments=*/true);
    if (!complete) {
        return std::nullopt;
    }
    return ParsedJson{std::move(builder.root), builder.maxDepth};
}

std::string WriteJsonText(const JsonValue& value) {
    std::string out;
    AppendJson(value, out);
    return out;
}

std::string ScriptNumberText(double number, int significantDigits) {
    if (std::isnan(number)) {
        return "NaN";
    }
    if (std::isinf(number)) {
        return number < 0 ? "-Infinity" : "Infinity";
    }
    if (number == 0) {
        return "0";  // minus zero too
    }
    char buffer[64];
    const double magnitude = std::fabs(number);
    const std::to_chars_result written =
        significantDigits > 0
            ? std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific,
                            significantDigits - 1)
            : std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));

    // "d.ddde+XX": split into the digits and the power of ten of the first digit.
    const std::size_t exponentAt = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(0, exponentAt)) {
        if (c != '.') {
            digits.push_back(c);
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int exponent = std::atoi(std::string(scientific.substr(exponentAt + 1)).c_str());

    const int k = static_cast<int>(digits.size());
    const int n = exponent + 1;  // the decimal point sits after the first n digits
    std::string text = number < 0 ? "-" : "";
    if (k <= n && n <= 21) {
        text += digits;
        text.append(static_cast<std::size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        text += digits.substr(0, static_cast<std::size_t>(n));
        text.push_back('.');
        text += digits.substr(static_cast<std::size_t>(n));
    } else if (-6 < n && n <= 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-n), '0');
        text += digits;
    } else {
        text.push_back(digits[0]);
        if (k > 1) {
            text.push_back('.');
            text += digits.substr(1);
        }
        text += n - 1 >= 0 ? "e+" : "e-";
        text += std::to_string(std::abs(n - 1));
    }
    return text;
}

}  // namespace fw
