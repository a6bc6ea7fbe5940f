// The download manager: one per process, made before the launcher's main sequence. It keeps
// the client current; its runs are added with the updating work.
#pragma once

namespace orlo {

class TDownManager {
  public:
    static TDownManager& Instance() {
        static TDownManager manager;
        return manager;
    }

  private:
    TDownManager() = default;
};

}  // namespace orlo
