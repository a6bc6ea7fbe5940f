#include "core/format.h"

#include <cstdio>

namespace orlo {

std::string VSprintf(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string Sprintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = VSprintf(format, args);
    va_end(args);
    return out;
}

}  // namespace orlo
