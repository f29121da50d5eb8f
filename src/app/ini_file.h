#pragma once

// Reading and writing single keys of an INI file the way the Windows profile functions do: sections and
// keys are found ignoring ASCII letter case, a value loses its surrounding blanks, every other line of
// the file is left as it was, and a missing section or key is created. The file's bytes are taken as
// they are (the settings file is GBK).

#include <filesystem>
#include <string_view>

#include "util/types.h"

namespace fw {

// The value of `key` in `section`; the empty text when the file, the section or the key is missing.
Text ReadIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key);

// Sets `key` in `section` to `value`. The new file replaces the old one in one rename, so a crash while
// writing never loses the other settings. Returns false when the file cannot be written.
bool WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace fw
