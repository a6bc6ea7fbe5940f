// The devserver proper: serves every scenario under "/s/<name>" (and "demo" also at the root),
// checks signatures, injects faults and keeps the request log.
#pragma once
#include <memory>

#include "codec/result.h"
#include "scenario.h"

namespace orlo::devserver {

class DevServer {
  public:
    explicit DevServer(Scenarios scenarios);
    ~DevServer();
    DevServer(const DevServer&) = delete;
    DevServer& operator=(const DevServer&) = delete;

    // Binds 127.0.0.1; port 0 takes any free port. Gives the port bound.
    Result<int> Bind(int port);
    // Serves until Stop; false when serving failed.
    bool Run();
    // Safe from any thread; ends delays in progress too.
    void Stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orlo::devserver
