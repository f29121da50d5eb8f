#pragma once

// Bounds that keep a dead, stalling or hostile site from hanging a worker or exhausting memory. The
// request routines read the process-wide values at the start of each call.
//
// Who uses what:
// - ReadUrl and InetRequest, which have no time-outs of their own, use all of them.
// - ComHttpRequest has its own time-out for connecting and for each stall; from here it takes only
//   `totalTimeoutMs` and `maxBodyBytes`.
//
// Past a limit:
// - `maxBodyBytes`: reading stops and the part read so far is the body, as if the answer had ended there
//   (every routine returns it, with the response's headers, status and cookies).
// - A time limit: the transfer is abandoned. ReadUrl then returns empty bytes (a failed request);
//   InetRequest returns what it had read (a failed read), or empty bytes with nothing changed if no answer
//   had begun; ComHttpRequest returns empty bytes (a failed exchange).

#include <cstddef>

namespace fw {

struct NetLimits {
    // Name resolution and connection, together.
    long connectTimeoutMs = 60'000;
    // A transfer slower than `lowSpeedBytesPerSecond` for `lowSpeedSeconds` is abandoned. This also ends a
    // site that accepts the request and then says nothing.
    long lowSpeedBytesPerSecond = 1;
    long lowSpeedSeconds = 60;
    // The whole exchange, redirects included, however it trickles.
    long totalTimeoutMs = 300'000;
    // A body is read up to this size; the rest is not read and the part read so far is the result.
    std::size_t maxBodyBytes = 16u * 1024u * 1024u;
};

// The limits in force. Safe on any thread; a call already running keeps the values it started with.
NetLimits DefaultNetLimits();
// Replaces the limits for every later call, process-wide. Tests lower them and put them back.
void SetDefaultNetLimits(const NetLimits& limits);

}  // namespace fw
