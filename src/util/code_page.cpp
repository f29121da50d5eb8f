#include "util/code_page.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace fw {
namespace {

// The converter that matches Windows code page 936 byte for byte, the euro sign at 0x80 included.
constexpr const char* kGbkConverterName = "windows-936-2000";
constexpr UChar kReplacementCharacter = 0xFFFD;

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterHandle = std::unique_ptr<UConverter, ConverterCloser>;

ConverterHandle OpenGbkConverter() {
    UErrorCode error = U_ZERO_ERROR;
    ConverterHandle converter(ucnv_open(kGbkConverterName, &error));
    if (U_FAILURE(error)) {
        return nullptr;
    }
    return converter;
}

// The platform conversions work on zero-terminated strings: input ends at its first zero byte or unit.
std::string_view UpToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}
std::u16string_view UpToZero(std::u16string_view text) {
    return text.substr(0, text.find(u'\0'));
}

WideText Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    WideText wide(utf8.size(), u'\0');  // never more units than bytes
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), kReplacementCharacter, nullptr, &error);
    if (U_FAILURE(error)) {
        return {};
    }
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

std::string WideToUtf8(std::u16string_view wide) {
    if (wide.empty()) {
        return {};
    }
    std::string utf8(wide.size() * 3, '\0');  // a unit never needs more than three bytes
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), static_cast<int32_t>(utf8.size()), &length, wide.data(),
                       static_cast<int32_t>(wide.size()), kReplacementCharacter, nullptr, &error);
    if (U_FAILURE(error)) {
        return {};
    }
    utf8.resize(static_cast<std::size_t>(length));
    return utf8;
}

WideText GbkToWide(std::string_view gbk) {
    if (gbk.empty()) {
        return {};
    }
    ConverterHandle converter = OpenGbkConverter();
    if (!converter) {
        return {};
    }
    WideText wide(gbk.size() + 1, u'\0');  // never more units than bytes
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(converter.get(), wide.data(), static_cast<int32_t>(wide.size()),
                                   gbk.data(), static_cast<int32_t>(gbk.size()), &error);
    if (U_FAILURE(error)) {
        return {};
    }
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

Text WideToGbk(std::u16string_view wide) {
    if (wide.empty()) {
        return {};
    }
    ConverterHandle converter = OpenGbkConverter();
    if (!converter) {
        return {};
    }
    Text gbk(wide.size() * 2 + 1, '\0');  // a unit never needs more than two bytes
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = ucnv_fromUChars(converter.get(), gbk.data(), static_cast<int32_t>(gbk.size()),
                                     wide.data(), static_cast<int32_t>(wide.size()), &error);
    if (U_FAILURE(error)) {
        return {};
    }
    gbk.resize(static_cast<std::size_t>(length));
    return gbk;
}

}  // namespace

WideText TextToWide(std::string_view text, int codePage) {
    text = UpToZero(text);
    switch (codePage) {
        case kCodePageUtf8:
            return Utf8ToWide(text);
        case kCodePageGbk:
        case kCodePageAnsi:
            return GbkToWide(text);
        default:
            return {};
    }
}

Text WideToText(std::u16string_view wide, int codePage) {
    wide = UpToZero(wide);
    Text result;
    switch (codePage) {
        case kCodePageUtf8:
            result = WideToUtf8(wide);
            break;
        case kCodePageGbk:
        case kCodePageAnsi:
            result = WideToGbk(wide);
            break;
        default:
            return {};
    }
    result.resize(UpToZero(result).size());
    return result;
}

std::string GbkToUtf8(std::string_view gbk) {
    return WideToText(TextToWide(gbk, kCodePageGbk), kCodePageUtf8);
}

Text Utf8ToGbk(std::string_view utf8) {
    return WideToText(TextToWide(utf8, kCodePageUtf8), kCodePageGbk);
}

Text UrlEncode(std::string_view text, bool keepPlain, bool toUtf8) {
    if (text.empty()) {
        return {};
    }
    const std::string utf8 = toUtf8 ? GbkToUtf8(text) : std::string();
    const std::string_view bytes = toUtf8 ? std::string_view(utf8) : text;
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    Text encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') ||
                           (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
        if (keepPlain && plain) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHexDigits[byte >> 4]);
            encoded.push_back(kHexDigits[byte & 0x0F]);
        }
    }
    return encoded;
}

}  // namespace fw
