#include "app/ini_file.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace fw {
namespace {

// Far larger than any settings file; a bigger one is not read at all rather than loaded into memory.
constexpr std::uintmax_t kMaxIniFileBytes = 4u * 1024u * 1024u;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > kMaxIniFileBytes) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The lines of the file without their "\n"; a "\r" before it stays part of the line.
std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t end = content.find('\n', begin);
        if (end == std::string::npos) {
            end = content.size();
        }
        lines.emplace_back(content, begin, end - begin);
        begin = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{TrimBlanks(line.substr(0, equals)), TrimBlanks(line.substr(equals + 1))};
}

bool WriteFileAtomically(const std::filesystem::path& file, const std::string& content) {
    static std::atomic<unsigned> writeCount{0};
    std::filesystem::path temporary = file;
    temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(writeCount++);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace

Text ReadIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key) {
    const std::optional<std::string> content = ReadWholeFile(file);
    if (!content) {
        return {};
    }
    bool inSection = false;
    for (const std::string& line : SplitLines(*content)) {
        if (const auto name = SectionName(line)) {
            inSection = EqualsIgnoringAsciiCase(*name, TrimBlanks(section));
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (const auto entry = ParseKeyLine(line);
            entry && EqualsIgnoringAsciiCase(entry->key, TrimBlanks(key))) {
            return Text(entry->value);
        }
    }
    return {};
}

bool WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
    std::error_code error;
    std::string content;
    if (std::filesystem::exists(file, error)) {
        std::optional<std::string> existing = ReadWholeFile(file);
        if (!existing) {
            return false;  // unreadable or absurdly large: leave it alone rather than lose it
        }
        content = std::move(*existing);
    }
    std::vector<std::string> lines = SplitLines(content);
    std::string newLine;
    newLine.append(key).append("=").append(value).append("\r");

    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> lastEntryLine;
    bool replaced = false;
    for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (sectionLine) {
                break;  // past the end of our section
            }
            if (EqualsIgnoringAsciiCase(*name, TrimBlanks(section))) {
                sectionLine = i;
                lastEntryLine = i;
            }
            continue;
        }
        if (!sectionLine) {
            continue;
        }
        if (!TrimBlanks(lines[i]).empty()) {
            lastEntryLine = i;
        }
        if (const auto entry = ParseKeyLine(lines[i]);
            entry && EqualsIgnoringAsciiCase(entry->key, TrimBlanks(key))) {
            lines[i] = newLine;
            replaced = true;
        }
    }
    if (!replaced) {
        if (sectionLine) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*lastEntryLine) + 1, newLine);
        } else {
            std::string header;
            header.append("[").append(section).append("]\r");
            lines.push_back(std::move(header));
            lines.push_back(newLine);
        }
    }
    std::string output;
    output.reserve(content.size() + newLine.size() + section.size() + 8);
    for (const std::string& line : lines) {
        output += line;
        output += '\n';
    }
    return WriteFileAtomically(file, output);
}

}  // namespace fw
