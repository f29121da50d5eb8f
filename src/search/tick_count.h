#pragma once

#include <chrono>
#include <cstdint>

namespace fw {

// A millisecond tick counter that wraps like the system's 32-bit one; differences taken in unsigned
// arithmetic stay right across the wrap.
inline std::uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace fw
