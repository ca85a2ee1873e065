#include "util/StringOps.h"

#include <algorithm>
#include <cwctype>

namespace util {
namespace {

// Units are classified by their 16 bits, as everywhere in the wide strings of this module.
bool IsSpace(wchar_t unit) {
    return std::iswspace(static_cast<std::wint_t>(static_cast<char16_t>(unit))) != 0;
}

}  // namespace

std::size_t FindFirstNonSpace(const std::wstring& text, std::size_t from, std::size_t to) {
    const std::size_t end = std::min(to, text.size());
    for (std::size_t i = from; i < end; ++i) {
        if (!IsSpace(text[i])) return i;
    }
    return npos;
}

std::wstring Trim(const std::wstring& text) {
    const std::size_t first = FindFirstNonSpace(text, 0);
    if (first == npos) return {};
    std::size_t last = text.size();
    while (IsSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

}  // namespace util
