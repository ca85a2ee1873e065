#include <gtest/gtest.h>

#include <string>

#include "util/Exceptions.h"
#include "util/Format.h"

using namespace std::string_literals;

namespace {

// The result, or "!message" when it was too big.
template <typename F>
auto Outcome(F format) {
    try {
        return format();
    } catch (const util::buffer_overrun& e) {
        const std::string error = "!"s + e.what();
        return decltype(format())(error.begin(), error.end());
    }
}

}  // namespace

TEST(Format, ResultsUpToTheLimitFitAndLongerOnesOverrun) {
    for (const int width : {0, 1, 999, 1000, 1001, 1002, 4096, 100000}) {
        const bool fits = width <= util::kFormatLimit;
        EXPECT_EQ(Outcome([&] { return util::FormatA("%*s", width, ""); }),
                  fits ? std::string(width, ' ') : "!FormatA: output string too big");
        EXPECT_EQ(Outcome([&] { return util::Format(L"%*ls", width, L""); }),
                  fits ? std::wstring(width, L' ') : L"!Format: output string too big");
    }
}

TEST(Format, ConversionsAndEmbeddedNuls) {
    EXPECT_EQ(util::FormatA("K%ld.%04X/%c", 123L, 0x9Du, 'b'), "K123.009D/b");
    EXPECT_EQ(util::Format(L"K%ld&A=%X|%ls", -5L, 0xABCu, L"\x20AC\xD83D\xDE00"),
              L"K-5&A=ABC|\x20AC\xD83D\xDE00");
    EXPECT_EQ(util::FormatA("a%cb", 0), "a\0b"s);
    EXPECT_EQ(util::Format(L"a%lcb", wint_t(0)), L"a\0b"s);
}
