// printf-style formatting into std::string. The launcher's trace and message texts are given
// as printf formats ("%s", "%d", "%.8x"), so they are kept in that form.
#pragma once
#include <cstdarg>
#include <string>

namespace orlo {

#if defined(__MINGW32__)
__attribute__((format(gnu_printf, 1, 2)))  // with __USE_MINGW_ANSI_STDIO, C99 formats such as %zu work
#elif defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Sprintf(const char* format, ...);

std::string VSprintf(const char* format, va_list args);

}  // namespace orlo
