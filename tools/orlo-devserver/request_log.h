// What each scenario received, so tests can assert on what the launcher sent.
#pragma once
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace orlo::devserver {

struct LoggedRequest {
    std::string method;
    std::string path;                                          // raw, as received
    std::string query;                                         // raw, without "?"
    std::vector<std::pair<std::string, std::string>> headers;  // names as the client wrote them
    long long time_ms = 0;                                     // since the devserver started, on a monotonic clock
    int status = 0;                                            // 0 while unanswered or when the connection was dropped
};

class RequestLog {
  public:
    RequestLog();
    // Returns the entry's index for SetStatus.
    std::size_t Add(const std::string& scenario, LoggedRequest entry);
    void SetStatus(const std::string& scenario, std::size_t index, int status);
    // The scenario's entries as a JSON array of objects; headers become one object (repeated
    // names joined with ", ").
    std::string ToJson(const std::string& scenario) const;
    void Clear(const std::string& scenario);
    long long NowMs() const;

  private:
    std::chrono::steady_clock::time_point start_;
    mutable std::mutex mutex_;
    // Indices keep counting across Clear, so a stale one finds no entry.
    struct Book {
        std::vector<LoggedRequest> entries;
        std::size_t first_index = 0;
    };
    std::map<std::string, Book> books_;
};

}  // namespace orlo::devserver
