#pragma once

// A bare TCP client for tests that must send exact bytes to a loopback server, and a port on 127.0.0.1
// that refuses every connection.

#include <string>
#include <string_view>

namespace fw::test {

// Connects to 127.0.0.1:port, sends `bytes`, half-closes and returns everything received until the
// server closes. Empty when the connection fails.
std::string RawExchange(int port, std::string_view bytes);

// A port that is bound but not listening, so connecting to it is refused, for as long as the object lives.
class RefusingPort {
  public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    int port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace fw::test
