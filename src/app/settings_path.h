#pragma once

// Where the settings file lives: <config dir>/配置/Ferrowind/Configuration.ini, the config dir being
// $XDG_CONFIG_HOME, else ~/.config. This stands in for the Windows drive search; the folder names and the
// file name are the program's own and stay as they are.

#include <filesystem>

namespace fw {

std::filesystem::path SettingsIniPath();

// Creates the folders above `iniPath`; failures are ignored (the change then stays on screen only).
void EnsureSettingsFolder(const std::filesystem::path& iniPath);

}  // namespace fw
