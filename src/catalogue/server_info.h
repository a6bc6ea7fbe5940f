// The catalogue container: mod information and the server collection. It grows with the
// catalogue work; the client application object owns one from construction on.
#pragma once

namespace orlo {

class TServerInfo {
  public:
    int FMaxClient = 1;  // how many game clients may run at once
};

}  // namespace orlo
