#include "util/Format.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cwchar>

#include "util/Exceptions.h"
#include "util/FormatEngine.h"
#include "util/TextBackend.h"

namespace util {
namespace {

// One unit more than the limit for the terminating NUL: vswprintf and our formatter fail (-1)
// when the output and its NUL do not fit, vsnprintf reports the length it would have needed.
constexpr std::size_t kBufferSize = kFormatLimit + 1;

int FormatWith(wchar_t* buffer, const wchar_t* format, std::va_list args) {
    if (CurrentTextBackend() == TextBackend::Ours) [[likely]]
        return FormatTo(buffer, kBufferSize, format, args);
    return std::vswprintf(buffer, kBufferSize, format, args);
}

int FormatWith(char* buffer, const char* format, std::va_list args) {
    if (CurrentTextBackend() == TextBackend::Ours) [[likely]]
        return FormatTo(buffer, kBufferSize, format, args);
    return std::vsnprintf(buffer, kBufferSize, format, args);
}

}  // namespace

std::wstring Format(const wchar_t* format, ...) {
    wchar_t buffer[kBufferSize];
    std::va_list args;
    va_start(args, format);
    const int length = FormatWith(buffer, format, args);
    va_end(args);
    if (length < 0 || length > kFormatLimit) throw buffer_overrun("Format: output string too big");
    return std::wstring(buffer, static_cast<std::size_t>(length));
}

std::string FormatA(const char* format, ...) {
    char buffer[kBufferSize];
    std::va_list args;
    va_start(args, format);
    const int length = FormatWith(buffer, format, args);
    va_end(args);
    if (length < 0 || length > kFormatLimit) throw buffer_overrun("FormatA: output string too big");
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace util
