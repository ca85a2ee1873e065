// Fixed expectations for what the C library cannot serve as reference on this platform: the
// 32-bit long of "%l...", the module's own formats, and util::Format/FormatA on both backends
// (same results, same bound, same messages).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <string>

#include "util/Exceptions.h"
#include "util/Format.h"
#include "util/FormatEngine.h"
#include "util/TextBackend.h"

using namespace std::string_literals;

namespace {

using util::TextBackend;

constexpr TextBackend kBackends[] = {TextBackend::Ours, TextBackend::CLibrary};

const char* Name(TextBackend b) {
    return b == TextBackend::Ours ? "ours" : "C library";
}

std::wstring OursW(const wchar_t* format, ...) {
    wchar_t buffer[64];
    std::va_list args;
    va_start(args, format);
    const int length = util::FormatTo(buffer, std::size(buffer), format, args);
    va_end(args);
    return length < 0 ? L"!" : std::wstring(buffer, static_cast<std::size_t>(length));
}

std::string OursA(const char* format, ...) {
    char buffer[64];
    std::va_list args;
    va_start(args, format);
    const int length = util::FormatTo(buffer, std::size(buffer), format, args);
    va_end(args);
    return length < 0 ? "!" : std::string(buffer, static_cast<std::size_t>(length));
}

struct LongCase {
    const char* format;
    long value;
    const char* expected;
};

// A long beyond 32 bits prints its low 32 bits, as a 32-bit long would.
constexpr LongCase kLongCases[] = {
    {"%lX", -17L, "FFFFFFEF"},
    {"%lx", -1L, "ffffffff"},
    {"%08lX", -2L, "FFFFFFFE"},
    {"%#lx", 0x1FFFFFFFFL, "0xffffffff"},
    {"%lo", -1L, "37777777777"},
    {"%lu", -1L, "4294967295"},
    {"%lu", 0x100000000L, "0"},
    {"%ld", 0x100000005L, "5"},
    {"%ld", 0x80000000L, "-2147483648"},
    {"%ld", 0xFFFFFFFFL, "-1"},
    {"%li", LONG_MIN, "0"},
    {"%li", LONG_MAX, "-1"},
    {"%+ld", 0x7FFFFFFFL, "+2147483647"},
    {"%12ld|", -0x180000000L, " -2147483648|"},
    {"%-6lX|", 0x123456789AL, "3456789A|"},
    {"%.10lu", 0x1000000FFL, "0000000255"},
};

TEST(FormatFixed, LongIs32BitsInWideAndNarrowFormats) {
    for (const LongCase& c : kLongCases) {
        EXPECT_EQ(OursA(c.format, c.value), c.expected) << c.format << " of " << c.value;
        const std::string f = c.format;
        const std::string e = c.expected;
        EXPECT_EQ(OursW(std::wstring(f.begin(), f.end()).c_str(), c.value),
                  std::wstring(e.begin(), e.end()))
            << c.format << " of " << c.value;
    }
}

// The module's formats with the arguments it passes, on both backends.
TEST(FormatFixed, TheModulesFormatsGiveTheSameTextOnBothBackends) {
    for (const TextBackend backend : kBackends) {
        SCOPED_TRACE(Name(backend));
        const util::ScopedTextBackend scoped(backend);
        EXPECT_EQ(util::Format(L"IB%05lX", 0x1FUL), L"IB0001F");
        EXPECT_EQ(util::Format(L"IB%04lX", 0xFFFFFUL), L"IBFFFFF");
        EXPECT_EQ(util::Format(L"MB%05ld%lX", 12L, 15UL), L"MB00012F");
        EXPECT_EQ(util::Format(L"MB%04ld%lX", 65534L, 0UL), L"MB655340");
        EXPECT_EQ(util::Format(L"MB%05ld", 0L), L"MB00000");
        EXPECT_EQ(util::Format(L"IW%04lX", 0x7FFUL), L"IW07FF");
        EXPECT_EQ(util::Format(L"MW%ld", 65534L), L"MW65534");
        EXPECT_EQ(util::Format(L".b%d", 15), L".b15");
        EXPECT_EQ(util::Format(L"%d-%d", 239, 64), L"239-64");
        EXPECT_EQ(util::Format(L"GD%ld", 16383L), L"GD16383");
        EXPECT_EQ(util::Format(L"I%ld", 1L), L"I1");
        EXPECT_EQ(util::Format(L"o%ld", 63L), L"o63");
        EXPECT_EQ(util::Format(L"%ld", -2147483647L - 1), L"-2147483648");
        EXPECT_EQ(util::Format(L"&A=%X", 0xFFFFFFFFu), L"&A=FFFFFFFF");
        EXPECT_EQ(util::FormatA("%X", 0x9Du), "9D");
        EXPECT_EQ(util::FormatA("%ld", 123L), "123");
        EXPECT_EQ(util::FormatA("%hd", static_cast<short>(-7)), "-7");
        // Floating point is the C library's on both backends.
        EXPECT_EQ(util::FormatA("%.15g", 1.0 / 3), "0.333333333333333");
        EXPECT_EQ(util::FormatA("%.0f", 2.5), "2");
        EXPECT_EQ(util::FormatA("a%cb", 0), "a\0b"s);
        EXPECT_EQ(util::Format(L"a%lcb", wint_t(0)), L"a\0b"s);
    }
}

// Length of the formats below: the width, at least one unit for a conversion other than an
// empty string, and the literal 'x'.
int Expected(const char* format, int width) {
    const std::string f = format;
    return (f.back() == 's' ? width : std::max(width, 1)) + (f[0] == 'x' ? 1 : 0);
}

// The bound and its messages do not depend on the backend.
TEST(FormatFixed, BoundAndMessagesAreTheSameOnBothBackends) {
    for (const TextBackend backend : kBackends) {
        SCOPED_TRACE(Name(backend));
        const util::ScopedTextBackend scoped(backend);
        for (const int width : {0, 1, 999, 1000, 1001, 1002, 4096, 100000}) {
            for (const auto* f : {"%*s", "%-*d", "%0*x", "x%*c"}) {
                const bool fits = Expected(f, width) <= util::kFormatLimit;
                const std::string format = f;
                const std::wstring wide(format.begin(), format.end());
                const bool isString = format.back() == 's';
                try {
                    const std::string a =
                        isString ? util::FormatA(f, width, "") : util::FormatA(f, width, 7);
                    EXPECT_TRUE(fits) << f << " " << width;
                    EXPECT_EQ(static_cast<int>(a.size()), Expected(f, width));
                } catch (const util::buffer_overrun& e) {
                    EXPECT_FALSE(fits) << f << " " << width;
                    EXPECT_STREQ(e.what(), "FormatA: output string too big");
                }
                try {
                    const std::wstring w = isString ? util::Format(wide.c_str(), width, L"")
                                                    : util::Format(wide.c_str(), width, 7);
                    EXPECT_TRUE(fits) << f << " " << width;
                    EXPECT_EQ(static_cast<int>(w.size()), Expected(f, width));
                } catch (const util::buffer_overrun& e) {
                    EXPECT_FALSE(fits) << f << " " << width;
                    EXPECT_STREQ(e.what(), "Format: output string too big");
                }
            }
        }
    }
}

TEST(FormatFixed, ScopedBackendRestoresThePreviousOneAlsoOnExceptions) {
    ASSERT_EQ(util::CurrentTextBackend(), TextBackend::Ours);
    try {
        const util::ScopedTextBackend outer(TextBackend::CLibrary);
        {
            const util::ScopedTextBackend inner(TextBackend::Ours);
            EXPECT_EQ(util::CurrentTextBackend(), TextBackend::Ours);
        }
        EXPECT_EQ(util::CurrentTextBackend(), TextBackend::CLibrary);
        util::Format(L"%*d", 5000, 1);
        FAIL() << "no overrun";
    } catch (const util::buffer_overrun&) {
    }
    EXPECT_EQ(util::CurrentTextBackend(), TextBackend::Ours);
}

// Where the backends differ by design: a long beyond 32 bits, which the module never passes.
TEST(FormatFixed, OnlyALongBeyond32BitsTellsTheBackendsApart) {
    EXPECT_EQ(util::Format(L"%lX", -17L), L"FFFFFFEF");
    const util::ScopedTextBackend scoped(TextBackend::CLibrary);
    EXPECT_EQ(util::Format(L"%lX", -17L), sizeof(long) == 8 ? L"FFFFFFFFFFFFFFEF" : L"FFFFFFEF");
}

}  // namespace
