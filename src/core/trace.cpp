#include "core/trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>

#include "platform/files.h"

namespace orlo {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

class TraceSink {
  public:
    TraceSink() {
        const char* name = std::getenv("ORLO_TRACE");
        if (!name || !*name) return;
        // A trace file that cannot be opened is ignored: tracing never stops the launcher.
        auto path = platform::PathFromUtf8(name);
#ifdef _WIN32
        file_.reset(_wfopen(path.c_str(), L"ab"));
#else
        file_.reset(std::fopen(path.c_str(), "ab"));
#endif
    }
    void Write(std::string_view line) {
        if (!file_) return;
        using namespace std::chrono;
        auto now = system_clock::now();
        std::time_t secs = system_clock::to_time_t(now);
        auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
        std::tm tm{};
#ifdef _WIN32
        localtime_s(&tm, &secs);
#else
        localtime_r(&secs, &tm);
#endif
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
        std::lock_guard lock(mutex_);
        std::fprintf(file_.get(), "%s.%03d %.*s\n", stamp, static_cast<int>(ms), static_cast<int>(line.size()),
                     line.data());
        std::fflush(file_.get());
    }

  private:
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::mutex mutex_;
};

}  // namespace

void WriteTrace(std::string_view line) {
    static TraceSink sink;
    sink.Write(line);
}

}  // namespace orlo
