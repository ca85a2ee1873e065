// A constant printf format turned into straight-line code when the module is built.
//
//   using Word = util::StaticFormat<L"MW%05ld">;
//   Word::Append(text, word);                    // what util::AppendFormat gives for "MW%05ld"
//
// A precompiled format (util/CompiledFormat.h) still walks its steps and checks every argument
// on each call; here the steps are template arguments, so each one becomes its own code with its
// literal, conversion and width known, the arguments' widths are checked when the call is
// compiled, and the longest possible result is known, so no bound needs checking. That holds for
// formats of plain integer conversions (at most the '0' flag and a width); any other format, and
// the C library's text backend, take util::AppendFormat/FormatTo on the same text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "util/CompiledFormat.h"
#include "util/Format.h"
#include "util/FormatDigits.h"
#include "util/TextBackend.h"

namespace util {

// A format's text as a template argument, narrow or wide.
template <class Char, std::size_t N>
struct FormatText {
    Char text[N] = {};
    constexpr FormatText(const Char (&s)[N]) {  // NOLINT: implicit, as a literal is written
        for (std::size_t i = 0; i < N; ++i)
            text[i] = s[i];
    }
};

template <FormatText F>
class StaticFormat {
public:
    using Char = std::remove_cvref_t<decltype(F.text[0])>;
    static constexpr CompiledFormat<Char> kCompiled{F.text};

    // Formats into `buffer` (`size` units with the NUL): the length, or -1 when it does not fit.
    template <class... A>
    static int To(Char* buffer, std::size_t size, A... args) {
        CheckArguments<A...>();
        if constexpr (kStraight) {
            if (CurrentTextBackend() == TextBackend::Ours) [[likely]] {
                if (size > kMaxLength) return Finish(buffer, Write(buffer, args...));
                Char local[kMaxLength + 1];  // never empty, even for ""
                const std::size_t length = static_cast<std::size_t>(Write(local, args...) - local);
                if (length >= size) return -1;
                std::char_traits<Char>::copy(buffer, local, length);
                return Finish(buffer, buffer + length);
            }
        }
        return FormatTo(buffer, size, kCompiled, args...);
    }

    template <class... A>
    static void Append(std::basic_string<Char>& out, A... args) {
        CheckArguments<A...>();
        if constexpr (kStraight) {
            if (CurrentTextBackend() == TextBackend::Ours) [[likely]] {
                Char local[kMaxLength + 1];  // never empty, even for ""
                out.append(local, static_cast<std::size_t>(Write(local, args...) - local));
                return;
            }
        }
        AppendFormat(out, kCompiled, args...);
    }

private:
    using Step = typename CompiledFormat<Char>::Step;

    // The most units a conversion of this step prints: its width, or the longest number.
    static constexpr std::size_t MaxField(const Step& s) {
        const std::size_t digits = s.conv == 'd' || s.conv == 'i' ? 11 : s.conv == 'u' ? 10 : 8;
        return static_cast<std::size_t>(s.field.width) > digits
                   ? static_cast<std::size_t>(s.field.width)
                   : digits;
    }

    // Plain conversions with modest widths only: those keep the local buffer small.
    static constexpr bool Straight() {
        for (int i = 0; i < kCompiled.Size(); ++i)
            if (kCompiled[i].conv != 0 && (!kCompiled[i].plain || kCompiled[i].field.width > 64))
                return false;
        return true;
    }
    static constexpr bool kStraight = Straight();

    static constexpr std::size_t MaxLength() {
        std::size_t n = 0;
        for (int i = 0; i < kCompiled.Size(); ++i)
            n += kCompiled[i].literalLength + (kCompiled[i].conv != 0 ? MaxField(kCompiled[i]) : 0);
        return n;
    }
    static constexpr std::size_t kMaxLength = MaxLength();

    static constexpr int Conversions() {
        int n = 0;
        for (int i = 0; i < kCompiled.Size(); ++i)
            n += kCompiled[i].conv != 0 ? 1 : 0;
        return n;
    }

    // The argument a step's conversion takes: the conversions before it.
    static constexpr int ArgumentOf(int step) {
        int n = 0;
        for (int i = 0; i < step; ++i)
            n += kCompiled[i].conv != 0 ? 1 : 0;
        return n;
    }

    // As the C library reads varargs: "%l..." a long, every other integer conversion an int.
    template <class... A>
    static constexpr bool WidthsMatch() {
        constexpr bool isLong[] = {false, (sizeof(A) > sizeof(int))...};
        for (int i = 0; i < kCompiled.Size(); ++i)
            if (kCompiled[i].conv != 0 &&
                isLong[ArgumentOf(i) + 1] != (kCompiled[i].field.length == 'l'))
                return false;
        return true;
    }

    template <class... A>
    static constexpr void CheckArguments() {
        static_assert(static_cast<int>(sizeof...(A)) == Conversions(),
                      "one argument per conversion of the format");
        if constexpr (kStraight) {
            static_assert(((std::is_integral_v<A> && !std::is_same_v<A, bool>)&&...),
                          "integer conversions take integers");
            static_assert(WidthsMatch<A...>(), "an argument of another width than its conversion");
        }
    }

    static int Finish(Char* begin, Char* end) {
        *end = Char(0);
        return static_cast<int>(end - begin);
    }

    template <class... A>
    static Char* Write(Char* at, A... args) {
        const std::tuple<A...> values{args...};
        [&]<int... I>(std::integer_sequence<int, I...>) {
            ((at = WriteStep<I>(at, values)), ...);
        }
        (std::make_integer_sequence<int, kCompiled.Size()>{});
        return at;
    }

    template <int I, class Values>
    static Char* WriteStep(Char* at, const Values& values) {
        constexpr Step step = kCompiled[I];
        for (std::size_t i = 0; i < step.literalLength; ++i)
            *at++ = F.text[step.literalBegin + i];
        if constexpr (step.conv != 0) {
            const auto v = std::get<ArgumentOf(I)>(values);
            constexpr bool isSigned = step.conv == 'd' || step.conv == 'i';
            constexpr unsigned base = isSigned || step.conv == 'u' ? 10 : 16;
            // The low 32 bits, as a 32-bit long or an int holds them.
            std::uint32_t magnitude = static_cast<std::uint32_t>(v);
            bool negative = false;
            if constexpr (isSigned) {
                negative = static_cast<std::int32_t>(magnitude) < 0;
                if (negative) magnitude = 0u - magnitude;
            }
            const std::size_t count = detail::DigitCount(magnitude, base);
            const std::size_t body = count + (negative ? 1 : 0);
            constexpr auto width = static_cast<std::size_t>(step.field.width);
            const std::size_t pad = width > body ? width - body : 0;
            // '0' pads between the sign and the digits, blanks go before the sign.
            if constexpr (!step.field.zero)
                for (std::size_t i = 0; i < pad; ++i)
                    *at++ = Char(' ');
            if (negative) *at++ = Char('-');
            if constexpr (step.field.zero)
                for (std::size_t i = 0; i < pad; ++i)
                    *at++ = Char('0');
            at += count;
            detail::WriteDigits(at, magnitude, base, step.conv == 'X');
        }
        return at;
    }
};

}  // namespace util
