// The connection to the chosen game server's login port. Owned by the client application
// object; its events are attached at construction.
#pragma once
#include <functional>

namespace orlo {

class TuClientSocket {
  public:
    std::function<void()> OnRead, OnConnect, OnDisconnect, OnError;
};

}  // namespace orlo
