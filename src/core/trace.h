// The developer trace. Lines are discarded unless the environment variable ORLO_TRACE names
// a file; then each line goes there, UTF-8, with a millisecond time stamp.
#pragma once
#include <string_view>

#include "core/format.h"

namespace orlo {

void WriteTrace(std::string_view line);

template <class... Args>
void TraceF(const char* format, Args... args) {
    WriteTrace(Sprintf(format, args...));
}
inline void TraceF(const char* line) { WriteTrace(line); }

}  // namespace orlo
