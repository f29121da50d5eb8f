#include "util/codec.h"

#include <openssl/evp.h>

#include <array>
#include <memory>

#include "util/code_page.h"

namespace fw {
namespace {

// Every byte of a hidden text is XORed with this; only its low 8 bits are used.
constexpr unsigned kHiddenTextMask = 0x5AC3;

// A hidden text ends in characters 3 to 11 of the upper-case MD5 of its key.
constexpr std::size_t kCheckOffset = 2;
constexpr std::size_t kCheckLength = 9;

constexpr char kUpperHexDigits[] = "0123456789ABCDEF";
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextFree>;

unsigned char MaskByte(char c) {
    return static_cast<unsigned char>(c) ^ (kHiddenTextMask & 0xFFu);
}

Text CheckOfKey(std::string_view key) {
    const Text digest = Md5Hex(key, true);
    if (digest.size() < kCheckOffset + kCheckLength) {
        return {};
    }
    return digest.substr(kCheckOffset, kCheckLength);
}

}  // namespace

std::uint64_t HexToInt64(std::string_view text) {
    std::uint64_t value = 0;
    int nibbles = 0;
    for (auto it = text.rbegin(); it != text.rend() && nibbles < 16; ++it) {
        const int digit = HexDigitValue(*it);
        if (digit < 0) {
            continue;
        }
        value |= static_cast<std::uint64_t>(digit) << (4 * nibbles);
        ++nibbles;
    }
    return value;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

Bytes HexToBytes(std::string_view text) {
    Bytes bytes;
    bytes.reserve(text.size() / 2 + 1);
    for (std::size_t position = 0; position < text.size(); position += 2) {
        bytes.push_back(static_cast<char>(HexToInt64(text.substr(position, 2)) & 0xFFu));
    }
    return bytes;
}

Text Md5Hex(std::string_view bytes, bool upperCase, bool shortForm) {
    DigestContext context(EVP_MD_CTX_new());
    if (!context) {
        return {};
    }
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int digestLength = 0;
    if (EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest.data(), &digestLength) != 1 || digestLength != 16) {
        return {};
    }
    const char* digits = upperCase ? kUpperHexDigits : "0123456789abcdef";
    Text hex;
    hex.reserve(32);
    for (unsigned int i = 0; i < digestLength; ++i) {
        hex.push_back(digits[digest[i] >> 4]);
        hex.push_back(digits[digest[i] & 0x0F]);
    }
    return shortForm ? hex.substr(8, 16) : hex;
}

Text RevealText(std::string_view hidden, std::string_view key) {
    if (hidden.size() < kCheckLength) {
        return {};
    }
    const std::string_view check = hidden.substr(hidden.size() - kCheckLength);
    const Text expected = CheckOfKey(key);
    if (expected.empty() || check != expected) {
        return {};
    }
    Text plain = HexToBytes(hidden.substr(0, hidden.size() - kCheckLength));
    for (char& c : plain) {
        c = static_cast<char>(MaskByte(c));
    }
    return plain;
}

Text HideText(std::string_view plain, std::string_view key) {
    const Text check = CheckOfKey(key);
    if (check.empty()) {
        return {};
    }
    Text hidden;
    hidden.reserve(plain.size() * 2 + check.size());
    for (const char c : plain) {
        const unsigned char masked = MaskByte(c);
        hidden.push_back(kUpperHexDigits[masked >> 4]);
        hidden.push_back(kUpperHexDigits[masked & 0x0F]);
    }
    return hidden + check;
}

Text Base64Encode(std::string_view bytes) {
    Text encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16 |
                                    static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                    static_cast<unsigned char>(bytes[i + 2]);
        encoded.push_back(kBase64Alphabet[(group >> 18) & 0x3F]);
        encoded.push_back(kBase64Alphabet[(group >> 12) & 0x3F]);
        encoded.push_back(kBase64Alphabet[(group >> 6) & 0x3F]);
        encoded.push_back(kBase64Alphabet[group & 0x3F]);
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        encoded.push_back(kBase64Alphabet[(group >> 18) & 0x3F]);
        encoded.push_back(kBase64Alphabet[(group >> 12) & 0x3F]);
        encoded.push_back(rest == 2 ? kBase64Alphabet[(group >> 6) & 0x3F] : '=');
        encoded.push_back('=');
    }
    return encoded;
}

Text UrlDecode(std::string_view text, bool utf8) {
    Text decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexDigitValue(text[i + 1]);
            const int low = HexDigitValue(text[i + 2]);
            // A text holds no zero bytes, so "%00" stays as it is, like any other broken escape.
            if (high >= 0 && low >= 0 && (high | low) != 0) {
                decoded.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        decoded.push_back(text[i]);
    }
    return utf8 ? Utf8ToGbk(decoded) : decoded;
}

}  // namespace fw
