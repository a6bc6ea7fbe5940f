// The launcher process, from entry to exit.
#pragma once

namespace orlo {

// Returns the process exit code.
int RunLauncher();

}  // namespace orlo
