#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/backend.h"
#include "platform/system.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <mutex>

namespace orlo::platform {
namespace {

// A Windows mutex name may hold any character; a file name here may not, and two names must
// not meet in one file, so everything but letters and digits is written as %XX.
std::filesystem::path MutexLockFile(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string file = "orlo-mutex-";
    for (unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            file += static_cast<char>(c);
        } else {
            file += '%';
            file += kHex[c >> 4];
            file += kHex[c & 15];
        }
    }
    if (file.size() > 200) file = file.substr(0, 180) + "-" + std::to_string(std::hash<std::string_view>{}(name));
    return TempDirectory() / (file + ".lock");
}

int OpenCloexec(const std::filesystem::path& path, int flags) {
    int fd;
    do fd = open(path.c_str(), flags | O_CLOEXEC, 0600);
    while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

std::uint32_t TickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::string LocalDateTimeText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Emulated with flock on a file named after the mutex: holders keep a shared lock, and a
// mutex exists while an exclusive lock cannot be had. flock locks belong to the open file, so
// this also sees the holder in the same process, as OpenMutex would.
bool NamedMutexExists(std::string_view name) {
    int fd = OpenCloexec(MutexLockFile(name), O_RDONLY);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}

void CreateNamedMutex(std::string_view name) {
    int fd = OpenCloexec(MutexLockFile(name), O_RDWR | O_CREAT);
    if (fd < 0) return;
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        close(fd);
        return;
    }
    // The descriptor stays open until the process ends, which releases the lock.
}

std::string SystemDrive() { return {}; }

bool IsFixedDrive(std::string_view) { return false; }

std::optional<std::filesystem::path> NewTempFile(std::string_view prefix) {
    // Shaped like the Windows names (prefix, unique part, ".tmp").
    std::string path = PathToUtf8(TempDirectory() / PathFromUtf8(std::string(prefix) + "XXXXXX.tmp"));
    int fd = mkostemps(path.data(), 4, O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    close(fd);
    return PathFromUtf8(path);
}

bool StartHiddenIdle(const std::filesystem::path& program, const std::filesystem::path& working_dir) {
    auto ext = program.extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".bat" || ext == ".cmd") return false;

    // Built before forking: only async-signal-safe calls may follow in the child.
    std::string path = program.string();
    std::string dir = working_dir.string();
    char* argv[] = {path.data(), nullptr};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;

    // Forked twice so the started program is not our child and leaves no zombie behind; the
    // grandchild reports a failed exec through the pipe, which closes silently on success.
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        close(report[0]);
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        int error = 0;
        if (!dir.empty() && chdir(dir.c_str()) != 0) error = errno;
        if (error == 0) {
            setpriority(PRIO_PROCESS, 0, 19);
            execv(path.c_str(), argv);
            error = errno;
        }
        ssize_t ignored = write(report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    do n = read(report[0], &error, sizeof error);
    while (n < 0 && errno == EINTR);
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

void NotifyAssociationsChanged() {}

std::optional<Bytes> ExecutableResource(std::string_view name) {
    // No resources in an ELF file: a stand-in, so the start-up path that writes the RAR library
    // out runs here too.
    if (name != "UNRAR") return std::nullopt;
    static constexpr char kPlaceholder[] = "orlo headless placeholder for the UNRAR library\n";
    return Bytes(kPlaceholder, kPlaceholder + sizeof kPlaceholder - 1);
}

std::filesystem::path CurrentDirectory() {
    std::error_code ec;
    auto p = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path() : p;
}

bool SetCurrentDirectory(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    return !ec;
}

void ShowMessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    backend::RecordMessageBox(text, caption, icon);
    std::cerr << caption << ": " << text << std::endl;
}

// A process is its id here; an ended child is reaped once and then reads as no process.
std::optional<std::uint32_t> ProcessExitCode(std::uint64_t process) {
    int status = 0;
    const pid_t pid = waitpid(static_cast<pid_t>(process), &status, WNOHANG);
    if (pid == 0) return 259;
    if (pid < 0) return std::nullopt;
    return WIFEXITED(status) ? static_cast<std::uint32_t>(WEXITSTATUS(status)) : 1u;
}

void CloseProcessHandle(std::uint64_t) {}

}  // namespace orlo::platform
