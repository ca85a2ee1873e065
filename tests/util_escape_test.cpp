#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <tuple>

#include "util/Escape.h"
#include "util/Exceptions.h"

using namespace std::string_literals;

namespace {

template <typename String>
String Widen(const std::string& text) {
    return String(text.begin(), text.end());
}

// The result, or "message@position".
template <typename String>
String UnescapeOutcome(const String& text) {
    try {
        return util::Unescape(text);
    } catch (const util::invalid_format_argument& e) {
        return Widen<String>(e.what() + "@"s + std::to_string(e.position));
    }
}

// Escape-prone characters are over-represented.
template <typename String>
rc::Gen<String> Texts(int unitEnd) {
    return rc::gen::container<String>(
        rc::gen::oneOf(rc::gen::cast<typename String::value_type>(rc::gen::inRange(0, unitEnd)),
                       rc::gen::elementOf(Widen<String>("\\\\\\u0aF&,;{}\"\n"))));
}

}  // namespace

TEST(Escape, EscapesControlsSeparatorsAndQuotes) {
    // clang-format off
    const std::tuple<std::string, bool, bool, std::string> cases[] = {
        {"&,;{}", false, true, R"(\u0026\u002C\u003B\u007B\u007D)"},
        {"a&b", true, false, R"("a&b")"},
        {"\n\t\v\b\r\f\a", false, false, R"(\n\t\v\b\r\f\a)"},
        {"\0\x1B\x1F"s, true, false, R"("\u0000\u001B\u001F")"},
        {"\"\\\x7F", false, false, "\\\"\\\\\x7F"}};
    // clang-format on
    for (const auto& [text, quote, separators, expected] : cases) {
        EXPECT_EQ(util::Escape(text, quote, separators), expected);
        if (!separators) {
            EXPECT_EQ(util::Escape(Widen<std::wstring>(text), quote),
                      Widen<std::wstring>(expected));
        }
    }
    EXPECT_EQ(util::Escape("\xC3\xA4", false, true), "\xC3\xA4");
    // Wide units count by their 16 bits.
    EXPECT_EQ(util::Escape(L"\x20AC&\x1000A", false), L"\x20AC&\\n");
}

TEST(Escape, UnescapeDecodesAndLocatesErrors) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {R"(a\u0026b\n\t\v\b\r\f\a)", "a&b\n\t\v\b\r\f\a"}, {R"(\q\\\"x")", "q\\\"x\""},
        {R"(\u0041\u0000)", "A\0"s}, {R"(ab\)", "bad escape termination@3"},
        {R"(\u12)", "bad escape termination@4"}, {R"(\u00G1)", "bad \\uHHHH escape@4"},
        {R"(x\u 123)", "bad \\uHHHH escape@3"}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(UnescapeOutcome(text), expected);
        EXPECT_EQ(UnescapeOutcome(Widen<std::wstring>(text)), Widen<std::wstring>(expected));
    }
    // One byte, or one full unit in a wide string.
    EXPECT_EQ(util::Unescape(R"(\uabCD)"s), "\xCD");
    EXPECT_EQ(util::Unescape(LR"(\uabCD\u20ac)"s), L"\xABCD\x20AC");
}

TEST(Escape, HexDigitValueMatchesStrtol) {
    for (int c = -300; c < 0x20000; ++c) {
        const bool hex = c > 0 && c < 128 && std::isxdigit(c);
        ASSERT_EQ(util::HexDigitValue(c),
                  hex ? int(std::strtol(std::string(1, char(c)).c_str(), nullptr, 16)) : -1)
            << c;
    }
}

// Escaping round-trips in both widths and leaves no control or separator byte; unescaping any
// text either succeeds or raises a format error positioned within it.
RC_GTEST_PROP(Escape, EscapeRoundTripsAndUnescapeOnlyRaisesPositionedErrors, (bool separators)) {
    const std::string text = *Texts<std::string>(256);
    const std::string escaped = util::Escape(text, false, separators);
    RC_ASSERT(util::Unescape(escaped) == text);
    RC_ASSERT(util::Escape(text, true, separators) == '"' + escaped + '"');
    for (const char c : escaped) {
        RC_ASSERT(static_cast<unsigned char>(c) >= 32);
        RC_ASSERT(!separators || "&,;{}"s.find(c) == std::string::npos);
    }
    const std::wstring wide = *Texts<std::wstring>(0x10000);
    RC_ASSERT(util::Unescape(util::Escape(wide, false)) == wide);
    RC_ASSERT(util::Escape(wide, true) == L'"' + util::Escape(wide, false) + L'"');
    const auto within = [](auto raw) {
        try {
            util::Unescape(raw);
        } catch (const util::invalid_format_argument& e) {
            RC_ASSERT(e.position >= 0 && static_cast<std::size_t>(e.position) <= raw.size());
        }
    };
    within(text);
    within(wide);
}
