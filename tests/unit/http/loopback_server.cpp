#include "loopback_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace orlo::test {
namespace {

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
void CloseSocket(Socket s) { closesocket(s); }
constexpr int kSendFlags = 0;
struct WinsockInit {
    WinsockInit() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
void CloseSocket(Socket s) { close(s); }
// A client that gave up must not kill the test process with SIGPIPE.
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

Socket AsSocket(std::intptr_t s) { return static_cast<Socket>(s); }

// Sockets are waited on in short slices so that a stopping server is never stuck in a call.
bool Readable(Socket s, int millis) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, millis * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &tv) > 0;
}

Socket BoundSocket(int& port) {
#ifdef _WIN32
    static WinsockInit winsock;
#endif
    Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == kNoSocket) throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        CloseSocket(s);
        throw std::runtime_error("bind failed");
    }
    port = ntohs(addr.sin_port);
    return s;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string StatusLine(int status) {
    const char* reason = status == 200 ? "OK" : status < 400 ? "Redirect" : "Error";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
}

}  // namespace

void Reply::Raw(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = static_cast<int>(
            send(AsSocket(socket_), bytes.data() + sent, static_cast<int>(bytes.size() - sent), kSendFlags));
        if (n <= 0) return;  // the client went away; nothing left to tell it
        sent += static_cast<std::size_t>(n);
    }
}

void Reply::Send(int status, const std::string& body, const std::vector<std::string>& extra_headers) {
    std::string head = StatusLine(status) + "Content-Length: " + std::to_string(body.size()) + "\r\n";
    for (const auto& h : extra_headers) head += h + "\r\n";
    Raw(head + "Connection: close\r\n\r\n" + body);
}

void Reply::StartChunked(int status) {
    Raw(StatusLine(status) + "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
}

void Reply::Chunk(const std::string& bytes) {
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", bytes.size());
    Raw(size + bytes + "\r\n");
}

void Reply::EndChunked() { Raw("0\r\n\r\n"); }

void Reply::Wait(std::chrono::milliseconds how_long) {
    std::unique_lock lock(server_.mutex_);
    server_.wake_.wait_for(lock, how_long, [this] { return server_.stopping_; });
}

LoopbackServer::LoopbackServer(std::map<std::string, Handler> routes) : routes_(std::move(routes)) {
    Socket s = BoundSocket(port_);
    if (listen(s, 16) != 0) {
        CloseSocket(s);
        throw std::runtime_error("listen failed");
    }
    listener_ = static_cast<std::intptr_t>(s);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    acceptor_.join();
    for (auto& t : connections_) t.join();
    CloseSocket(AsSocket(listener_));
}

int LoopbackServer::ClosedPort() {
    int port = 0;
    CloseSocket(BoundSocket(port));
    return port;
}

bool LoopbackServer::Stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void LoopbackServer::AcceptLoop() {
    while (!Stopping()) {
        if (!Readable(AsSocket(listener_), 20)) continue;
        Socket client = accept(AsSocket(listener_), nullptr, nullptr);
        if (client == kNoSocket) continue;
        connections_.emplace_back([this, client] { Serve(static_cast<std::intptr_t>(client)); });
    }
}

void LoopbackServer::Serve(std::intptr_t socket) {
    Socket s = AsSocket(socket);
    Reply reply(*this, socket);
    std::string head;
    // Read the request head; give up on silence, on stopping, or on bytes no HTTP head holds
    // (a TLS hello sent to this plain server gets a plain 400 at once).
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (Stopping() || std::chrono::steady_clock::now() > give_up || head.size() > 16384) break;
        if (!Readable(s, 20)) continue;
        char buffer[4096];
        const int n = static_cast<int>(recv(s, buffer, sizeof buffer, 0));
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
        if (std::any_of(head.begin(), head.end(), [](char c) {
                const auto u = static_cast<unsigned char>(c);
                return u >= 0x80 || (u < 0x20 && u != '\r' && u != '\n' && u != '\t');
            })) {
            reply.Send(400, "not HTTP");
            head.clear();
            break;
        }
    }
    if (head.find("\r\n\r\n") != std::string::npos) {
        HttpRequest request;
        std::size_t line_end = head.find("\r\n");
        const std::string line = head.substr(0, line_end);
        const std::size_t sp1 = line.find(' ');
        const std::size_t sp2 = line.find(' ', sp1 + 1);
        request.method = line.substr(0, sp1);
        request.path = line.substr(sp1 + 1, sp2 - sp1 - 1);
        for (std::size_t at = line_end + 2; at < head.size();) {
            const std::size_t end = head.find("\r\n", at);
            if (end == std::string::npos || end == at) break;
            const std::string h = head.substr(at, end - at);
            const std::size_t colon = h.find(':');
            if (colon != std::string::npos) {
                std::size_t v = colon + 1;
                while (v < h.size() && h[v] == ' ') ++v;
                request.headers[Lower(h.substr(0, colon))] = h.substr(v);
            }
            at = end + 2;
        }
        const Handler* best = nullptr;
        std::size_t best_len = 0;
        for (const auto& [prefix, handler] : routes_) {
            if (request.path.rfind(prefix, 0) == 0 && prefix.size() >= best_len) {
                best = &handler;
                best_len = prefix.size();
            }
        }
        if (best) {
            (*best)(request, reply);
        } else {
            reply.Send(404, "no route");
        }
    }
#ifdef _WIN32
    shutdown(s, SD_SEND);
#else
    shutdown(s, SHUT_WR);
#endif
    CloseSocket(s);
}

}  // namespace orlo::test
