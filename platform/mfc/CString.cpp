#include "mfc/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace {

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

CString::CString(const char* text, int length) {
    if (text && length > 0) mText.assign(text, static_cast<std::size_t>(length));
}

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) return '\0';
    return mText[static_cast<std::size_t>(index)];
}

CString CString::Left(int count) const {
    count = Clamp(count, 0, GetLength());
    return CString(mText.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(mText.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const {
    count = Clamp(count, 0, GetLength());
    return CString(mText.substr(mText.size() - static_cast<std::size_t>(count)));
}

int CString::Find(char c, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    const auto pos = mText.find(c, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    const auto pos = mText.find(sub, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeUpper() {
    for (char& c : mText)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : mText)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::TrimLeft() {
    mText.erase(mText.begin(), std::find_if_not(mText.begin(), mText.end(), IsBlank));
    return *this;
}

CString& CString::TrimRight() {
    mText.erase(std::find_if_not(mText.rbegin(), mText.rend(), IsBlank).base(), mText.end());
    return *this;
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list probe;
    va_copy(probe, args);
    const int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed < 0) {
        mText.clear();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    mText.assign(buffer.data(), static_cast<std::size_t>(needed));
}
