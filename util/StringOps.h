// Small wide-string helpers.
#pragma once

#include <cstddef>
#include <string>

namespace util {

inline constexpr std::size_t npos = std::wstring::npos;

// Index of the first unit in [from, min(to, size)) that is not white space, or npos.
std::size_t FindFirstNonSpace(const std::wstring& text, std::size_t from, std::size_t to = npos);

// The text without leading and trailing white space.
std::wstring Trim(const std::wstring& text);

}  // namespace util
