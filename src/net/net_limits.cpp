#include "net/net_limits.h"

#include <mutex>

namespace fw {
namespace {

std::mutex& LimitsLock() {
    static std::mutex lock;
    return lock;
}

NetLimits& CurrentLimits() {
    static NetLimits limits;
    return limits;
}

}  // namespace

NetLimits DefaultNetLimits() {
    std::lock_guard<std::mutex> hold(LimitsLock());
    return CurrentLimits();
}

void SetDefaultNetLimits(const NetLimits& limits) {
    std::lock_guard<std::mutex> hold(LimitsLock());
    CurrentLimits() = limits;
}

}  // namespace fw
