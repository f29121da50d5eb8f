#include "app/settings_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace fw {
namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

std::filesystem::path ConfigFolder() {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is invalid by the XDG rules.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;
    }
    return HomeFolder() / ".config";
}

}  // namespace

std::filesystem::path SettingsIniPath() {
    return ConfigFolder() / "配置" / "Ferrowind" / "Configuration.ini";
}

void EnsureSettingsFolder(const std::filesystem::path& iniPath) {
    std::error_code ignored;
    std::filesystem::create_directories(iniPath.parent_path(), ignored);
}

}  // namespace fw
