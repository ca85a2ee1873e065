// C-style escaping of texts embedded in the host's structured text.
#pragma once

#include <string>

namespace util {

// Index of the upper-cased character in "0123456789ABCDEF", or -1.
int HexDigitValue(int c);

// Control characters become "\n", "\t", ... or "\uHHHH"; with `separators`, the item separators
// "&", ",", ";", "{", "}" become "\uHHHH" too; '"' and '\' get a backslash. Bytes of 128 and above
// pass unchanged. With `quote`, the result is enclosed in double quotes.
std::string Escape(const std::string& text, bool quote, bool separators);
std::wstring Escape(const std::wstring& text, bool quote);

// Inverse of Escape; throws util::invalid_format_argument for a bad "\uHHHH" or a text that
// ends inside an escape.
std::string Unescape(const std::string& text);
std::wstring Unescape(const std::wstring& text);

}  // namespace util
