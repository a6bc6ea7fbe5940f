// orlo-devserver: the operator's local stand-in for the list service, on loopback, with
// scenarios and fault injection. Runs until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "demo_scenario.h"
#include "platform/files.h"
#include "scenario.h"
#include "server.h"

namespace orlo::devserver {
namespace {

const char* const kUsage = "usage: orlo-devserver [--config FILE] [--port N] [--port-file PATH]\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "orlo-devserver: %s\n", message.c_str());
    return 2;
}

struct Options {
    std::string config;
    int port = 0;
    std::string port_file;
};

bool ParsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    port = std::atoi(text.c_str());
    return port <= 65535;
}

int Main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc) return Fail("unknown or incomplete option \"" + arg + "\"\n" + kUsage);
        std::string value = argv[++i];
        if (arg == "--config") {
            options.config = value;
        } else if (arg == "--port") {
            if (!ParsePort(value, options.port)) return Fail("--port wants a number from 0 to 65535");
        } else if (arg == "--port-file") {
            options.port_file = value;
        } else {
            return Fail("unknown option \"" + arg + "\"\n" + kUsage);
        }
    }

    std::string config_text;
    if (options.config.empty()) {
        config_text = DemoConfig();
    } else {
        auto text = platform::ReadWholeFile(platform::PathFromUtf8(options.config), std::size_t(64) << 20);
        if (!text) return Fail("cannot read the config " + options.config);
        config_text = std::move(*text);
    }
    auto scenarios = ParseScenarios(config_text);
    if (!scenarios) return Fail((options.config.empty() ? "demo" : options.config) + ": " + scenarios.error());

    // Signals are taken by one thread with sigwait, so they must be blocked before the
    // server's threads start (they inherit the mask). SIGUSR1 tells that thread to leave.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A client that hangs up mid-answer must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    DevServer server(std::move(*scenarios));
    auto port = server.Bind(options.port);
    if (!port) return Fail(port.error());
    if (!options.port_file.empty() &&
        !platform::ReplaceFileContents(platform::PathFromUtf8(options.port_file), std::to_string(*port) + "\n")) {
        return Fail("cannot write the port file " + options.port_file);
    }
    std::printf("orlo-devserver listening on http://127.0.0.1:%d\n", *port);
    std::fflush(stdout);

    std::atomic<bool> ended{false};
    std::thread waiter([&] {
        int received = 0;
        sigwait(&signals, &received);
        if (received == SIGUSR1) return;
        std::fprintf(stderr, "orlo-devserver: stopping on signal %d\n", received);
        // A signal can come before the server loop has started, when a stop is not yet
        // heard; repeat until the loop has ended.
        while (!ended) {
            server.Stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    bool served = server.Run();
    ended = true;
    pthread_kill(waiter.native_handle(), SIGUSR1);
    waiter.join();
    return served ? 0 : Fail("serving failed");
}

}  // namespace
}  // namespace orlo::devserver

int main(int argc, char** argv) { return orlo::devserver::Main(argc, argv); }
