#pragma once

// A small HTTP/1.x server on 127.0.0.1 that stands in for a web site (or a forward proxy) in tests. It
// listens on an ephemeral port, serves any number of connections at once (one thread each), records every
// request with its exact bytes, and lets a handler answer it: a complete response, raw bytes, a body
// that streams on and on, or nothing at all. Optionally it speaks TLS with a certificate made at test
// time (test_certificate.h).
//
//     LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
//         reply.Send(200, "OK", {{"Content-Type", "text/html"}}, "<p>" + request.target + "</p>");
//     });
//     ... fetch site.Url("/page") ...
//     site.WaitForRequests(1, std::chrono::seconds(10));
//     EXPECT_EQ(site.Requests()[0].Header("Accept"), "*/*");
//
// Stop() (also run by the destructor) returns promptly even while handlers stream or stall: it closes the
// listening socket and shuts every open connection down, which ends each handler's sending or waiting,
// then joins all threads. A handler that blocks on something else must watch ServerStopping().

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fw::test {

struct TestCertificate;

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
    // Every byte that was received for this request: request line, header lines, blank line and body
    // (a chunked body with its chunk framing).
    std::string raw;
    std::string method;
    // As sent: "/path?query" for an origin server, "http://host/path" for a proxy, "host:443" for CONNECT.
    std::string target;
    std::string version;
    // In received order, names as sent, values without the spaces around them.
    HeaderList headers;
    // The body, chunked framing removed.
    std::string body;
    // Which connection it came on, numbered from 1 in the order the server accepted them.
    int connection = 0;

    // The value of the first header of that name (letter case ignored); empty when there is none.
    std::string Header(std::string_view name) const;
    bool HasHeader(std::string_view name) const;
    // How many headers of that name (letter case ignored) the request carries.
    std::size_t HeaderCount(std::string_view name) const;
};

// How a handler answers. Every call returns false (or stops early) once the client has gone away or the
// server is stopping. After the handler returns, the connection is closed unless the server keeps
// connections alive and the handler sent one complete response with a length (see Send).
class Responder {
  public:
    class Channel;
    Responder(Channel& channel, bool keepAliveAllowed, const std::atomic<bool>& stopping);

    // "HTTP/1.1 <status> <reason>", the headers in the given order, then "Content-Length" (unless
    // `addContentLength` is false or the headers name one) and "Connection: close" when the connection
    // ends after this response (unless the headers name a Connection), a blank line and the body. Without
    // a length the body ends when the connection closes.
    bool Send(int status, std::string_view reason, const HeaderList& headers = {}, std::string_view body = {},
              bool addContentLength = true);

    // Exactly these bytes; the connection closes after the handler.
    bool SendRaw(std::string_view bytes);

    // Sends `piece` over and over (the last one cut to fit) until `totalBytes` have gone (0: no end), the
    // client goes away or the server stops, waiting `pause` between pieces. Returns the bytes sent. Call it
    // after the status line and headers have gone out with SendRaw.
    std::size_t Stream(std::string_view piece, std::size_t totalBytes = 0,
                       std::chrono::milliseconds pause = std::chrono::milliseconds(0));

    // Sends nothing; returns once the client closes the connection or the server stops.
    void Stall();

    // Closes the connection at once.
    void Close();

    bool ServerStopping() const;

  private:
    Channel& channel_;
    bool keepAliveAllowed_;
    const std::atomic<bool>& stopping_;
    bool keepOpen_ = false;
    bool closed_ = false;

    friend class LoopbackServer;
};

using Handler = std::function<void(const RecordedRequest& request, Responder& responder)>;

struct LoopbackServerOptions {
    // Serve HTTPS with this certificate and its key; null: plain HTTP. Only read while the server starts.
    const TestCertificate* certificate = nullptr;
    // Further certificates sent after it (the issuers, leaf first).
    std::vector<const TestCertificate*> chain;
    // Read further requests on a connection after a complete response (HTTP/1.1 keep-alive).
    bool keepAlive = false;
};

class LoopbackServer {
  public:
    explicit LoopbackServer(Handler handler, LoopbackServerOptions options = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const;
    // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT", without a final slash.
    std::string BaseUrl() const;
    // BaseUrl() + path.
    std::string Url(std::string_view path) const;
    // "127.0.0.1:PORT", the form a proxy setting takes.
    std::string HostPort() const;

    // The requests received so far, in arrival order.
    std::vector<RecordedRequest> Requests() const;
    // Waits until at least `count` requests have arrived; false when the time ran out first.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // Connections accepted so far.
    int ConnectionCount() const;

    void Stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace fw::test
