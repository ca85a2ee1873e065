// Bounded printf-style formatting. Results up to 1000 units are returned; anything longer throws
// util::buffer_overrun. The intermediate buffer lives on the stack. The formatting itself runs on
// the selected text backend (util/TextBackend.h): our formatter (util/FormatEngine.h, with a
// 32-bit long for "%l...") or the C library's vswprintf/vsnprintf.
#pragma once

#include <string>

#if defined(__GNUC__)
#define ZV_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ZV_PRINTF_LIKE(fmt, args)
#endif

namespace util {

inline constexpr int kFormatLimit = 1000;

// Arguments must match the conversions exactly ("%ld" takes a long), as with the C library.
std::wstring Format(const wchar_t* format, ...);
std::string FormatA(const char* format, ...) ZV_PRINTF_LIKE(1, 2);

}  // namespace util
