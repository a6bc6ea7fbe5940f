// Starts the real orlo-devserver with a config and talks to it over loopback.
#pragma once
#include <httplib.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orlo::test {

class DevServerProcess {
  public:
    // config_text empty: no --config, the built-in demo.
    explicit DevServerProcess(std::string_view config_text);
    ~DevServerProcess();
    DevServerProcess(const DevServerProcess&) = delete;
    DevServerProcess& operator=(const DevServerProcess&) = delete;

    // False when the process ended before writing its port file (its exit status is then
    // in ExitStatus, its messages in Stderr).
    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    std::string Stdout() const;
    std::string Stderr() const;

    // Sends the signal and waits; the exit code, or -1 when it did not end by exiting.
    int StopWith(int signal);
    int ExitStatus() const { return exit_status_; }

    httplib::Client Client() const;

  private:
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    int port_ = 0;
    int exit_status_ = -1;
};

// One devserver with every scenario the tests share, started on first use.
DevServerProcess& SharedDevServer();

// What the launcher on this machine sends as its time stamp now.
std::int64_t LauncherTimeStamp();
std::string Sign(std::string_view signing_text);  // lower-case hex MD5

// "?time=T&sign=S" for a list request whose resource name is data.
std::string SignedListQuery(std::string_view data, std::int64_t time);
std::string SignedGatewayQuery(std::int64_t time);

}  // namespace orlo::test
