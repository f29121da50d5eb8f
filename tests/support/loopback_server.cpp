#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <mutex>
#include <thread>

#include "support/test_certificate.h"

namespace fw::test {
namespace {

// A request head or body beyond these sizes ends the connection: the server only serves tests.
constexpr std::size_t kMaxHeadBytes = 1u << 20;
constexpr std::size_t kMaxBodyBytes = 64u << 20;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "loopback server: %s failed (errno %d)\n", what, errno);
    ERR_print_errors_fp(stderr);
    std::abort();
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool HasHeader(const HeaderList& headers, std::string_view name) {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& header) { return EqualIgnoringCase(header.first, name); });
}

struct SslCtxDeleter {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

}  // namespace

// One accepted connection's byte stream, plain or TLS. Used by its own connection thread only; Stop()
// touches nothing but the socket, through shutdown(), which wakes any blocked read or write.
class Responder::Channel {
  public:
    Channel(int fd, SSL_CTX* tls) : fd_(fd) {
        if (tls != nullptr) {
            ssl_.reset(SSL_new(tls));
        }
    }

    bool Start() {
        if (!ssl_) {
            return true;
        }
        return SSL_set_fd(ssl_.get(), fd_) == 1 && SSL_accept(ssl_.get()) == 1;
    }

    // Bytes read into `buffer`; 0 once the peer has closed, the connection failed or was shut down.
    std::size_t Read(char* buffer, std::size_t size) {
        if (ssl_) {
            const int got =
                SSL_read(ssl_.get(), buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
            return got > 0 ? static_cast<std::size_t>(got) : 0;
        }
        for (;;) {
            const ssize_t got = recv(fd_, buffer, size, 0);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            return got > 0 ? static_cast<std::size_t>(got) : 0;
        }
    }

    bool Write(std::string_view bytes) {
        while (!bytes.empty()) {
            if (ssl_) {
                const int put = SSL_write(ssl_.get(), bytes.data(),
                                          static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)));
                if (put <= 0) {
                    return false;
                }
                bytes.remove_prefix(static_cast<std::size_t>(put));
            } else {
                const ssize_t put = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
                if (put < 0 && errno == EINTR) {
                    continue;
                }
                if (put <= 0) {
                    return false;
                }
                bytes.remove_prefix(static_cast<std::size_t>(put));
            }
        }
        return true;
    }

    // Tells a TLS peer the data is complete (a body without a length ends here), then stops sending.
    void Finish() {
        if (finished_) {
            return;
        }
        finished_ = true;
        if (ssl_ && SSL_is_init_finished(ssl_.get())) {
            SSL_shutdown(ssl_.get());
        }
        shutdown(fd_, SHUT_WR);
    }

  private:
    int fd_;
    std::unique_ptr<SSL, SslDeleter> ssl_;
    bool finished_ = false;
};

// ---------------------------------------------------------------------------------------------------------

std::string RecordedRequest::Header(std::string_view name) const {
    for (const auto& [headerName, value] : headers) {
        if (EqualIgnoringCase(headerName, name)) {
            return value;
        }
    }
    return {};
}

bool RecordedRequest::HasHeader(std::string_view name) const {
    return fw::test::HasHeader(headers, name);
}

std::size_t RecordedRequest::HeaderCount(std::string_view name) const {
    return static_cast<std::size_t>(std::count_if(headers.begin(), headers.end(), [&](const auto& header) {
        return EqualIgnoringCase(header.first, name);
    }));
}

// ---------------------------------------------------------------------------------------------------------

Responder::Responder(Channel& channel, bool keepAliveAllowed, const std::atomic<bool>& stopping)
    : channel_(channel), keepAliveAllowed_(keepAliveAllowed), stopping_(stopping) {}

bool Responder::Send(int status, std::string_view reason, const HeaderList& headers, std::string_view body,
                     bool addContentLength) {
    const bool withLength = addContentLength || HasHeader(headers, "Content-Length");
    keepOpen_ = keepAliveAllowed_ && withLength;
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
    for (const auto& [name, value] : headers) {
        head += name + ": " + value + "\r\n";
    }
    if (addContentLength && !HasHeader(headers, "Content-Length")) {
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    if (!keepOpen_ && !HasHeader(headers, "Connection")) {
        head += "Connection: close\r\n";
    }
    head += "\r\n";
    head += body;
    return SendRaw(head);
}

bool Responder::SendRaw(std::string_view bytes) {
    if (closed_ || stopping_) {
        keepOpen_ = false;
        return false;
    }
    const bool sent = channel_.Write(bytes);
    if (!sent) {
        keepOpen_ = false;
    }
    return sent;
}

std::size_t Responder::Stream(std::string_view piece, std::size_t totalBytes,
                              std::chrono::milliseconds pause) {
    keepOpen_ = false;
    std::size_t sent = 0;
    if (piece.empty()) {
        return 0;
    }
    while (!closed_ && !stopping_ && (totalBytes == 0 || sent < totalBytes)) {
        const std::string_view next =
            totalBytes == 0 ? piece : piece.substr(0, std::min(piece.size(), totalBytes - sent));
        if (!channel_.Write(next)) {
            break;
        }
        sent += next.size();
        for (auto waited = std::chrono::milliseconds(0); waited < pause && !stopping_;
             waited += std::chrono::milliseconds(10)) {
            std::this_thread::sleep_for(std::min(std::chrono::milliseconds(10), pause - waited));
        }
    }
    return sent;
}

void Responder::Stall() {
    keepOpen_ = false;
    char discard[4096];
    while (!closed_ && !stopping_ && channel_.Read(discard, sizeof discard) > 0) {
    }
}

void Responder::Close() {
    keepOpen_ = false;
    if (!closed_) {
        closed_ = true;
        channel_.Finish();
    }
}

bool Responder::ServerStopping() const {
    return stopping_;
}

// ---------------------------------------------------------------------------------------------------------

struct LoopbackServer::Impl {
    struct Connection {
        int fd = -1;  // -1 once its thread has closed it; guarded by Impl::mutex
        bool done = false;
        std::thread thread;
    };

    Handler handler;
    bool keepAlive = false;
    std::unique_ptr<SSL_CTX, SslCtxDeleter> tls;
    int listenFd = -1;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::thread acceptThread;

    mutable std::mutex mutex;
    mutable std::condition_variable requestArrived;
    std::vector<RecordedRequest> requests;
    std::list<Connection> connections;
    int connectionCount = 0;

    void AcceptLoop();
    void Serve(Connection& connection, int number);
    bool ReadRequest(Responder::Channel& channel, std::string& pending, RecordedRequest& request);
    void JoinFinished();
};

namespace {

// Reads until `pending` holds at least `size` bytes.
bool FillTo(Responder::Channel& channel, std::string& pending, std::size_t size) {
    char buffer[16384];
    while (pending.size() < size) {
        const std::size_t got = channel.Read(buffer, sizeof buffer);
        if (got == 0) {
            return false;
        }
        pending.append(buffer, got);
    }
    return true;
}

// Reads until `pending` holds `marker` at or after `from`; returns its position.
std::size_t FillToMarker(Responder::Channel& channel, std::string& pending, std::string_view marker,
                         std::size_t from, std::size_t limit) {
    char buffer[16384];
    for (;;) {
        const std::size_t at = pending.find(marker, from);
        if (at != std::string::npos) {
            return at;
        }
        if (pending.size() > limit) {
            return std::string::npos;
        }
        const std::size_t got = channel.Read(buffer, sizeof buffer);
        if (got == 0) {
            return std::string::npos;
        }
        pending.append(buffer, got);
    }
}

}  // namespace

bool LoopbackServer::Impl::ReadRequest(Responder::Channel& channel, std::string& pending,
                                       RecordedRequest& request) {
    const std::size_t headEnd = FillToMarker(channel, pending, "\r\n\r\n", 0, kMaxHeadBytes);
    if (headEnd == std::string::npos) {
        return false;
    }
    const std::string head = pending.substr(0, headEnd + 4);
    std::size_t consumed = head.size();

    std::size_t lineEnd = head.find("\r\n");
    const std::string_view requestLine = std::string_view(head).substr(0, lineEnd);
    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || lastSpace == firstSpace) {
        return false;
    }
    request.method = std::string(requestLine.substr(0, firstSpace));
    request.target = std::string(requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1));
    request.version = std::string(requestLine.substr(lastSpace + 1));
    for (std::size_t lineStart = lineEnd + 2; lineStart < headEnd; lineStart = lineEnd + 2) {
        lineEnd = head.find("\r\n", lineStart);
        const std::string_view line = std::string_view(head).substr(lineStart, lineEnd - lineStart);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            request.headers.emplace_back(std::string(line), std::string());
        } else {
            request.headers.emplace_back(std::string(line.substr(0, colon)),
                                         std::string(Trim(line.substr(colon + 1))));
        }
    }

    if (EqualIgnoringCase(request.Header("Expect"), "100-continue") &&
        !channel.Write("HTTP/1.1 100 Continue\r\n\r\n")) {
        return false;
    }

    if (EqualIgnoringCase(request.Header("Transfer-Encoding"), "chunked")) {
        for (;;) {
            const std::size_t sizeEnd = FillToMarker(channel, pending, "\r\n", consumed, consumed + 1024);
            if (sizeEnd == std::string::npos) {
                return false;
            }
            const std::size_t size =
                std::strtoul(pending.substr(consumed, sizeEnd - consumed).c_str(), nullptr, 16);
            consumed = sizeEnd + 2;
            if (size == 0) {
                // Trailers, if any, up to the blank line.
                const std::size_t end =
                    FillToMarker(channel, pending, "\r\n", consumed, consumed + kMaxHeadBytes);
                if (end == std::string::npos) {
                    return false;
                }
                if (end != consumed) {
                    const std::size_t trailerEnd =
                        FillToMarker(channel, pending, "\r\n\r\n", consumed, consumed + kMaxHeadBytes);
                    if (trailerEnd == std::string::npos) {
                        return false;
                    }
                    consumed = trailerEnd + 4;
                } else {
                    consumed = end + 2;
                }
                break;
            }
            if (request.body.size() + size > kMaxBodyBytes ||
                !FillTo(channel, pending, consumed + size + 2)) {
                return false;
            }
            request.body.append(pending, consumed, size);
            consumed += size + 2;
        }
    } else if (request.HasHeader("Content-Length")) {
        const std::size_t length = std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
        if (length > kMaxBodyBytes || !FillTo(channel, pending, consumed + length)) {
            return false;
        }
        request.body = pending.substr(consumed, length);
        consumed += length;
    }
    request.raw = pending.substr(0, consumed);
    pending.erase(0, consumed);
    return true;
}

void LoopbackServer::Impl::Serve(Connection& connection, int number) {
    Responder::Channel channel(connection.fd, tls.get());
    if (channel.Start()) {
        std::string pending;
        for (;;) {
            RecordedRequest request;
            if (stopping || !ReadRequest(channel, pending, request)) {
                break;
            }
            request.connection = number;
            {
                std::lock_guard<std::mutex> hold(mutex);
                requests.push_back(request);
            }
            requestArrived.notify_all();

            const bool http10 = request.version == "HTTP/1.0";
            const std::string connectionHeader = request.Header("Connection");
            const bool clientKeeps = http10 ? EqualIgnoringCase(connectionHeader, "keep-alive")
                                            : !EqualIgnoringCase(connectionHeader, "close");
            Responder responder(channel, keepAlive && clientKeeps, stopping);
            handler(request, responder);
            if (!responder.keepOpen_ || responder.closed_) {
                break;
            }
        }
        channel.Finish();
    }
    std::lock_guard<std::mutex> hold(mutex);
    close(connection.fd);
    connection.fd = -1;
    connection.done = true;
}

void LoopbackServer::Impl::JoinFinished() {
    std::list<Connection> finished;
    {
        std::lock_guard<std::mutex> hold(mutex);
        for (auto it = connections.begin(); it != connections.end();) {
            auto next = std::next(it);
            if (it->done) {
                finished.splice(finished.end(), connections, it);
            }
            it = next;
        }
    }
    for (Connection& connection : finished) {
        connection.thread.join();
    }
}

void LoopbackServer::Impl::AcceptLoop() {
    while (!stopping) {
        const int fd = accept(listenFd, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            break;
        }
        JoinFinished();
        std::lock_guard<std::mutex> hold(mutex);
        if (stopping) {
            close(fd);
            break;
        }
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        Connection& connection = connections.emplace_back();
        connection.fd = fd;
        const int number = ++connectionCount;
        connection.thread = std::thread([this, &connection, number] { Serve(connection, number); });
    }
}

// ---------------------------------------------------------------------------------------------------------

LoopbackServer::LoopbackServer(Handler handler, LoopbackServerOptions options)
    : impl_(std::make_unique<Impl>()) {
    // A client that goes away while a handler writes must not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    impl_->handler = std::move(handler);
    impl_->keepAlive = options.keepAlive;

    if (options.certificate != nullptr) {
        impl_->tls.reset(SSL_CTX_new(TLS_server_method()));
        SSL_CTX* context = impl_->tls.get();
        if (context == nullptr ||
            SSL_CTX_use_certificate(context, options.certificate->certificate.get()) != 1 ||
            SSL_CTX_use_PrivateKey(context, options.certificate->key.get()) != 1) {
            Fail("TLS set-up");
        }
        for (const TestCertificate* link : options.chain) {
            if (SSL_CTX_add1_chain_cert(context, link->certificate.get()) != 1) {
                Fail("TLS chain");
            }
        }
    }

    impl_->listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (impl_->listenFd < 0) {
        Fail("socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(impl_->listenFd, 128) != 0 ||
        getsockname(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        Fail("listen");
    }
    impl_->port = ntohs(address.sin_port);
    impl_->acceptThread = std::thread([impl = impl_.get()] { impl->AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    Stop();
}

void LoopbackServer::Stop() {
    if (impl_->stopping.exchange(true)) {
        return;
    }
    shutdown(impl_->listenFd, SHUT_RDWR);
    impl_->acceptThread.join();
    close(impl_->listenFd);
    std::list<Impl::Connection> open;
    {
        std::lock_guard<std::mutex> hold(impl_->mutex);
        for (Impl::Connection& connection : impl_->connections) {
            if (connection.fd >= 0) {
                shutdown(connection.fd, SHUT_RDWR);
            }
        }
        open.splice(open.end(), impl_->connections);
    }
    for (Impl::Connection& connection : open) {
        connection.thread.join();
    }
}

int LoopbackServer::port() const {
    return impl_->port;
}

std::string LoopbackServer::BaseUrl() const {
    return std::string(impl_->tls ? "https" : "http") + "://" + HostPort();
}

std::string LoopbackServer::Url(std::string_view path) const {
    return BaseUrl() + std::string(path);
}

std::string LoopbackServer::HostPort() const {
    return "127.0.0.1:" + std::to_string(impl_->port);
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
    std::lock_guard<std::mutex> hold(impl_->mutex);
    return impl_->requests;
}

bool LoopbackServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> hold(impl_->mutex);
    return impl_->requestArrived.wait_for(hold, timeout, [&] { return impl_->requests.size() >= count; });
}

int LoopbackServer::ConnectionCount() const {
    std::lock_guard<std::mutex> hold(impl_->mutex);
    return impl_->connectionCount;
}

}  // namespace fw::test
