// Drops a client's connection from inside a request handler, before any answer byte is sent.
// The HTTP library does not hand its handlers the socket, so the connection is found by its
// port pair among this process's descriptors.
#pragma once

namespace orlo::devserver {

// True when a matching connection was found and shut down. The library still owns and
// closes the descriptor; shutting it down only makes every later write fail.
bool DropConnection(int local_port, int remote_port);

}  // namespace orlo::devserver
