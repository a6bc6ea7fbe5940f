// printf-style formatting into std::string. The launcher's trace and message texts are given
// as printf formats ("%s", "%d", "%.8x"), so they are kept in that form.
#pragma once
#include <cstdarg>
#include <string>

namespace orlo {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string Sprintf(const char* format, ...);

std::string VSprintf(const char* format, va_list args);

}  // namespace orlo
