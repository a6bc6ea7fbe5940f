#include "server.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "connection_drop.h"
#include "disguise.h"
#include "list_cipher.h"
#include "list_signature.h"
#include "request_log.h"

namespace orlo::devserver {
namespace {

constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kText = "text/plain; charset=utf-8";

constexpr std::string_view kLogPrefix = "/_log/";
constexpr std::string_view kScenarioPrefix = "/s/";
// The scenario that is also served at the root, so a demo profile needs no path.
constexpr std::string_view kRootScenario = "demo";

std::string_view RawPath(const std::string& target) { return std::string_view(target).substr(0, target.find('?')); }

std::string_view RawQuery(const std::string& target) {
    std::size_t q = target.find('?');
    return q == std::string::npos ? std::string_view() : std::string_view(target).substr(q + 1);
}

// A route's path matches the rest of the request path after the scenario prefix; the
// scenario's own address matches with or without a trailing "/".
bool PathMatches(const Route& route, std::string_view rest) {
    if (route.path.empty() || route.path == "/") return rest.empty() || rest == "/";
    return rest == route.path;
}

std::string GatewayAnswer(const Route& route, const std::string& base) {
    nlohmann::json data = nlohmann::json::array();
    for (const std::string& url : route.urls) data.push_back(ReplaceBase(url, base));
    return nlohmann::json{{"data", data}}.dump();
}

}  // namespace

struct DevServer::Impl {
    Scenarios scenarios;
    httplib::Server http;
    RequestLog log;
    int port = 0;

    std::mutex mutex;  // guards served counts and stopping
    std::condition_variable wake;
    bool stopping = false;
    std::map<const Route*, int> served;  // signed requests per route, for fail_first

    explicit Impl(Scenarios s) : scenarios(std::move(s)) {}

    void Install() {
        http.Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); });
        http.Post(".*", [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); });
        http.Delete(".*", [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); });
    }

    // False when stopped while waiting.
    bool Sleep(int ms) {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }

    void Handle(const httplib::Request& req, httplib::Response& res) {
        std::string_view path = RawPath(req.target);
        if (path.starts_with(kLogPrefix)) return HandleLog(req, std::string(path.substr(kLogPrefix.size())), res);

        // Which scenario, and the prefix it is served under.
        const Scenario* scenario = nullptr;
        std::string prefix;
        if (path.starts_with(kScenarioPrefix)) {
            std::string_view rest = path.substr(kScenarioPrefix.size());
            std::string_view name = rest.substr(0, rest.find('/'));
            if (auto it = scenarios.find(name); it != scenarios.end()) {
                scenario = &it->second;
                prefix = std::string(kScenarioPrefix) + std::string(name);
            }
        }
        if (!scenario) {
            if (auto it = scenarios.find(kRootScenario); it != scenarios.end()) scenario = &it->second;
        }
        if (!scenario) {
            std::fprintf(stderr, "[-] %s %s: no scenario serves this path -> 404\n", req.method.c_str(),
                         req.target.c_str());
            res.status = 404;
            return;
        }

        LoggedRequest entry{req.method, std::string(path), std::string(RawQuery(req.target)), {}, log.NowMs(), 0};
        std::string header_line;
        for (const auto& [name, value] : req.headers) {
            // The library adds these itself; they were not on the wire.
            if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT") {
                continue;
            }
            entry.headers.emplace_back(name, value);
            header_line += " | " + name + ": " + value;
        }
        std::fprintf(stderr, "[%s] %s %s%s\n", scenario->name.c_str(), req.method.c_str(), req.target.c_str(),
                     header_line.c_str());
        std::size_t index = log.Add(scenario->name, std::move(entry));

        int status = Serve(*scenario, prefix, req, res);
        log.SetStatus(scenario->name, index, status);
    }

    // Gives the status answered, 0 when the connection was dropped.
    int Serve(const Scenario& scenario,
              const std::string& prefix,
              const httplib::Request& req,
              httplib::Response& res) {
        auto reply = [&](int status, std::string body, const char* type) {
            res.status = status;
            res.set_content(std::move(body), type);
            return status;
        };
        std::string_view rest = RawPath(req.target).substr(prefix.size());
        const Route* route = nullptr;
        for (const Route& r : scenario.routes) {
            if (PathMatches(r, rest)) route = &r;
        }
        if (!route) return reply(404, "", kText);
        if (req.method != "GET") return reply(405, "", kText);

        const Faults& f = route->faults;
        if (f.delay_ms > 0 && !Sleep(f.delay_ms)) return reply(503, "", kText);

        if (scenario.check_signature) {
            if (auto why = CheckSignature(req.target, route->kind, ExpectedTimeStamp())) {
                std::fprintf(stderr, "[%s] 403 %s: %s\n", scenario.name.c_str(), req.target.c_str(), why->c_str());
                return reply(403, *why, kText);
            }
        }
        int count;
        {
            std::lock_guard lock(mutex);
            count = ++served[route];
        }
        if (count <= f.fail_first) return reply(500, "", kText);
        if (f.close) {
            if (DropConnection(req.local_port, req.remote_port)) return 0;
            std::fprintf(stderr, "[%s] could not drop the connection of %s; answering 500\n", scenario.name.c_str(),
                         req.target.c_str());
            return reply(500, "", kText);
        }
        if (f.body) return reply(f.status.value_or(200), *f.body, kText);
        if (f.status && *f.status != 200) return reply(*f.status, "", kText);

        const std::string base = "http://127.0.0.1:" + std::to_string(port) + prefix;
        switch (route->kind) {
            case RouteKind::Gateway:
                return reply(200, GatewayAnswer(*route, base), kJson);
            case RouteKind::ModList: {
                std::string text = ReplaceBase(*route->text, base);
                if (route->disguise) return reply(200, Disguise(text), kText);
                return reply(200, std::move(text), kJson);
            }
            case RouteKind::ServerList: {
                std::string text = ReplaceBase(*route->text, base);
                if (route->encipher) return reply(200, EncipherServerList(text, route->marker), kText);
                return reply(200, std::move(text), kJson);
            }
        }
        return reply(500, "", kText);
    }

    void HandleLog(const httplib::Request& req, const std::string& name, httplib::Response& res) {
        if (!scenarios.contains(name)) {
            res.status = 404;
            res.set_content("no scenario \"" + name + "\"", kText);
            return;
        }
        if (req.method == "GET") {
            res.set_content(log.ToJson(name), kJson);
        } else if (req.method == "DELETE") {
            log.Clear(name);
            res.status = 204;
        } else {
            res.status = 405;
        }
    }
};

DevServer::DevServer(Scenarios scenarios) : impl_(std::make_unique<Impl>(std::move(scenarios))) { impl_->Install(); }

DevServer::~DevServer() = default;

Result<int> DevServer::Bind(int port) {
    if (port == 0) {
        int bound = impl_->http.bind_to_any_port("127.0.0.1");
        if (bound <= 0) return Result<int>::Fail("cannot bind 127.0.0.1 to a free port");
        impl_->port = bound;
    } else {
        if (!impl_->http.bind_to_port("127.0.0.1", port)) {
            return Result<int>::Fail("cannot bind 127.0.0.1:" + std::to_string(port));
        }
        impl_->port = port;
    }
    return impl_->port;
}

bool DevServer::Run() { return impl_->http.listen_after_bind(); }

void DevServer::Stop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    impl_->http.stop();
}

}  // namespace orlo::devserver
