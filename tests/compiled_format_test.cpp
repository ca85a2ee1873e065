// Precompiled formats (util::CompiledFormat with util::FormatTo/AppendFormat) against the C library
// on the same format text and arguments: every combination of flags, width, precision, length and
// integer conversion over edge values, wide and narrow, with literal text and "%%" around the
// conversion; texts and characters; the output bound; formats it refuses to compile; arguments of
// the wrong width. The reference gets a "%l..." value narrowed to 32 bits, the one intended
// difference.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/CompiledFormat.h"
#include "util/Exceptions.h"
#include "util/Format.h"

namespace {

using util::CompiledFormat;

constexpr std::size_t kSize = util::kFormatLimit + 1;

template <class Char>
std::basic_string<Char> Widen(const std::string& s) {
    return std::basic_string<Char>(s.begin(), s.end());
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <class... A>
std::wstring Reference(const std::wstring& format, A... args) {
    wchar_t buffer[kSize];
    const int n = std::swprintf(buffer, kSize, format.c_str(), args...);
    return n < 0 ? L"<fail>" : std::wstring(buffer, static_cast<std::size_t>(n));
}
template <class... A>
std::string Reference(const std::string& format, A... args) {
    char buffer[kSize];
    const int n = std::snprintf(buffer, kSize, format.c_str(), args...);
    return n < 0 || static_cast<std::size_t>(n) >= kSize
               ? "<fail>"
               : std::string(buffer, static_cast<std::size_t>(n));
}
#pragma GCC diagnostic pop

template <class Char, class... A>
std::basic_string<Char> Ours(const std::basic_string<Char>& format, A... args) {
    const CompiledFormat<Char> compiled(format.c_str());
    Char buffer[kSize];
    const int n = util::FormatTo(buffer, kSize, compiled, args...);
    return n < 0 ? Widen<Char>("<fail>")
                 : std::basic_string<Char>(buffer, static_cast<std::size_t>(n));
}

// Every conversion spelling of the subset, wrapped in literal text.
std::vector<std::string> IntegerFormats() {
    std::vector<std::string> formats;
    const char* const flagSets[] = {"", "-", "0", "+", " ", "#", "-0", "+ ", "0#", "-+ #0"};
    for (const char* flags : flagSets)
        for (const char* width : {"", "1", "7", "12"})
            for (const char* precision : {"", ".", ".0", ".3", ".11"})
                for (const char* length : {"", "h", "l"})
                    for (const char conv : std::string("diuoxX"))
                        formats.push_back(std::string("IB") + "%" + flags + width + precision +
                                          length + conv + "%%|");
    return formats;
}

const long kValues[] = {0,       1,       -1,          9,          10,        99,    100,
                        0x7FFF,  0x8000,  -0x8000,     0xFFFF,     65536,     12345, -9876,
                        INT_MAX, INT_MIN, INT_MAX - 1, 0x7FFFFFFE, 1000000000};

template <class Char>
void CheckIntegers() {
    for (const std::string& narrow : IntegerFormats()) {
        const auto format = Widen<Char>(narrow);
        const bool isLong = narrow.find('l') != std::string::npos;
        const bool isSigned =
            narrow.find('d') != std::string::npos || narrow.find('i') != std::string::npos;
        for (const long v : kValues) {
            const auto v32 = static_cast<std::int32_t>(v);
            std::basic_string<Char> ours, reference;
            if (isLong && isSigned) {
                ours = Ours(format, v);
                reference = Reference(format, static_cast<long>(v32));
            } else if (isLong) {
                ours = Ours(format, static_cast<unsigned long>(v));
                reference =
                    Reference(format, static_cast<unsigned long>(static_cast<std::uint32_t>(v32)));
            } else if (isSigned) {
                ours = Ours(format, static_cast<int>(v32));
                reference = Reference(format, static_cast<int>(v32));
            } else {
                ours = Ours(format, static_cast<unsigned>(v32));
                reference = Reference(format, static_cast<unsigned>(v32));
            }
            ASSERT_EQ(ours, reference) << narrow << " with " << v;
        }
    }
}

TEST(CompiledFormat, IntegersMatchTheCLibraryWide) {
    CheckIntegers<wchar_t>();
}

TEST(CompiledFormat, IntegersMatchTheCLibraryNarrow) {
    CheckIntegers<char>();
}

TEST(CompiledFormat, TextsCharactersAndSeveralConversions) {
    for (const char* width : {"", "4", "-6"})
        for (const char* precision : {"", ".0", ".2", ".9"}) {
            const std::string s = std::string("<%") + width + precision + "s>";
            const std::string ls = std::string("<%") + width + precision + "ls>";
            EXPECT_EQ(Ours(Widen<wchar_t>(s), "abc"), Reference(Widen<wchar_t>(s), "abc")) << s;
            EXPECT_EQ(Ours(Widen<wchar_t>(ls), L"abc"), Reference(Widen<wchar_t>(ls), L"abc"))
                << ls;
            EXPECT_EQ(Ours(s, "abc"), Reference(s, "abc")) << s;
            EXPECT_EQ(Ours(ls, L"abc"), Reference(ls, L"abc")) << ls;
        }
    EXPECT_EQ(Ours(std::wstring(L"[%c|%3c|%-3c]"), 'a', 'b', 'c'),
              Reference(std::wstring(L"[%c|%3c|%-3c]"), 'a', 'b', 'c'));
    EXPECT_EQ(Ours(std::wstring(L"MB%05ld%lX"), 123L, 15UL), L"MB00123F");
    EXPECT_EQ(Ours(std::wstring(L"%d-%d"), 3, -1), L"3--1");
    EXPECT_EQ(Ours(std::wstring(L"100%%")), L"100%");
    // What our pass leaves to the C library: a wide character beyond 7 bits in narrow output.
    EXPECT_EQ(Ours(std::string("%lc"), static_cast<wint_t>(0x20AC)),
              Reference(std::string("%lc"), static_cast<wint_t>(0x20AC)));
}

TEST(CompiledFormat, OutputBoundAndAppend) {
    const CompiledFormat<wchar_t> exact(L"%999d|");
    const CompiledFormat<wchar_t> over(L"%1000d|");
    std::wstring text = L"x";
    util::AppendFormat(text, exact, 1);
    EXPECT_EQ(text.size(), 1001u);
    EXPECT_THROW(util::AppendFormat(text, over, 1), util::buffer_overrun);
    EXPECT_EQ(text.size(), 1001u) << "a failed append leaves the text alone";
    wchar_t small[4];
    EXPECT_EQ(util::FormatTo(small, 4, CompiledFormat<wchar_t>(L"%d"), 123), 3);
    EXPECT_EQ(util::FormatTo(small, 4, CompiledFormat<wchar_t>(L"%d"), 1234), -1);
}

TEST(CompiledFormat, RefusesWhatItCannotPrecompile) {
    for (const wchar_t* format : {L"%", L"%5", L"%ld%", L"%f", L"%*d", L"%.*d", L"%1$d", L"%lld",
                                  L"%n", L"%zu", L"%d%d%d%d%d%d%d%d%d"})
        EXPECT_THROW(CompiledFormat<wchar_t>{format}, std::invalid_argument)
            << std::string(format, format + std::wcslen(format));
}

TEST(CompiledFormat, ArgumentsMustHaveTheConversionsWidth) {
    wchar_t buffer[kSize];
    const CompiledFormat<wchar_t> word(L"MW%ld"), bit(L".b%d"), text(L"%s");
    EXPECT_THROW(util::FormatTo(buffer, kSize, word, 5), std::logic_error);
    EXPECT_THROW(util::FormatTo(buffer, kSize, bit, 5L), std::logic_error);
    EXPECT_THROW(util::FormatTo(buffer, kSize, bit), std::logic_error);
    EXPECT_THROW(util::FormatTo(buffer, kSize, text, L"wide"), std::logic_error);
    EXPECT_EQ(util::FormatTo(buffer, kSize, word, 5L), 3);
}

}  // namespace
