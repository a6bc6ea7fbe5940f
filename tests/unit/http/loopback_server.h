// A small blocking HTTP/1.1 server on 127.0.0.1 for the client's tests: one thread per
// connection, one request per connection, and handlers that write raw bytes so a test can
// send exactly the framing, timing and faults it wants.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orlo::test {

struct HttpRequest {
    std::string method;
    std::string path;
    std::map<std::string, std::string> headers;  // names in lower case
    bool Has(const std::string& lower_name) const { return headers.count(lower_name) != 0; }
};

class LoopbackServer;

// The handler's side of one connection.
class Reply {
  public:
    void Raw(const std::string& bytes);
    // A whole response with a Content-Length.
    void Send(int status, const std::string& body, const std::vector<std::string>& extra_headers = {});
    void StartChunked(int status);
    void Chunk(const std::string& bytes);
    void EndChunked();
    // Sleeps, but wakes early when the server stops.
    void Wait(std::chrono::milliseconds how_long);

  private:
    friend class LoopbackServer;
    Reply(LoopbackServer& server, std::intptr_t socket) : server_(server), socket_(socket) {}
    LoopbackServer& server_;
    std::intptr_t socket_;
};

class LoopbackServer {
  public:
    using Handler = std::function<void(const HttpRequest&, Reply&)>;

    // Longest-prefix match on the path; an unknown path gets a 404.
    explicit LoopbackServer(std::map<std::string, Handler> routes);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

    // A port nothing listens on: bound a moment ago, closed without listening.
    static int ClosedPort();

  private:
    friend class Reply;
    void AcceptLoop();
    void Serve(std::intptr_t socket);
    bool Stopping();

    std::map<std::string, Handler> routes_;
    std::intptr_t listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

}  // namespace orlo::test
