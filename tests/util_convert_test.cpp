#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "util/Exceptions.h"
#include "util/StringOps.h"
#include "util/TextConvert.h"

using namespace std::string_literals;

namespace {

// Selects a C library locale for the multi-byte conversions and restores the previous one.
struct CtypeLocale {
    explicit CtypeLocale(const char* name) : saved(std::setlocale(LC_CTYPE, nullptr)) {
        if (!std::setlocale(LC_CTYPE, name)) throw std::runtime_error(name);
    }
    ~CtypeLocale() { std::setlocale(LC_CTYPE, saved.c_str()); }
    std::string saved;
};

// The result as hex units, or "message@position".
template <typename F>
std::string Outcome(F convert) {
    try {
        std::string hex;
        for (auto c : convert()) {
            char unit[16];
            std::snprintf(unit, sizeof unit, " %X", unsigned(std::make_unsigned_t<decltype(c)>(c)));
            hex += unit;
        }
        return hex;
    } catch (const util::invalid_format_argument& e) {
        return e.what() + "@"s + std::to_string(e.position);
    }
}

// Returns, or throws a format error positioned within the input.
template <typename F>
void ReturnsOrThrowsWithin(F convert, std::size_t length) {
    try {
        convert();
    } catch (const util::invalid_format_argument& e) {
        RC_ASSERT(e.position >= 0 && static_cast<std::size_t>(e.position) <= length);
    }
}

std::wstring Utf16(const std::vector<char32_t>& codePoints) {
    std::wstring out;
    for (char32_t c : codePoints) {
        if (c >= 0x10000) out += wchar_t(0xD800 + ((c - 0x10000) >> 10));
        out += wchar_t(c >= 0x10000 ? 0xDC00 + (c & 0x3FF) : c);
    }
    return out;
}

}  // namespace

// The result as hex units, or one row per error message with its position.
TEST(TextConvert, Utf8AndUtf16ConvertAndLocateErrors) {
    const std::string first = "bad UCS-2 code, first of surrogate pair@",
                      second = "bad UCS-2 code, second of surrogate pair@",
                      lost = "bad UCS-2 termination, surrogate pair lost@";
    // clang-format off
    const std::pair<std::string, std::string> utf8[] = {
        {"a\xC3\xA4\0"s, " 61 E4 0"}, {"\xC0\x80", " 0"}, {"\xED\xA0\x80", " D800"},
        {"\xF4\x90\x80\x80", " FFFD"},
        {"\xFE\x84\x80\x80\x80\x80\x80", " FFFD"},  // 2^32 must not wrap to 0
        {"A\xF0\x9F\x98", "bad UTF-8 termination@4"},
        {"\xE2\x82\xAC\xAC", "bad UTF-8 lead sequence@3"},
        {"\xE2\x82\xC3", "bad UTF-8 trail sequence@2"}};
    const std::pair<std::wstring, std::string> utf16[] = {
        {L"\x120AC", " E2 82 AC"},  // a wchar_t counts by its low 16 bits
        {L"\xDC00\xDC00", first + "1"}, {L"x\xD83D" L"A", second + "2"}, {L"\xDE00", lost + "1"}};
    // clang-format on
    for (const auto& [input, expected] : utf8)
        EXPECT_EQ(Outcome([&] { return util::Utf8ToWString(input); }), expected)
            << Outcome([&] { return input; });
    for (const auto& [input, expected] : utf16)
        EXPECT_EQ(Outcome([&] { return util::WStringToUtf8(input); }), expected)
            << Outcome([&] { return input; });
}

TEST(TextConvert, AsciiAcceptsExactlySevenBitBytes) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(Outcome([&] { return util::AsciiToWString("AB"s + char(b)); }),
                  b < 128 ? Outcome([&] { return L"AB"s + wchar_t(b); }) : "bad ASCII code@2");
    }
}

// Every code point against the C library's UTF-8 encoder.
TEST(TextConvert, EveryCodePointMatchesTheCLibraryAndRoundTrips) {
    CtypeLocale utf8("C.UTF-8");
    char bytes[MB_LEN_MAX];
    for (char32_t c = 0; c < 0x110000; c = (c == 0xD7FF ? 0xE000 : c + 1)) {
        std::mbstate_t state{};
        const std::string expected(bytes, std::wcrtomb(bytes, wchar_t(c), &state));
        ASSERT_EQ(util::WStringToUtf8(Utf16({c})), expected) << unsigned(c);
        ASSERT_EQ(util::Utf8ToWString(expected), Utf16({c})) << unsigned(c);
    }
}

// The valid side is covered against the UTF-8 locale by the round-trip property below.
TEST(TextConvert, MultiByteFailuresFollowTheLocale) {
    const std::string bad = "MbsToWString: invalid multi-byte string@0";
    const std::string lost = "WStringToMbs: cannot convert Unicode to current multi-byte-set@0";
    CtypeLocale c("C");
    EXPECT_EQ(Outcome([] { return util::MbsToWString("a\0b"s); }), " 61 0 62");
    EXPECT_EQ(Outcome([] { return util::MbsToWString("\xE2\x82\xAC"); }), bad);
    EXPECT_EQ(Outcome([] { return util::WStringToMbs(L"a\x20AC"); }), lost);
    CtypeLocale utf8("C.UTF-8");
    EXPECT_EQ(Outcome([] { return util::MbsToUtf8("ok\xE2\x82"); }), bad);
    EXPECT_EQ(Outcome([] { return util::WStringToMbs(L"a\xD83D"); }), lost);
}

RC_GTEST_PROP(TextConvert, MalformedInputOnlyRaisesPositionedFormatErrors, ()) {
    const auto bytes =
        *rc::gen::container<std::string>(rc::gen::cast<char>(rc::gen::inRange(0, 256)));
    const auto units = *rc::gen::container<std::wstring>(rc::gen::cast<wchar_t>(
        rc::gen::oneOf(rc::gen::inRange(0, 0x10000), rc::gen::inRange(0xD800, 0xE000))));
    ReturnsOrThrowsWithin([&] { return util::AsciiToWString(bytes); }, bytes.size());
    ReturnsOrThrowsWithin([&] { return util::Utf8ToWString(bytes); }, bytes.size());
    ReturnsOrThrowsWithin([&] { return util::WStringToUtf8(units); }, units.size());
    CtypeLocale utf8("C.UTF-8");
    ReturnsOrThrowsWithin([&] { return util::MbsToUtf8(bytes); }, 0);
    ReturnsOrThrowsWithin([&] { return util::WStringToMbs(units); }, 0);
}

RC_GTEST_PROP(TextConvert, ValidTextRoundTripsAndAgreesWithUtf8Locale, ()) {
    const std::wstring text =
        Utf16(*rc::gen::container<std::vector<char32_t>>(rc::gen::cast<char32_t>(
            rc::gen::oneOf(rc::gen::inRange(0, 0x80), rc::gen::inRange(0, 0xD800),
                           rc::gen::inRange(0xE000, 0x110000)))));
    const std::string utf8 = util::WStringToUtf8(text);
    RC_ASSERT(util::Utf8ToWString(utf8) == text);
    CtypeLocale locale("C.UTF-8");
    RC_ASSERT(util::WStringToMbs(text) == utf8);
    RC_ASSERT(util::MbsToWString(utf8) == text);
    RC_ASSERT(util::MbsToUtf8(utf8) == utf8);
}

TEST(StringOps, FindFirstNonSpaceAndTrim) {
    const std::wstring text = L" \t\r\n\v\fab c ";
    const std::size_t finds[][3] = {{0, util::npos, 6},           {7, util::npos, 7},
                                    {0, 6, util::npos},           {8, 10, 9},
                                    {10, util::npos, util::npos}, {99, util::npos, util::npos}};
    for (const auto& [from, to, expected] : finds)
        EXPECT_EQ(util::FindFirstNonSpace(text, from, to), expected);
    EXPECT_EQ(util::Trim(text), L"ab c");
    EXPECT_EQ(util::Trim(L" \n "), L"");
    EXPECT_EQ(util::Trim(L"x"), L"x");
}
