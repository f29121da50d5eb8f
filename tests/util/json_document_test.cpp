#include "util/json_document.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "util/code_page.h"
#include "util/codec.h"
#include "util/json_text.h"

namespace fw {
namespace {

// Source files are UTF-8; the document takes and gives GBK.
Text Gbk(std::string_view utf8) {
    return Utf8ToGbk(utf8);
}

JsonDocument Parsed(std::string_view text) {
    JsonDocument document;
    EXPECT_TRUE(document.Parse(text)) << text;
    return document;
}

std::string Nested(int depth, std::string_view inner = "") {
    return std::string(static_cast<std::size_t>(depth), '[') + std::string(inner) +
           std::string(static_cast<std::size_t>(depth), ']');
}

const char kCheckAnswer[] = R"({"list":[{"pathName":"\\x.exe","url":"http://h/x","md5":"ab"}]})";

// ---- The update check's reads ----------------------------------------------------------------------

TEST(JsonDocumentUpdateFlow, CheckAnswerIsReadByItsPaths) {
    const JsonDocument document = Parsed(kCheckAnswer);
    EXPECT_EQ(document.GetText("list[0].url"), "http://h/x");
    EXPECT_EQ(document.GetText("list[0].md5"), "ab");
    EXPECT_EQ(document.GetText("list[0].pathName"), "\\x.exe");
    EXPECT_EQ(document.GetText("list[0].url", true), "\"http://h/x\"");
    EXPECT_EQ(document.GetText("list[0].pathName", true), "\"\\\\x.exe\"");
}

TEST(JsonDocumentUpdateFlow, PercentEncodedAnswerReadsTheSameAfterUrlDecode) {
    const Text encoded = UrlEncode(kCheckAnswer);
    ASSERT_EQ(encoded.find('{'), std::string::npos);
    const JsonDocument document = Parsed(UrlDecode(encoded, true));
    EXPECT_EQ(document.GetText("list[0].url"), "http://h/x");
    EXPECT_EQ(document.GetText("list[0].md5"), "ab");
}

TEST(JsonDocumentUpdateFlow, AnswersWithoutAFirstItemGiveEmptyTexts) {
    for (const char* answer : {R"({"list":[]})", R"({"other":1})", R"({"list":{}})", R"({"list":null})"}) {
        JsonDocument document;
        EXPECT_TRUE(document.Parse(answer));
        EXPECT_EQ(document.GetText("list[0].url"), "") << answer;
        EXPECT_EQ(document.GetText("list[0].md5"), "") << answer;
    }
}

TEST(JsonDocumentUpdateFlow, NotesStateZeroIsTheNumberNotTheString) {
    struct Case {
        const char* answer;
        const char* stateJson;
        const char* stateText;
    };
    const Case cases[] = {
        {R"({"state":0,"msg":"新版本说明"})", "0", "0"},
        {R"({"state":0.0,"msg":"新版本说明"})", "0", "0"},
        {R"({"state":"0","msg":"新版本说明"})", "\"0\"", "0"},
        {R"({"state":1,"msg":"新版本说明"})", "1", "1"},
        {R"({"msg":"新版本说明"})", "", ""},
    };
    for (const Case& c : cases) {
        const JsonDocument document = Parsed(Gbk(c.answer));
        const JsonDocument state = document.GetObject("state");
        EXPECT_EQ(state.ToJson(), c.stateJson) << c.answer;
        EXPECT_EQ(document.GetText("state"), c.stateText) << c.answer;
        EXPECT_EQ(document.GetText("msg"), Gbk("新版本说明")) << c.answer;
    }
}

// ---- Parse and ToJson ------------------------------------------------------------------------------

TEST(JsonDocumentParse, RefusesEmptyBrokenAndNullTexts) {
    const char* texts[] = {
        "",         "  \r\n\t", "{",      "[1,2", "{\"a\":}",   "{'a':1}",   "{a:1}", "null",
        "nonsense", "[1,2]x",   "\"open", "[1,]", "{\"a\":1,}", "undefined", "0x10",  "{\"a\":1}{\"b\":2}"};
    for (const char* text : texts) {
        JsonDocument document;
        EXPECT_FALSE(document.Parse(text)) << text;
        EXPECT_EQ(document.GetText("a"), "") << text;
        EXPECT_FALSE(document.HasMember("a")) << text;
        EXPECT_EQ(document.TypeOf(), kJsonTypeNull) << text;
    }
}

TEST(JsonDocumentParse, BlankTextLeavesUndefinedAndBrokenTextLeavesNull) {
    JsonDocument document;
    EXPECT_FALSE(document.Parse("  "));
    EXPECT_EQ(document.ToJson(), "");
    EXPECT_FALSE(document.Parse("{\"a\":"));
    EXPECT_EQ(document.ToJson(), "null");
}

TEST(JsonDocumentParse, ToJsonWritesAsJsonStringifyDoes) {
    const std::pair<const char*, const char*> cases[] = {
        {"{\"a\":1}", "{\"a\":1}"},
        {" [1, 2 ,\n3] ", "[1,2,3]"},
        {"{\"b\":1,\"a\":{\"d\":[],\"c\":{}}}", "{\"b\":1,\"a\":{\"d\":[],\"c\":{}}}"},
        {"{\"a\":1,\"b\":2,\"a\":3}", "{\"a\":3,\"b\":2}"},
        {"/* note */ {\"a\":true} // end", "{\"a\":true}"},
        {"\"s\"", "\"s\""},
        {"0", "0"},
        {"false", "false"},
        {"[2.0,1e21,1e20,0.000001,1e-7,-0,-0.0,0.1,1.5e300,-2.5,123e-20]",
         "[2,1e+21,100000000000000000000,0.000001,1e-7,0,0,0.1,1.5e+300,-2.5,1.23e-18]"},
        {"[12345678901234567890,9007199254740993,-9223372036854775808]",
         "[12345678901234567000,9007199254740992,-9223372036854776000]"},
        {R"(["q\"b\\s\/n\n\u0001\t\u001F\r\b\f"])", R"(["q\"b\\s/n\n\u0001\t\u001f\r\b\f"])"},
        {R"(["\u4e2d\u6587"])", "[\"中文\"]"},
    };
    for (const auto& [text, json] : cases) {
        JsonDocument document;
        document.Parse(Gbk(text));
        EXPECT_EQ(document.ToJson(), Gbk(json)) << text;
    }
}

TEST(JsonDocumentParse, GbkTextsAndNamesRoundTrip) {
    const Text text = Gbk(R"({"名称":"中文电影","list":["磁力"]})");
    const JsonDocument document = Parsed(text);
    EXPECT_EQ(document.ToJson(), text);
    EXPECT_EQ(document.GetText(Gbk("名称")), Gbk("中文电影"));
    EXPECT_EQ(document.GetItemText(0, "list"), Gbk("磁力"));
}

TEST(JsonDocumentParse, ParseGivesTheDocumentAFreshValue) {
    JsonDocument document = Parsed(R"({"a":1})");
    EXPECT_TRUE(document.Parse(R"({"b":2})"));
    EXPECT_FALSE(document.HasMember("a"));
    EXPECT_EQ(document.ToJson(), R"({"b":2})");
}

// ---- Reading by path -------------------------------------------------------------------------------

const char kSample[] = R"({"i":3,"f":2.5,"negZero":-0.0,"big":1234567890123456,"third":0.3333333333333333,
    "tiny":1.5e-7,"huge":1e21,"t":true,"no":false,"n":null,"s":"text","o":{"k":1},
    "a":[1,"x",null,[2,3],{"k":1},true],"e":"","emoji":"\ud83d\ude00!"})";

TEST(JsonDocumentRead, GetTextWritesEachKindOfValue) {
    const JsonDocument document = Parsed(kSample);
    const std::pair<const char*, const char*> cases[] = {
        {"i", "3"},
        {"f", "2.5"},
        {"negZero", "0"},
        {"big", "1234567890123000"},
        {"third", "0.3333333333333"},
        {"tiny", "1.5e-7"},
        {"huge", "1e+21"},
        {"t", "true"},
        {"no", "false"},
        {"n", ""},
        {"s", "text"},
        {"e", ""},
        {"o", "[object Object]"},
        {"a", "1,x,,2,3,[object Object],true"},
        {"missing", ""},
        {"o.k", "1"},
        {"a[1]", "x"},
        {"a[3][1]", "3"},
        {"a[4].k", "1"},
        {"a[9]", ""},
        {"a.length", "6"},
        {"s.length", "4"},
        {"s[1]", "e"},
        {"s[4]", ""},
        {"emoji.length", "3"},
        {"emoji[2]", "!"},
        {"n.x", ""},
        {"missing.x", ""},
        {"i.x", ""},
    };
    for (const auto& [path, text] : cases) {
        EXPECT_EQ(document.GetText(path), text) << path;
    }
}

TEST(JsonDocumentRead, GetTextAsJsonAndGetMemberJson) {
    const JsonDocument document = Parsed(kSample);
    const std::pair<const char*, const char*> cases[] = {
        {"o", R"({"k":1})"}, {"a", R"([1,"x",null,[2,3],{"k":1},true])"},
        {"n", "null"},       {"s", "\"text\""},
        {"f", "2.5"},        {"big", "1234567890123456"},
        {"missing", ""},     {"missing.x", ""},
        {"a.length", "6"},
    };
    for (const auto& [path, json] : cases) {
        EXPECT_EQ(document.GetText(path, true), json) << path;
        EXPECT_EQ(document.GetMemberJson(path), json) << path;
    }
    // An empty path names the whole value for GetText; root + "." + "" is no statement for GetMemberJson.
    EXPECT_EQ(document.GetText("", true), document.ToJson());
    EXPECT_EQ(document.GetMemberJson(""), "");
}

TEST(JsonDocumentRead, MalformedPathsAreFailedStatements) {
    JsonDocument document = Parsed(R"({"a":[{"b":1}],"c":"x"})");
    const Text before = document.ToJson();
    const char* paths[] = {"a..b", "a.", "[",     "[x]",   "a[01]", "1a",  "a b",   ".a",
                           "a[0",  "a]", "a[-1]", "a[0]b", "a[]",   "c d", "a.[0]", "a[0]..b"};
    for (const char* path : paths) {
        EXPECT_EQ(document.GetText(path), "") << path;
        EXPECT_EQ(document.TypeOf(path), kJsonTypeNull) << path;
        EXPECT_FALSE(document.HasMember(path)) << path;
        document.SetMember(path, "v");
        document.SetMemberNumber(path, 1);
        EXPECT_EQ(document.ToJson(), before) << path;
    }
    EXPECT_EQ(document.GetText("a[0].b"), "1");
    EXPECT_EQ(document.GetText("$_x9"), "");  // a valid name that is simply missing
}

TEST(JsonDocumentRead, IndexPathsOnAnArrayValue) {
    const JsonDocument document = Parsed(R"([{"k":"first"},[5,6]])");
    EXPECT_EQ(document.GetText("[0].k"), "first");
    EXPECT_EQ(document.GetText("[1][1]"), "6");
    EXPECT_EQ(document.TypeOf("[1]"), kJsonTypeArray);
    EXPECT_EQ(document.MemberCount("[1]"), 2);
    EXPECT_EQ(document.GetText("[4294967295]"), "");
}

TEST(JsonDocumentRead, NumericIndexOnAnObjectNamesTheMember) {
    const JsonDocument document = Parsed(R"({"0":"zero","list":{"1":"one"}})");
    EXPECT_EQ(document.GetText("[0]"), "zero");
    EXPECT_EQ(document.GetItemText(1, "list"), "one");
}

TEST(JsonDocumentRead, TypeOfCodes) {
    const JsonDocument document = Parsed(kSample);
    const std::pair<const char*, int> cases[] = {
        {"", kJsonTypeObject},         {"n", kJsonTypeNull},      {"missing", kJsonTypeNull},
        {"missing.x", kJsonTypeNull},  {"t", kJsonTypeBoolean},   {"f", kJsonTypeNumber},
        {"o", kJsonTypeObject},        {"a", kJsonTypeArray},     {"s", kJsonTypeString},
        {"a.length", kJsonTypeNumber}, {"s[0]", kJsonTypeString}, {"a[2]", kJsonTypeNull},
    };
    for (const auto& [path, code] : cases) {
        EXPECT_EQ(document.TypeOf(path), code) << path;
    }
    EXPECT_EQ(Parsed("[1]").TypeOf(), kJsonTypeArray);
    EXPECT_EQ(Parsed("\"x\"").TypeOf(), kJsonTypeString);
}

TEST(JsonDocumentRead, HasMemberIsDefinedAndNotNull) {
    const JsonDocument document = Parsed(kSample);
    const std::pair<const char*, bool> cases[] = {
        {"s", true},    {"e", true},        {"no", true},         {"o.k", true},
        {"a[0]", true}, {"n", false},       {"a[2]", false},      {"a.length", true},
        {"s[0]", true}, {"missing", false}, {"missing.x", false}, {"", false},
    };
    for (const auto& [path, has] : cases) {
        EXPECT_EQ(document.HasMember(path), has) << path;
    }
}

TEST(JsonDocumentRead, GetNumberConvertsWhatItCan) {
    const JsonDocument document = Parsed(
        R"({"n":2.5,"i":-7,"s":"12","sp":" -1.5e2 ","w":"abc","hex":"0x10","e":"","t":true,"f":false,
            "z":null,"o":{},"a":[1,2,3],"plus":"+4","inf":"Infinity"})");
    const std::pair<const char*, double> cases[] = {
        {"n", 2.5},      {"i", -7},      {"s", 12},   {"sp", -150}, {"w", 0}, {"hex", 0},
        {"e", 0},        {"t", 1},       {"f", 0},    {"z", 0},     {"o", 0}, {"a", 0},
        {"a.length", 3}, {"missing", 0}, {"plus", 4}, {"inf", 0},   {"", 0},
    };
    for (const auto& [path, number] : cases) {
        EXPECT_EQ(document.GetNumber(path), number) << path;
    }
}

TEST(JsonDocumentRead, MemberCountCountsMembersAndItemsOnly) {
    const JsonDocument document = Parsed(R"({"two":{"a":1,"b":2},"three":[1,2,3],"s":"abc","none":null,
        "empty":[]})");
    EXPECT_EQ(document.MemberCount(), 5);
    EXPECT_EQ(document.MemberCount("two"), 2);
    EXPECT_EQ(document.MemberCount("three"), 3);
    EXPECT_EQ(document.MemberCount("empty"), 0);
    EXPECT_EQ(document.MemberCount("s"), 0);
    EXPECT_EQ(document.MemberCount("none"), 0);
    EXPECT_EQ(document.MemberCount("missing"), 0);
    EXPECT_EQ(document.MemberCount("missing.x"), 0);
    EXPECT_EQ(Parsed("[1,2,3]").MemberCount(), 3);
}

TEST(JsonDocumentRead, KeysListsNamesInOrderAndReplacesTheList) {
    const JsonDocument document = Parsed(
        Gbk(R"({"a":1,"b":{"c":2},"toJSONString":3,"parseJSON":4,"名字":5,"xtoJSONString":6,"d,e":7})"));
    TextList list = {"old", "entries"};
    EXPECT_EQ(document.Keys("", list), 5);
    EXPECT_EQ(list, (TextList{"a", "b", Gbk("名字"), "xtoJSONString", "d,e"}));

    EXPECT_EQ(document.Keys("b", list), 1);
    EXPECT_EQ(list, TextList{"c"});

    EXPECT_EQ(Parsed("[7,8,9]").Keys("", list), 3);
    EXPECT_EQ(list, (TextList{"0", "1", "2"}));

    for (const char* path : {"missing", "b.c", "missing.x", "a..b"}) {
        list = {"stale"};
        EXPECT_EQ(document.Keys(path, list), 0) << path;
        EXPECT_TRUE(list.empty()) << path;
    }
}

// ---- Setters ---------------------------------------------------------------------------------------

TEST(JsonDocumentSet, SetMemberStoresATextAndKeepsMemberOrder) {
    JsonDocument document = Parsed(R"({"a":1,"b":2})");
    document.SetMember("a", "x");
    document.SetMember("c", Gbk("中文"));
    EXPECT_EQ(document.ToJson(), Gbk(R"({"a":"x","b":2,"c":"中文"})"));
    EXPECT_EQ(document.TypeOf("a"), kJsonTypeString);
    document.SetMember("d", "");
    EXPECT_EQ(document.GetText("d", true), "\"\"");
}

TEST(JsonDocumentSet, SetMemberReadsTheTextAsAQuotedLiteral) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(it\'s)", "it's"},
        {R"(a\nb)", "a\nb"},
        {R"(tab\tend)", "tab\tend"},
        {R"(back\\slash)", "back\\slash"},
        {R"(\x41\u4e2d)", "A中"},
        {R"(\101\60)", "A0"},
        {R"(\q\")", "q\""},
        {"line\\\ncont", "linecont"},
        {R"(say "hi")", "say \"hi\""},
    };
    for (const auto& [v, text] : cases) {
        JsonDocument document;
        document.SetMember("m", Gbk(v));
        EXPECT_EQ(document.GetText("m"), Gbk(text)) << v;
    }
}

TEST(JsonDocumentSet, TextThatWouldNotCompileLeavesTheMemberUnchanged) {
    const char* values[] = {"it's",       "'",         "raw\nbreak",  "raw\rbreak",
                            "ends in \\", R"(bad\x4)", R"(bad\u12G4)"};
    for (const char* v : values) {
        JsonDocument document = Parsed(R"({"m":"before"})");
        document.SetMember("m", v);
        document.SetMember("fresh", v);
        EXPECT_EQ(document.ToJson(), R"({"m":"before"})") << v;
    }
}

TEST(JsonDocumentSet, SetMemberAsObjectAndSetMemberExprTakeJson) {
    JsonDocument document;
    document.SetMember("o", R"({"k":[1,2]})", true);
    EXPECT_EQ(document.GetText("o.k[1]"), "2");
    document.SetMember("empty", "", true);
    EXPECT_EQ(document.GetText("empty", true), "{}");
    document.SetMemberExpr("e", R"([1,{"b":null}])");
    EXPECT_EQ(document.GetText("e", true), R"([1,{"b":null}])");
    document.SetMemberExpr("lone", "\"code()\"");
    EXPECT_EQ(document.GetText("lone"), "code()");

    const Text before = document.ToJson();
    for (const char* broken : {"[1,", "undefined", "{a:1}", "alert(1)", "'single'"}) {
        document.SetMember("o", broken, true);
        document.SetMemberExpr("e", broken);
        EXPECT_EQ(document.ToJson(), before) << broken;
    }
    document.SetMemberExpr("e", "");  // eval() of nothing: the member is not set to undefined
    EXPECT_EQ(document.ToJson(), before);
}

TEST(JsonDocumentSet, AssignmentThroughAMissingOrPlainParentChangesNothing) {
    JsonDocument document = Parsed(R"({"o":{},"s":"x","n":null,"a":[1]})");
    const Text before = document.ToJson();
    for (const char* path : {"missing.k", "s.k", "n.k", "a[5].k", "o.missing.k", "a.name", ""}) {
        document.SetMember(path, "v");
        document.SetMemberNumber(path, 1);
        document.SetMemberExpr(path, "{}");
        EXPECT_EQ(document.ToJson(), before) << path;
    }
    document.SetMember("o.k", "v");
    EXPECT_EQ(document.GetText("o.k"), "v");
}

TEST(JsonDocumentSet, SettersOnANullOrUndefinedValueChangeNothing) {
    for (const char* text : {"not json", ""}) {
        JsonDocument document;
        document.Parse(text);
        const Text before = document.ToJson();
        document.SetMember("k", "v");
        document.SetMemberNumber("k", 1);
        document.SetItem(0, "v");
        document.RemoveItem(0);
        document.PushItem("v", "k");
        EXPECT_EQ(document.ToJson(), before) << text;
        EXPECT_EQ(document.TypeOf(), kJsonTypeNull) << text;
    }
}

TEST(JsonDocumentSet, ArrayItemsAndLength) {
    JsonDocument document = Parsed(R"({"a":[1,2]})");
    document.SetMember("a[1]", "y");
    EXPECT_EQ(document.GetText("a", true), R"([1,"y"])");
    document.SetMember("a[3]", "z");
    EXPECT_EQ(document.GetText("a", true), R"([1,"y",null,"z"])");
    document.SetMemberNumber("a.length", 1);
    EXPECT_EQ(document.GetText("a", true), "[1]");
    document.SetMemberNumber("a.length", 3);
    EXPECT_EQ(document.GetText("a", true), "[1,null,null]");

    const Text before = document.ToJson();
    document.SetMemberNumber("a.length", -1);
    document.SetMemberNumber("a.length", 1.5);
    document.SetMember("a.length", "2");
    document.SetMember("a.other", "v");
    document.SetMember("a[2000000]", "far");
    document.SetMemberNumber("a.length", 5000000);
    EXPECT_EQ(document.ToJson(), before);
}

TEST(JsonDocumentSet, SetMemberNumberAndGetNumber) {
    JsonDocument document;
    const double numbers[] = {0, 2.5, -3, 1e21, 0.1 + 0.2, 123456789012345.0};
    for (const double number : numbers) {
        document.SetMemberNumber("n", number);
        EXPECT_EQ(document.GetNumber("n"), number);
        EXPECT_EQ(document.TypeOf("n"), kJsonTypeNumber);
    }
    document.SetMemberNumber("n", 0.1 + 0.2);
    EXPECT_EQ(document.GetText("n"), "0.3");
    EXPECT_EQ(document.GetText("n", true), "0.30000000000000004");
}

TEST(JsonDocumentSet, PushItemMakesAnArrayWhereThereIsNone) {
    JsonDocument document;
    document.ResetAs(kJsonTypeArray);
    document.PushItem("a");
    document.PushItem("1", "", true);
    document.PushItem(R"({"k":2})", "", true);
    EXPECT_EQ(document.ToJson(), R"(["a",1,{"k":2}])");
    EXPECT_EQ(document.MemberCount(), 3);

    const std::pair<const char*, const char*> cases[] = {
        {"{}", R"({"list":["x"]})"},
        {R"({"list":5})", R"({"list":["x"]})"},
        {R"({"list":["w"]})", R"({"list":["w","x"]})"},
        {R"({"list":[1]})", R"({"list":[1,"x"]})"},
    };
    for (const auto& [text, json] : cases) {
        JsonDocument d = Parsed(text);
        d.PushItem("x", "list");
        EXPECT_EQ(d.ToJson(), json) << text;
    }

    JsonDocument objectValue = Parsed(R"({"k":1})");
    objectValue.PushItem("x");
    EXPECT_EQ(objectValue.ToJson(), R"(["x"])");

    JsonDocument nested = Parsed(R"({"list":[1]})");
    nested.PushItem("x", "list[0]");
    EXPECT_EQ(nested.ToJson(), R"({"list":[["x"]]})");
}

TEST(JsonDocumentSet, PushItemThatWouldNotCompileChangesNothingAtAll) {
    JsonDocument document = Parsed(R"({"list":5,"arr":[]})");
    document.PushItem("it's", "list");
    document.PushItem("[1,", "list", true);
    document.PushItem("x", "missing.list");
    document.PushItem("x", "arr.length");
    EXPECT_EQ(document.ToJson(), R"({"list":5,"arr":[]})");
    // push() without an argument still turns the member into an array.
    document.PushItem("", "list", true);
    EXPECT_EQ(document.ToJson(), R"({"list":[],"arr":[]})");
}

TEST(JsonDocumentSet, SetItemOnArraysAndObjects) {
    JsonDocument array = Parsed(R"(["a","b"])");
    array.SetItem(1, "x");
    array.SetItem(3, "5", true);
    array.SetItem(-1, "z");
    array.SetItem(0, "it's");
    array.SetItem(0, "[", true);
    EXPECT_EQ(array.ToJson(), R"(["a","x",null,5])");

    JsonDocument object = Parsed(R"({"k":1})");
    object.SetItem(3, "v");
    object.SetItem(-1, "w");
    EXPECT_EQ(object.ToJson(), R"({"k":1,"3":"v","-1":"w"})");
    EXPECT_EQ(object.GetText("[3]"), "v");
}

TEST(JsonDocumentSet, RemoveItemSplicesOneItem) {
    const std::pair<int, const char*> cases[] = {
        {0, "[2,3,4]"},  {1, "[1,3,4]"},  {3, "[1,2,3]"},   {4, "[1,2,3,4]"},
        {-1, "[1,2,3]"}, {-4, "[2,3,4]"}, {-10, "[2,3,4]"},
    };
    for (const auto& [index, json] : cases) {
        JsonDocument document = Parsed("[1,2,3,4]");
        document.RemoveItem(index);
        EXPECT_EQ(document.ToJson(), json) << index;
    }
    JsonDocument object = Parsed(R"({"0":1})");
    object.RemoveItem(0);
    EXPECT_EQ(object.ToJson(), R"({"0":1})");
}

TEST(JsonDocumentSet, RemoveByPathRemovesOneItemOfANamedArray) {
    const char text[] = R"({"list":[1,2,3],"o":{"in":[4,5]},"s":"abc"})";
    const std::pair<const char*, const char*> cases[] = {
        {"list[1]", R"({"list":[1,3],"o":{"in":[4,5]},"s":"abc"})"},
        {"list[-1]", R"({"list":[1,2],"o":{"in":[4,5]},"s":"abc"})"},
        {"o.in[0]", R"({"list":[1,2,3],"o":{"in":[5]},"s":"abc"})"},
        {"list[7]", text},
        {"list", text},
        {"list[]", text},
        {"list[x]", text},
        {"list[1", text},
        {"missing[0]", text},
        {"missing.deeper[0]", text},
        {"o[0]", text},
        {"s[0]", text},
        {"[0]", text},
    };
    for (const auto& [path, json] : cases) {
        JsonDocument document = Parsed(text);
        document.RemoveByPath(path);
        EXPECT_EQ(document.ToJson(), json) << path;
    }
}

TEST(JsonDocumentSet, ResetAsAssignAndClear) {
    const std::pair<int, const char*> resets[] = {
        {kJsonTypeNull, "{}"},     {kJsonTypeObject, "{}"},  {kJsonTypeArray, "[]"},
        {kJsonTypeBoolean, "[1]"}, {kJsonTypeNumber, "[1]"}, {kJsonTypeString, "[1]"},
        {kJsonTypeOther, "[1]"},
    };
    for (const auto& [code, json] : resets) {
        JsonDocument document = Parsed("[1]");
        document.ResetAs(code);
        EXPECT_EQ(document.ToJson(), json) << code;
    }

    JsonDocument document;
    document.Assign("text");
    EXPECT_EQ(document.ToJson(), "\"text\"");
    document.Assign("[1,2]", true);
    EXPECT_EQ(document.ToJson(), "[1,2]");
    document.Assign("it's");
    document.Assign("oops", true);
    EXPECT_EQ(document.ToJson(), "[1,2]");
    document.Clear();
    EXPECT_EQ(document.ToJson(), "{}");

    JsonDocument broken;
    broken.Parse("{");
    broken.Clear();
    EXPECT_EQ(broken.ToJson(), "{}");
}

TEST(JsonDocumentItems, GetItemObjectAndGetItemText) {
    const JsonDocument document = Parsed(R"({"list":[{"u":"a"},{"u":"b","n":1.25}],"nums":[3]})");
    EXPECT_EQ(document.GetItemObject(1, "list").GetText("u"), "b");
    EXPECT_EQ(document.GetItemObject(1, "list").ToJson(), R"({"u":"b","n":1.25})");
    EXPECT_EQ(document.GetItemObject(5, "list").ToJson(), "");
    EXPECT_EQ(document.GetItemObject(5, "list").TypeOf(), kJsonTypeNull);
    EXPECT_EQ(document.GetItemText(0, "nums"), "3");
    EXPECT_EQ(document.GetItemText(0, "list", true), R"({"u":"a"})");
    EXPECT_EQ(document.GetItemText(-1, "list"), "");
    EXPECT_EQ(document.GetItemText(0, "missing.x"), "");

    const JsonDocument array = Parsed(R"(["p",["q"]])");
    EXPECT_EQ(array.GetItemText(0), "p");
    EXPECT_EQ(array.GetItemObject(1).ToJson(), R"(["q"])");
}

// ---- Copies, sub-documents and moves ---------------------------------------------------------------

TEST(JsonDocumentCopies, CopySharesTheValueUntilOneParses) {
    JsonDocument original = Parsed(R"({"x":1})");
    JsonDocument copy = original.Copy();
    copy.SetMember("y", "2");
    EXPECT_EQ(original.GetText("y"), "2");
    original.RemoveByPath("none[0]");
    original.SetMemberNumber("x", 5);
    EXPECT_EQ(copy.GetNumber("x"), 5);

    EXPECT_TRUE(copy.Parse(R"({"z":1})"));
    copy.SetMember("w", "3");
    EXPECT_EQ(original.ToJson(), R"({"x":5,"y":"2"})");
    EXPECT_EQ(copy.ToJson(), R"({"z":1,"w":"3"})");

    JsonDocument again = original.Copy();
    again.Init();
    again.SetMember("own", "1");
    EXPECT_FALSE(original.HasMember("own"));
    original.Clear();
    EXPECT_EQ(again.ToJson(), R"({"own":"1"})");
}

TEST(JsonDocumentCopies, CopyOutlivesTheOriginal) {
    JsonDocument copy;
    {
        const JsonDocument original = Parsed(R"({"k":"v"})");
        copy = original.Copy();
    }
    EXPECT_EQ(copy.GetText("k"), "v");
}

TEST(JsonDocumentCopies, GetObjectIsIndependentAndOutlivesItsSource) {
    JsonDocument object;
    JsonDocument whole;
    {
        JsonDocument source = Parsed(R"({"o":{"k":"before"},"n":null})");
        object = source.GetObject("o");
        whole = source.GetObject("");
        source.SetMember("o.k", "after");
        EXPECT_EQ(source.GetObject("missing").ToJson(), "");
        EXPECT_EQ(source.GetObject("n").ToJson(), "null");
        EXPECT_EQ(source.GetObject("n.x").ToJson(), "");
    }
    EXPECT_EQ(object.GetText("k"), "before");
    object.SetMember("k2", "v");
    EXPECT_EQ(object.ToJson(), R"({"k":"before","k2":"v"})");
    EXPECT_EQ(whole.ToJson(), R"({"o":{"k":"before"},"n":null})");
}

TEST(JsonDocumentCopies, MovedFromDocumentIsEmptyUntilInit) {
    JsonDocument source = Parsed(R"({"k":1})");
    JsonDocument target = std::move(source);
    EXPECT_EQ(target.GetText("k"), "1");

    // The moved-from document answers with empty values and ignores changes.
    EXPECT_EQ(source.ToJson(), "");  // NOLINT(bugprone-use-after-move)
    source.SetMember("k", "v");
    source.PushItem("v");
    source.Clear();
    EXPECT_EQ(source.TypeOf(), kJsonTypeNull);
    EXPECT_EQ(source.GetObject("").ToJson(), "");
    source.Init();
    EXPECT_EQ(source.ToJson(), "{}");
}

// ---- Hostile input ---------------------------------------------------------------------------------

TEST(JsonDocumentHostile, DeepNestingIsRefusedBeyondTheLimit) {
    JsonDocument document;
    EXPECT_FALSE(document.Parse(std::string(100000, '[')));
    EXPECT_FALSE(document.Parse(Nested(100000)));
    EXPECT_FALSE(document.Parse(std::string(100000, '{')));
    EXPECT_FALSE(document.Parse(Nested(kMaxJsonDepth + 1)));
    EXPECT_TRUE(document.Parse(Nested(kMaxJsonDepth)));
    EXPECT_EQ(document.ToJson(), Nested(kMaxJsonDepth));
    EXPECT_EQ(document.GetObject("[0]").ToJson(), Nested(kMaxJsonDepth - 1));
}

TEST(JsonDocumentHostile, SettersCannotBuildAValueDeeperThanTheLimit) {
    JsonDocument document = Parsed("{\"a\":" + Nested(kMaxJsonDepth - 1) + "}");
    const Text before = document.ToJson();
    document.SetMemberExpr("a", Nested(kMaxJsonDepth));
    document.SetMember("a", Nested(kMaxJsonDepth), true);
    document.PushItem(Nested(kMaxJsonDepth - 1), "a", true);
    document.SetMemberExpr("b", Nested(kMaxJsonDepth));
    EXPECT_EQ(document.ToJson(), before);

    document.SetMemberExpr("b", Nested(kMaxJsonDepth - 1));
    EXPECT_EQ(document.MemberCount(), 2);

    JsonDocument array;
    array.Assign(Nested(kMaxJsonDepth), true);
    std::string innermost;
    for (int level = 1; level < kMaxJsonDepth; ++level) {
        innermost += "[0]";
    }
    array.PushItem("[]", innermost, true);
    array.SetItem(0, Nested(kMaxJsonDepth), true);
    EXPECT_EQ(array.ToJson(), Nested(kMaxJsonDepth));
    array.PushItem("7", innermost, true);
    EXPECT_EQ(array.GetText(innermost + "[0]"), "7");
}

TEST(JsonDocumentHostile, NumbersBeyondADoubleAreRefused) {
    JsonDocument document;
    EXPECT_FALSE(document.Parse("1e400"));
    EXPECT_FALSE(document.Parse("[-1e400]"));
    EXPECT_FALSE(document.Parse("[" + std::string(400, '9') + "]"));
    EXPECT_TRUE(document.Parse("[" + std::string(300, '9') + "]"));
    EXPECT_EQ(document.TypeOf("[0]"), kJsonTypeNumber);
    EXPECT_EQ(document.ToJson(), "[1e+300]");
    EXPECT_TRUE(document.Parse("[1e-400]"));
    EXPECT_EQ(document.ToJson(), "[0]");
}

TEST(JsonDocumentHostile, BrokenBytesNeverCrash) {
    const std::string texts[] = {
        "{\"a\":\"\x81\x20\xFF\"}", "{\"\xFE\xFE\xFE\":1}", "[\"\x80\x80\x80\"]", "{\"a\":\"\xC0\"}",
        "\xEF\xBB\xBF{\"a\":1}",    "[\"\\ud800\"]",        "[\"\\u00\"]",        "\x01\x02",
    };
    for (const std::string& text : texts) {
        JsonDocument document;
        if (document.Parse(text)) {
            EXPECT_NE(document.ToJson(), "") << text;
        } else {
            EXPECT_EQ(document.ToJson(), "null") << text;
        }
    }
}

TEST(JsonDocumentHostile, EveryTruncationOfAnAnswerIsRefused) {
    const std::string answer =
        Gbk(R"({"list":[{"pathName":"\\x.exe","url":"http://h/x","md5":"ab","名":1.5e3}]})");
    for (std::size_t length = 1; length < answer.size(); ++length) {
        JsonDocument document;
        EXPECT_FALSE(document.Parse(answer.substr(0, length))) << length;
    }
    EXPECT_TRUE(JsonDocument().Parse(answer));
}

TEST(JsonDocumentHostile, TextsBeyondTheSizeLimitAreRefused) {
    std::string huge = "[\"" + std::string(100u * 1024u * 1024u, 'a') + "\"]";
    JsonDocument document;
    EXPECT_FALSE(document.Parse(huge));
    document.Clear();
    document.SetMember("m", huge, true);
    EXPECT_EQ(document.ToJson(), "{}");

    huge.resize(kMaxJsonTextBytes - 2);
    huge += "\"]";
    EXPECT_TRUE(document.Parse(huge));
    EXPECT_EQ(document.GetText("[0].length"), std::to_string(kMaxJsonTextBytes - 4));
}

TEST(JsonDocumentHostile, ObjectWithManyMembersReadsInLinearTime) {
    // Quadratic duplicate checks would take hours on this many members.
    constexpr int kMembers = 400000;
    std::string text = "{";
    for (int i = 0; i < kMembers; ++i) {
        text += "\"m" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    }
    text += "\"m7\":\"last\"}";
    const JsonDocument document = Parsed(text);
    EXPECT_EQ(document.MemberCount(), kMembers);
    EXPECT_EQ(document.GetText("m7"), "last");
    TextList keys;
    ASSERT_EQ(document.Keys("", keys), kMembers);
    EXPECT_EQ(keys[7], "m7");
    EXPECT_EQ(keys.back(), "m" + std::to_string(kMembers - 1));
}

// ---- Threads ---------------------------------------------------------------------------------------

TEST(JsonDocumentThreads, DocumentsOnDifferentThreadsAreIndependent) {
    std::vector<std::string> results(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &results] {
            for (int round = 0; round < 50; ++round) {
                JsonDocument document;
                document.Parse(kCheckAnswer);
                document.SetMemberNumber("thread", t);
                const JsonDocument item = document.GetItemObject(0, "list");
                results[static_cast<std::size_t>(t)] = item.GetText("url") + document.GetText("thread");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(results[static_cast<std::size_t>(t)], "http://h/x" + std::to_string(t));
    }
}

}  // namespace
}  // namespace fw
