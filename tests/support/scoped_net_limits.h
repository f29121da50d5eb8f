#pragma once

// Lowers the process-wide network limits for one test and puts the previous ones back at the end, so a
// stalling or endless fixture site ends a request quickly.

#include "net/net_limits.h"

namespace fw::test {

class ScopedNetLimits {
  public:
    explicit ScopedNetLimits(const NetLimits& limits) : saved_(DefaultNetLimits()) {
        SetDefaultNetLimits(limits);
    }
    ~ScopedNetLimits() { SetDefaultNetLimits(saved_); }
    ScopedNetLimits(const ScopedNetLimits&) = delete;
    ScopedNetLimits& operator=(const ScopedNetLimits&) = delete;

  private:
    NetLimits saved_;
};

// Limits that end a stalled transfer after about a second and keep at most `maxBodyBytes` of a body.
inline NetLimits QuickNetLimits(std::size_t maxBodyBytes = 64u * 1024u) {
    NetLimits limits;
    limits.connectTimeoutMs = 2'000;
    limits.lowSpeedBytesPerSecond = 1;
    limits.lowSpeedSeconds = 1;
    limits.totalTimeoutMs = 5'000;
    limits.maxBodyBytes = maxBodyBytes;
    return limits;
}

}  // namespace fw::test
