// Our printf for the conversions the module uses, in wide and narrow form, producing exactly
// what vswprintf/vsnprintf produce for them, with one deliberate difference: "%l..." integer
// conversions take a long and print its low 32 bits, as a 32-bit long would on every platform
// ("%lX" of -17 prints "FFFFFFEF").
//
// Handled here: the flags '-', '0', '+', ' ' and '#' in any order, a width and a precision
// (digits or '*'), the length modifiers 'h' and 'l', and the conversions d i u x X o c s and
// "%%". Anything else is handed, as the whole call, to vswprintf/vsnprintf, which then decides
// alone (and prints a "%l..." long in full): floating point (FormatA's "%.15g"), other length
// modifiers, positional arguments, %n, null string pointers, a malformed conversion, and
// characters beyond 7-bit ASCII that the C library converts between wide and narrow through the
// locale.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "util/CompiledFormat.h"

namespace util {

// Formats into `buffer`, which holds `size` units: the result and its terminating NUL. Returns
// the result's length, or -1 when the result and its NUL do not fit (for both widths, as
// vswprintf does) or when the C library reports an error.
int FormatTo(wchar_t* buffer, std::size_t size, const wchar_t* format, std::va_list args);
int FormatTo(char* buffer, std::size_t size, const char* format, std::va_list args);

// One argument of a precompiled format, by the width the C library reads it with: an int
// (also unsigned, wint_t), a long (also unsigned long), or a text pointer.
struct FormatArg {
    enum class Kind : std::uint8_t { Int, Long, Text, WideText };
    Kind kind;
    long long value = 0;
    const void* text = nullptr;
};

// What the precompiled forms return when our pass leaves the whole call to the C library (a
// null text, a character the locale converts): the caller then hands it the same arguments.
inline constexpr int kFormatDelegate = -2;

// Formats a precompiled format with its arguments: the length, -1 when the result and its NUL do
// not fit, or kFormatDelegate. An argument of another width than its conversion reads (or one
// missing) throws std::logic_error: a programming error, never an input error.
int FormatPacked(wchar_t* buffer, std::size_t size, const CompiledFormat<wchar_t>& compiled,
                 const FormatArg* args, int count);
int FormatPacked(char* buffer, std::size_t size, const CompiledFormat<char>& compiled,
                 const FormatArg* args, int count);

}  // namespace util
