// The launcher process, from entry to exit.
#pragma once

namespace orlo {

// Returns the process exit code.
int RunLauncher();

// Makes the executable's directory the current one when it is not, so relative file
// operations work from a shortcut whose working directory is elsewhere.
void UseExecutableDirectory();

}  // namespace orlo
