// The text step every device parser starts with.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <cctype>
#include <string>

#include "plc/DeviceText.h"

namespace {

// Where blanks stay and how units change; the laws below cover every other text.
TEST(NormalizeDeviceText, Examples) {
    struct Case {
        std::wstring in;
        bool upper;
        std::string out;
    };
    const Case cases[] = {
        {L"  1-2   mw 100 ", true, "1-2 MW 100"},
        {L"  1-2   mw 100 ", false, "1-2 mw 100"},
        {L"\tMW\r\n\v\f100", true, "MW 100"},
        {L"MW100 . b 5", true, "MW100.B 5"},
        {std::wstring(L"M\0W", 3), true, std::string("M\0W", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeDeviceText(c.in, c.upper), c.out);
}

bool IsWs(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}
bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// Laws over arbitrary texts: 7-bit output, every non-white unit kept in order, blanks only
// between two letters or digits, and normalising twice changes nothing.
RC_GTEST_PROP(NormalizeDeviceText, Laws, ()) {
    const auto units = *rc::gen::container<std::vector<wchar_t>>(rc::gen::oneOf(
        rc::gen::element(L' ', L'\t', L'\n', L'\r', L'a', L'Z', L'0', L'9', L'-', L'.', L'_',
                         L'\0'),
        rc::gen::map(rc::gen::inRange(0, 0x10000), [](int v) { return static_cast<wchar_t>(v); })));
    const std::wstring text(units.begin(), units.end());
    const bool upper = *rc::gen::arbitrary<bool>();
    const std::string out = NormalizeDeviceText(text, upper);

    std::string kept;
    for (wchar_t w : text) {
        if (IsWs(w)) continue;
        char c = w > 127 ? '?' : static_cast<char>(w);
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        kept += c;
    }
    std::string withoutBlanks;
    for (std::size_t i = 0; i < out.size(); ++i) {
        RC_ASSERT(static_cast<unsigned char>(out[i]) < 128);
        if (out[i] != ' ') {
            withoutBlanks += out[i];
            continue;
        }
        RC_ASSERT(i > 0 && i + 1 < out.size());
        RC_ASSERT(IsAlnum(out[i - 1]) && IsAlnum(out[i + 1]));
    }
    RC_ASSERT(withoutBlanks == kept);
    RC_ASSERT(NormalizeDeviceText(std::wstring(out.begin(), out.end()), upper) == out);
}

TEST(DataTypeTags, ExactAndCaseSensitive) {
    struct Case {
        const char* tag;
        int detailed;  // 0: refused
        int plain;
    };
    const Case cases[] = {{"b", 'b', 'b'},   {"w", 'i', 'i'},   {"s16", 'i', 'i'},
                          {"u16", 'u', 'i'}, {"d16", 'd', 'i'}, {"s32", 'I', 'i'},
                          {"u32", 'U', 'i'}, {"d32", 'D', 'i'}, {"flt", 'F', 'i'},
                          {"B", 0, 0},       {"S16", 0, 0},     {"s16 ", 0, 0},
                          {"", 0, 0},        {"bit", 0, 0},     {"s1", 0, 0}};
    for (const Case& c : cases) {
        const auto detailed = ParseDataTypeTag(c.tag, true);
        const auto plain = ParseDataTypeTag(c.tag, false);
        EXPECT_EQ(detailed.value_or(0), c.detailed) << c.tag;
        EXPECT_EQ(plain.value_or(0), c.plain) << c.tag;
    }
}

}  // namespace
