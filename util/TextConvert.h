// Conversions between byte strings and wide strings of 16-bit code units. On platforms whose
// wchar_t is wider than 16 bits, each wchar_t still carries exactly one UTF-16 unit; a unit
// above 0xFFFF is taken by its low 16 bits. Every failure throws util::invalid_format_argument
// and leaves the output unassigned.
#pragma once

#include <string>

namespace util {

// Bytes below 128 only; "bad ASCII code" at the first byte of 128 or more.
std::wstring AsciiToWString(const std::string& text);

// UTF-8 to UTF-16 units. Overlong forms and encoded surrogates decode arithmetically; values
// above U+10FFFF become U+FFFD.
std::wstring Utf8ToWString(const std::string& text);

// UTF-16 units to UTF-8; unpaired surrogates throw.
std::string WStringToUtf8(const std::wstring& text);

// Through the C library's multi-byte conversion of the current locale.
std::wstring MbsToWString(const std::string& text);
std::string WStringToMbs(const std::wstring& text);
std::string MbsToUtf8(const std::string& text);

}  // namespace util
