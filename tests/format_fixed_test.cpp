// util::Format/FormatA on both text backends: the module's formats give the same text, the bound
// and its messages are the same, the backend switch really switches and is restored. Precompiled
// formats: the bound when appending, the formats refused, arguments of the wrong width.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "util/CompiledFormat.h"
#include "util/Exceptions.h"
#include "util/Format.h"
#include "util/TextBackend.h"

using namespace std::string_literals;

namespace {

using util::TextBackend;

constexpr TextBackend kBackends[] = {TextBackend::Ours, TextBackend::CLibrary};

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

// What the wrapper adds to the formatter: a string of the result's length, embedded NULs
// included, in both widths; floating point goes to the C library on both backends.
TEST(FormatFixed, ResultsKeepEmbeddedNulsOnBothBackends) {
    for (const TextBackend backend : kBackends) {
        const util::ScopedTextBackend scoped(backend);
        EXPECT_EQ(util::FormatA("a%cb%.15g", 0, 1.0 / 3), "a\0b0.333333333333333"s);
        EXPECT_EQ(util::Format(L"MB%05ld%lX|%lc", 12L, 15UL, wint_t(0)), L"MB00012F|\0"s);
    }
}

// Results up to 1000 units fit, longer ones throw, whatever the backend and conversion.
TEST(FormatFixed, BoundAndMessagesAreTheSameOnBothBackends) {
    for (const TextBackend backend : kBackends) {
        const util::ScopedTextBackend scoped(backend);
        for (const int width : {0, 1, 999, 1000, 1001, 1002, 4096, 100000}) {
            for (const std::string f : {"%*s", "%-*d", "%0*x", "x%*c"}) {
                const std::wstring wf(f.begin(), f.end());
                const int length = (f.back() == 's' ? width : std::max(width, 1)) + (f[0] == 'x');
                const bool fits = length <= util::kFormatLimit;
                const std::string what = f + " " + std::to_string(width);
                const auto narrow = Outcome([&] {
                    return f.back() == 's' ? util::FormatA(f.c_str(), width, "")
                                           : util::FormatA(f.c_str(), width, 7);
                });
                const auto wide = Outcome([&] {
                    return f.back() == 's' ? util::Format(wf.c_str(), width, L"")
                                           : util::Format(wf.c_str(), width, 7);
                });
                EXPECT_EQ(fits ? std::to_string(narrow.size()) : narrow,
                          fits ? std::to_string(length) : "!FormatA: output string too big")
                    << what;
                EXPECT_EQ(fits ? std::to_wstring(wide.size()) : wide,
                          fits ? std::to_wstring(length) : L"!Format: output string too big")
                    << what;
            }
        }
    }
}

// A long beyond 32 bits, which the module never passes, is where the backends differ by design;
// it shows that the switch takes effect and that the previous backend returns, also on throws.
TEST(FormatFixed, ScopedBackendSwitchesAndRestores) {
    ASSERT_EQ(util::CurrentTextBackend(), TextBackend::Ours);
    EXPECT_EQ(util::Format(L"%lX", -17L), L"FFFFFFEF");
    EXPECT_THROW(([] {
                     const util::ScopedTextBackend outer(TextBackend::CLibrary);
                     {
                         const util::ScopedTextBackend inner(TextBackend::Ours);
                         EXPECT_EQ(util::Format(L"%lX", -17L), L"FFFFFFEF");
                     }
                     EXPECT_EQ(util::Format(L"%lX", -17L), L"FFFFFFFFFFFFFFEF");
                     util::Format(L"%*d", 5000, 1);
                 })(),
                 util::buffer_overrun);
    EXPECT_EQ(util::CurrentTextBackend(), TextBackend::Ours);
}

TEST(CompiledFormat, OutputBoundAndAppend) {
    using util::CompiledFormat;
    std::wstring text = L"x";
    util::AppendFormat(text, CompiledFormat<wchar_t>(L"%999d|"), 1);
    EXPECT_EQ(text.size(), 1001u);
    EXPECT_THROW(util::AppendFormat(text, CompiledFormat<wchar_t>(L"%1000d|"), 1),
                 util::buffer_overrun);
    EXPECT_EQ(text.size(), 1001u) << "a failed append leaves the text alone";
    wchar_t small[4];
    EXPECT_EQ(util::FormatTo(small, 4, CompiledFormat<wchar_t>(L"%d"), 123), 3);
    EXPECT_EQ(util::FormatTo(small, 4, CompiledFormat<wchar_t>(L"%d"), 1234), -1);
}

TEST(CompiledFormat, RefusesWhatItCannotPrecompileAndArgumentsOfTheWrongWidth) {
    for (const wchar_t* format : {L"%", L"%5", L"%ld%", L"%f", L"%*d", L"%.*d", L"%1$d", L"%lld",
                                  L"%n", L"%zu", L"%d%d%d%d%d%d%d%d%d"})
        EXPECT_THROW(util::CompiledFormat<wchar_t>{format}, std::invalid_argument)
            << std::string(format, format + std::wcslen(format));
    wchar_t buffer[util::kFormatLimit + 1];
    const util::CompiledFormat<wchar_t> word(L"MW%ld"), bit(L".b%d"), text(L"%s");
    EXPECT_THROW(util::FormatTo(buffer, std::size(buffer), word, 5), std::logic_error);
    EXPECT_THROW(util::FormatTo(buffer, std::size(buffer), bit, 5L), std::logic_error);
    EXPECT_THROW(util::FormatTo(buffer, std::size(buffer), bit), std::logic_error);
    EXPECT_THROW(util::FormatTo(buffer, std::size(buffer), text, L"wide"), std::logic_error);
    EXPECT_EQ(util::FormatTo(buffer, std::size(buffer), word, 5L), 3);
}

}  // namespace
