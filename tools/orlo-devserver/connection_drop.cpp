#include "connection_drop.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace orlo::devserver {
namespace {

int PortOf(const sockaddr_storage& addr) {
    if (addr.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
    if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
    return -1;
}

bool Matches(int fd, int local_port, int remote_port) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) return false;
    sockaddr_storage local{}, peer{};
    socklen_t local_len = sizeof local, peer_len = sizeof peer;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &local_len) != 0) return false;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peer_len) != 0) return false;
    return PortOf(local) == local_port && PortOf(peer) == remote_port;
}

}  // namespace

bool DropConnection(int local_port, int remote_port) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return false;
    bool dropped = false;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        int fd = std::atoi(e->d_name);
        if (fd == dirfd(dir) || !Matches(fd, local_port, remote_port)) continue;
        // Zero linger makes the library's later close a reset, as when a server dies mid-request.
        linger hard{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        shutdown(fd, SHUT_RDWR);
        dropped = true;
        break;
    }
    closedir(dir);
    return dropped;
}

}  // namespace orlo::devserver
