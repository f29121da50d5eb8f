#pragma once

// A JSON value answered by path, such as "list[0].url". Each operation behaves as the short script
// statement it stands for (the value is the script variable "da"), but works directly on the parsed
// value instead of evaluating script.
//
// Paths: a chain of member names and [index] steps: "state", "list[0].url", "[0]", "a.b[2][0]". A name
// is a script identifier (ASCII letters, digits, "_", "$" and any non-ASCII character, not starting with
// a digit); an index is a decimal number without leading zeros; no spaces. A path that is not of this
// form is a failed statement: an empty result or no change. Reading a member of null or of a missing
// value fails the same way; a missing last step is simply undefined. On an array and on a string,
// "length" is the number of items or of UTF-16 units; a string's [index] is its UTF-16 unit there.
// Inherited script members (toString, push, ...) do not exist here. An empty path names the whole value,
// except for SetMember, SetMemberExpr, SetMemberNumber, GetNumber, GetMemberJson and HasMember, whose
// statement (root + "." + path) it leaves incomplete: there it is a failed statement. A path starting
// with "[" works with every operation.
//
// Texts in and out are GBK. Value arguments are taken as their statements take them: a plain text value
// as a script string literal between single quotes (so a single quote or a line break in it makes the
// call change nothing, and backslash escapes count), an expression or raw value as JSON text.
//
// Where the statements leave the result open, this class decides:
// - Values are JSON only: JSON text is parsed, comments allowed; a script expression that is not JSON
//   (an unquoted name, a function call, undefined) is invalid. A lone JSON string stays that string (it is
//   never evaluated again as code).
// - Texts of more than kMaxJsonTextBytes and values nested deeper than kMaxJsonDepth (512 levels) are
//   refused (kMaxJsonDepth is in util/json_text.h), by Parse as by the setters, so that an answer cannot
//   exhaust the stack or the memory.
// - Numbers are script numbers (doubles): integers beyond 2^53 lose their last digits, and a number
//   beyond the range of a double makes the text invalid. ToJson and the JSON texts write the shortest
//   digits that read back the same ("2.0" becomes "2"); GetText and GetItemText round to 13 digits.
// - GetText and GetItemText write booleans as "true" and "false", objects as "[object Object]" and
//   arrays as their items' texts joined with ",", as a script's String() does.
// - GetNumber reads booleans as 1 and 0, a string holding a decimal number as that number, and anything
//   else (null, missing, other strings, objects, arrays) as 0.
// - An array keeps only its items: writing a named member other than "length" to an array changes
//   nothing. Writing an item past the end fills the gap with null; no array is grown past
//   kMaxPaddedItems that way, further writes change nothing.
// - A member is never set to undefined: an empty expression changes nothing.
// - RemoveByPath takes exactly name[i], i a whole number; any other path changes nothing.
//
// A document belongs to the thread that uses it. Copy shares the value: a change through either
// document is seen by both, until one of them runs Init or Parse, which gives it a value of its own. A
// moved-from document has no value: it reads as empty, ignores changes, and Init or Parse revive it.

#include <cstddef>
#include <memory>
#include <string_view>

#include "util/types.h"

namespace fw {

// Results of TypeOf and arguments of ResetAs.
inline constexpr int kJsonTypeNull = 0;  // null or undefined
inline constexpr int kJsonTypeBoolean = 1;
inline constexpr int kJsonTypeNumber = 2;
inline constexpr int kJsonTypeObject = 4;
inline constexpr int kJsonTypeArray = 5;
inline constexpr int kJsonTypeString = 6;
inline constexpr int kJsonTypeOther = -1;  // a function; no value here has this type

// Parse and the setters refuse longer texts; the request routines never read a larger body either.
inline constexpr std::size_t kMaxJsonTextBytes = 16u * 1024u * 1024u;

// Writing an item at this index or beyond a shorter array's end changes nothing.
inline constexpr std::size_t kMaxPaddedItems = 1u << 20;

// The value that a document and its copies share.
struct JsonDocumentValue;

class JsonDocument {
  public:
    // An empty object.
    JsonDocument();
    ~JsonDocument();
    JsonDocument(JsonDocument&&) noexcept;
    JsonDocument& operator=(JsonDocument&&) noexcept;
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    // A second document on the same value.
    JsonDocument Copy() const;

    // Gives this document a value of its own, an empty object.
    void Init();

    // Replaces the value with the one `text` holds, in a value of its own. False for a text that is not
    // JSON (the value is then null), for an empty text (the value is undefined) and for the text "null".
    bool Parse(std::string_view text);

    // The value as JSON text; empty when it is undefined.
    Text ToJson() const;

    // path = 'v' (a string), or with `isObject` path = the JSON value `v` ("{}" when `v` is empty).
    void SetMember(std::string_view path, std::string_view v, bool isObject = false);
    void SetMemberExpr(std::string_view path, std::string_view expression);
    void SetMemberNumber(std::string_view path, double number);

    // The member as a number (see above for values that are not numbers); 0 when missing.
    double GetNumber(std::string_view path) const;
    // The member as JSON text; empty when it is undefined or the path fails.
    Text GetMemberJson(std::string_view path) const;

    // The member as text: a string without quotes, a number in at most 13 significant digits ("3",
    // "2.5"), empty for null and missing. With `asJson` its JSON text. An empty path means the value.
    Text GetText(std::string_view path, bool asJson = false) const;

    // A new document holding a copy of the member, independent of this one. Its value is undefined when
    // the member is missing.
    JsonDocument GetObject(std::string_view path) const;

    // Members of an object or items of an array; 0 for anything else.
    int MemberCount(std::string_view path = {}) const;

    // Appends an item (a string, or with `raw` the JSON value `v`) to the array at `path`; a value there
    // that is not an array is first replaced by an empty one. With `raw` and an empty `v` only that
    // replacement happens.
    void PushItem(std::string_view v, std::string_view path = {}, bool raw = false);
    // Item `i` of the array at `path` (the member named i of an object), as GetObject and GetText give it.
    JsonDocument GetItemObject(int i, std::string_view path = {}) const;
    Text GetItemText(int i, std::string_view path = {}, bool asJson = false) const;

    // Item `i` of the value (the member named i when the value is an object) = v.
    void SetItem(int i, std::string_view v, bool raw = false);
    // Removes item `i` of an array value; a negative `i` counts from the end.
    void RemoveItem(int i);
    // `path` is name[i]: removes item i of the array member name.
    void RemoveByPath(std::string_view path);

    // kJsonTypeNull or kJsonTypeObject: an empty object; kJsonTypeArray: an empty array; else no change.
    void ResetAs(int typeCode);
    // The value = v (a string, or with `raw` the JSON value `v`).
    void Assign(std::string_view v, bool raw = false);

    // True when the member exists and is not null.
    bool HasMember(std::string_view path) const;

    // Replaces `list` with the member names of the object (the indexes of the array) at `path`, in order,
    // and returns their number. The names "toJSONString" and "parseJSON" are never listed.
    int Keys(std::string_view path, TextList& list) const;

    int TypeOf(std::string_view path = {}) const;

    // The value = an empty object.
    void Clear();

  private:
    explicit JsonDocument(std::shared_ptr<JsonDocumentValue> value);

    std::shared_ptr<JsonDocumentValue> value_;
};

}  // namespace fw
