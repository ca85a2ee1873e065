// A constant scan pattern turned into straight-line code when the module is built.
//
//   using Word = util::CompiledPattern<"MW%8ld%n">;
//   int r = Word::Scan(text, value, used);       // what util::Scan(text, Word::kPattern, ...)
//   gives
//
// The interpreter (util::Scan) walks a pattern's directives on every call; here the directives
// are template arguments, so each one becomes its own code with its conversion and width known,
// and the output types are checked when the call is compiled. Results are the interpreter's, on
// either text backend: the C library's backend gets the same pattern through util::Scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "util/Scanner.h"
#include "util/ScannerCore.h"
#include "util/TextBackend.h"

namespace util {

// A pattern's text as a template argument.
template <std::size_t N>
struct PatternText {
    char text[N] = {};
    constexpr PatternText(const char (&s)[N]) {  // NOLINT: implicit, as a literal is written
        for (std::size_t i = 0; i < N; ++i)
            text[i] = s[i];
    }
    constexpr std::string_view View() const { return {text, N - 1}; }
};

template <PatternText P>
class CompiledPattern {
public:
    static constexpr ScanPattern kPattern{P.View()};

    template <class... Out>
    static int Scan(std::string_view input, Out&... out) {
        static_assert(static_cast<int>(sizeof...(Out)) == kPattern.Outputs() &&
                          detail::CharOutputMask<Out...>() == kPattern.CharOutputs(),
                      "the outputs must match the pattern's conversions");
        if (CurrentTextBackend() != TextBackend::Ours) [[unlikely]]
            return util::Scan(input, kPattern, out...);
        detail::Cursor in{input.data(), input.data() + input.size()};
        std::tuple<Out&...> outs{out...};
        return Step<0, 0>(in, input.data(), 0, outs);
    }

private:
    // Directive I with output K next; `assigned` conversions so far.
    template <int I, int K, class Outs>
    static int Step(detail::Cursor& in, const char* begin, int assigned, Outs& outs) {
        if constexpr (I == kPattern.Size()) {
            return assigned;
        } else {
            constexpr ScanPattern::Directive d = kPattern[I];
            // The input ended before the first assignment: -1, like EOF.
            const int ended = assigned == 0 ? -1 : assigned;
            if constexpr (d.op == ScanPattern::Op::Space) {
                in.SkipSpace();
                return Step<I + 1, K>(in, begin, assigned, outs);
            } else if constexpr (d.op == ScanPattern::Op::Literal) {
                // A literal '%' comes only from "%%", which as a conversion skips white space.
                if constexpr (d.literal == '%') in.SkipSpace();
                const int c = in.Peek();
                if (c < 0) return ended;
                if (c != static_cast<unsigned char>(d.literal)) return assigned;
                ++in.pos;
                return Step<I + 1, K>(in, begin, assigned, outs);
            } else if constexpr (d.conv == 'n') {
                Store(std::get<K>(outs), static_cast<std::uint32_t>(in.pos - begin));
                return Step<I + 1, K + 1>(in, begin, assigned, outs);
            } else if constexpr (d.conv == 'c') {
                if (in.Peek() < 0) return ended;
                std::get<K>(outs) = *in.pos++;
                return Step<I + 1, K + 1>(in, begin, assigned + 1, outs);
            } else {
                std::uint32_t v;
                switch (detail::ScanInteger(in, d.conv, d.width, v)) {
                    case detail::Outcome::InputFailure:
                        return ended;
                    case detail::Outcome::MatchingFailure:
                        return assigned;
                    case detail::Outcome::Assigned:
                        break;
                }
                Store(std::get<K>(outs), v);
                return Step<I + 1, K + 1>(in, begin, assigned + 1, outs);
            }
        }
    }

    // A 32-bit output of either signedness gets the value's bits.
    template <class T>
    static void Store(T& out, std::uint32_t v) {
        out = static_cast<T>(v);
    }
};

}  // namespace util
