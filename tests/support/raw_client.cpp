#include "support/raw_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fw::test {

std::string RawExchange(int port, std::string_view bytes) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return {};
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    std::string received;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string_view rest = bytes;
        while (!rest.empty()) {
            const ssize_t put = send(fd, rest.data(), rest.size(), MSG_NOSIGNAL);
            if (put <= 0) {
                break;
            }
            rest.remove_prefix(static_cast<std::size_t>(put));
        }
        shutdown(fd, SHUT_WR);
        char buffer[4096];
        for (;;) {
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            received.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return received;
}

RefusingPort::RefusingPort() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("refusing port");
        std::abort();
    }
    port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() {
    close(fd_);
}

}  // namespace fw::test
