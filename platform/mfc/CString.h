// A small narrow string with the value semantics and the members of the framework string class
// that the module's dialog-side code uses. Indexes are clamped as the framework does, so no
// member reads out of range.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#if defined(__GNUC__)
#define ZV_CSTRING_PRINTF __attribute__((format(printf, 2, 3)))
#else
#define ZV_CSTRING_PRINTF
#endif

struct HINSTANCE__;  // an instance handle (mfc/Afx.h)

class CString {
public:
    CString() = default;
    CString(const char* text) : mText(text ? text : "") {}  // NOLINT: implicit like the original
    CString(std::string text) : mText(std::move(text)) {}   // NOLINT
    CString(const char* text, int length);

    int GetLength() const { return static_cast<int>(mText.size()); }
    bool IsEmpty() const { return mText.empty(); }
    void Empty() { mText.clear(); }
    const char* GetString() const { return mText.c_str(); }
    operator const char*() const { return mText.c_str(); }  // NOLINT
    const std::string& str() const { return mText; }

    // Out-of-range positions read as NUL instead of failing.
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    int Find(char c, int start = 0) const;
    int Find(const char* sub, int start = 0) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim() { return TrimRight().TrimLeft(); }

    CString& operator+=(const CString& other) {
        mText += other.mText;
        return *this;
    }
    CString& operator+=(const char* other) {
        mText += other ? other : "";
        return *this;
    }
    CString& operator+=(char c) {
        mText += c;
        return *this;
    }

    // String resource nID, from the module that AfxFindStringResourceHandle names or from the
    // given one. On failure the content stays as it was.
    bool LoadString(unsigned int nID);
    bool LoadString(HINSTANCE__* hInstance, unsigned int nID);

    // printf-style; the result replaces the content.
    void Format(const char* format, ...) ZV_CSTRING_PRINTF;
    void FormatV(const char* format, va_list args);

    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.mText + b.mText);
    }
    friend CString operator+(const CString& a, const char* b) {
        return CString(a.mText + (b ? b : ""));
    }
    friend CString operator+(const char* a, const CString& b) {
        return CString((a ? a : "") + b.mText);
    }
    friend CString operator+(const CString& a, char b) { return CString(a.mText + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.mText == b.mText; }
    friend bool operator==(const CString& a, const char* b) { return a.mText == (b ? b : ""); }
    friend bool operator<(const CString& a, const CString& b) { return a.mText < b.mText; }

private:
    std::string mText;
};
