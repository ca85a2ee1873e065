// Bounded printf-style formatting. Results up to 1000 units are returned; anything longer throws
// util::buffer_overrun. The intermediate buffer lives on the stack. The formatting itself runs on
// the selected text backend (util/TextBackend.h): our formatter (util/FormatEngine.h, with a
// 32-bit long for "%l...") or the C library's vswprintf/vsnprintf.
//
// Formats the module knows when it is built are precompiled (util/CompiledFormat.h) and appended to
// a text the caller keeps, so printing a device neither parses its format again nor allocates
// once the caller's string has grown to size.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <type_traits>

#include "util/CompiledFormat.h"
#include "util/Exceptions.h"
#include "util/FormatEngine.h"
#include "util/TextBackend.h"

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

namespace detail {

template <class T>
FormatArg MakeFormatArg(T v) {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>) {
        return {FormatArg::Kind::Text, 0, v};
    } else if constexpr (std::is_same_v<U, const wchar_t*> || std::is_same_v<U, wchar_t*>) {
        return {FormatArg::Kind::WideText, 0, v};
    } else {
        static_assert(
            std::is_integral_v<U> && !std::is_same_v<U, bool> && sizeof(U) <= sizeof(long),
            "format arguments are integers up to a long, or text pointers");
        // What the C library's varargs would pass: anything narrower than an int as an int.
        return {sizeof(U) > sizeof(int) ? FormatArg::Kind::Long : FormatArg::Kind::Int,
                static_cast<long long>(v), nullptr};
    }
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
#endif
// The C library on the same format and arguments, with FormatTo's contract.
template <class... A>
int CLibraryFormat(wchar_t* buffer, std::size_t size, const wchar_t* format, A... args) {
    return std::swprintf(buffer, size, format, args...);
}
template <class... A>
int CLibraryFormat(char* buffer, std::size_t size, const char* format, A... args) {
    const int length = std::snprintf(buffer, size, format, args...);
    return length >= 0 && static_cast<std::size_t>(length) < size ? length : -1;
}
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace detail

// Formats into `buffer` (`size` units with the NUL) on the selected backend: the length, or -1
// when it does not fit.
template <class Char, class... A>
int FormatTo(Char* buffer, std::size_t size, const CompiledFormat<Char>& compiled, A... args) {
    if (CurrentTextBackend() == TextBackend::Ours) [[likely]] {
        int length;
        if constexpr (sizeof...(A) == 0) {
            length = FormatPacked(buffer, size, compiled, nullptr, 0);
        } else {
            const FormatArg packed[] = {detail::MakeFormatArg(args)...};
            length = FormatPacked(buffer, size, compiled, packed, static_cast<int>(sizeof...(A)));
        }
        if (length != kFormatDelegate) return length;
    }
    return detail::CLibraryFormat(buffer, size, compiled.Text(), args...);
}

// Appends the result to `out`; longer than the limit throws util::buffer_overrun, as Format does.
template <class Char, class... A>
void AppendFormat(std::basic_string<Char>& out, const CompiledFormat<Char>& compiled, A... args) {
    Char buffer[kFormatLimit + 1];
    const int length = FormatTo(buffer, kFormatLimit + 1, compiled, args...);
    if (length < 0 || length > kFormatLimit) throw buffer_overrun("Format: output string too big");
    out.append(buffer, static_cast<std::size_t>(length));
}

template <class Char, class... A>
std::basic_string<Char> Format(const CompiledFormat<Char>& compiled, A... args) {
    std::basic_string<Char> text;
    AppendFormat(text, compiled, args...);
    return text;
}

}  // namespace util
