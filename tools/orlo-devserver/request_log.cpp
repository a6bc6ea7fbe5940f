#include "request_log.h"

#include <nlohmann/json.hpp>

namespace orlo::devserver {

RequestLog::RequestLog() : start_(std::chrono::steady_clock::now()) {}

long long RequestLog::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

std::size_t RequestLog::Add(const std::string& scenario, LoggedRequest entry) {
    std::lock_guard lock(mutex_);
    Book& book = books_[scenario];
    book.entries.push_back(std::move(entry));
    return book.first_index + book.entries.size() - 1;
}

void RequestLog::SetStatus(const std::string& scenario, std::size_t index, int status) {
    std::lock_guard lock(mutex_);
    Book& book = books_[scenario];
    // A request still in flight when its log was cleared has no entry left to update.
    if (index < book.first_index || index - book.first_index >= book.entries.size()) return;
    book.entries[index - book.first_index].status = status;
}

std::string RequestLog::ToJson(const std::string& scenario) const {
    std::lock_guard lock(mutex_);
    nlohmann::json out = nlohmann::json::array();
    auto it = books_.find(scenario);
    if (it == books_.end()) return out.dump();
    for (const LoggedRequest& e : it->second.entries) {
        nlohmann::json headers = nlohmann::json::object();
        for (const auto& [name, value] : e.headers) {
            if (headers.contains(name)) {
                headers[name] = headers[name].get<std::string>() + ", " + value;
            } else {
                headers[name] = value;
            }
        }
        out.push_back({{"method", e.method},
                       {"path", e.path},
                       {"query", e.query},
                       {"headers", headers},
                       {"time_ms", e.time_ms},
                       {"status", e.status}});
    }
    // Header values from outside may hold bytes that are not UTF-8; replace rather than throw.
    return out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void RequestLog::Clear(const std::string& scenario) {
    std::lock_guard lock(mutex_);
    Book& book = books_[scenario];
    book.first_index += book.entries.size();
    book.entries.clear();
}

}  // namespace orlo::devserver
