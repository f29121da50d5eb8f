#pragma once

// The INI sections and keys of the settings page's controls, as GBK texts.

#include "app/settings_view.h"
#include "util/types.h"

namespace fw {

struct SettingKey {
    Text section;
    Text key;
};

const SettingKey& KeyOf(NumberBox box);
const SettingKey& KeyOf(CheckBox box);

// The stored forms of a checked and an unchecked box: "真" and "假".
const Text& CheckedValue();
const Text& UncheckedValue();

}  // namespace fw
