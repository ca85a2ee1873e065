// A printf format that is known when the module is built, parsed once instead of on every call.
//
//   constexpr util::CompiledFormat<wchar_t> kWord(L"MW%ld");
//   util::AppendFormat(text, kWord, word);            // util/Format.h
//
// It takes the subset our formatter handles itself (util/FormatEngine.h): the flags '-', '0', '+',
// ' ' and '#', a width and a precision written as digits, the length modifiers 'h' and 'l', the
// conversions d i u x X o c s and "%%". Anything else throws std::invalid_argument, which makes a
// constexpr CompiledFormat with such a format fail to compile. Its text stays available for the C
// library's backend, which prints the very same format.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace util {

// One conversion as the format writes it: flags, width, precision and length modifier.
struct FormatField {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    long long width = 0;       // wide enough for the magnitude of INT_MIN from '*'
    long long precision = -1;  // -1: none
    char length = 0;           // 0, 'h' or 'l'
};

template <class Char>
class CompiledFormat {
public:
    // Plain text copied as it stands (`literalLength` units of the format from `literalBegin`),
    // then a conversion unless `conv` is 0.
    struct Step {
        std::uint16_t literalBegin = 0;
        std::uint16_t literalLength = 0;
        char conv = 0;
        // An integer conversion with at most the '0' flag and a width: the common case, which
        // util::StaticFormat turns into straight-line code.
        bool plain = false;
        FormatField field;
    };
    static constexpr int kMaxSteps = 8;

    // The text is referenced, not copied: it must outlive the compiled, as a string literal does.
    constexpr explicit CompiledFormat(const Char* format) : mText(format) {
        const std::basic_string_view<Char> f(format);
        if (f.size() > 0xFFFF) throw std::invalid_argument("format: too long");
        std::size_t i = 0;
        while (i < f.size()) {
            Step step;
            step.literalBegin = static_cast<std::uint16_t>(i);
            while (i < f.size() && f[i] != Char('%'))
                ++i;
            step.literalLength = static_cast<std::uint16_t>(i - step.literalBegin);
            if (i < f.size()) {
                ++i;
                if (i < f.size() && f[i] == Char('%')) {
                    // "%%" prints the '%' that introduced it.
                    ++step.literalLength;
                    ++i;
                } else {
                    i = ReadConversion(f, i, step);
                }
            }
            if (mCount == kMaxSteps) throw std::invalid_argument("format: too many parts");
            mSteps[mCount++] = step;
        }
    }

    constexpr const Char* Text() const { return mText; }
    constexpr int Size() const { return mCount; }
    constexpr const Step& operator[](int i) const { return mSteps[i]; }

private:
    static constexpr bool IsDigit(Char c) { return c >= Char('0') && c <= Char('9'); }

    static constexpr std::size_t ReadNumber(std::basic_string_view<Char> f, std::size_t i,
                                            long long& value) {
        value = 0;
        for (; i < f.size() && IsDigit(f[i]); ++i) {
            value = value * 10 + (f[i] - Char('0'));
            if (value > 0x7FFFFFFF) throw std::invalid_argument("format: number too large");
        }
        return i;
    }

    static constexpr std::size_t ReadConversion(std::basic_string_view<Char> f, std::size_t i,
                                                Step& step) {
        FormatField& field = step.field;
        for (; i < f.size(); ++i) {
            if (f[i] == Char('-'))
                field.left = true;
            else if (f[i] == Char('0'))
                field.zero = true;
            else if (f[i] == Char('+'))
                field.plus = true;
            else if (f[i] == Char(' '))
                field.space = true;
            else if (f[i] == Char('#'))
                field.alt = true;
            else
                break;
        }
        i = ReadNumber(f, i, field.width);
        if (i < f.size() && f[i] == Char('.')) i = ReadNumber(f, i + 1, field.precision);
        if (i < f.size() && (f[i] == Char('h') || f[i] == Char('l')))
            field.length = static_cast<char>(f[i++]);
        if (i == f.size()) throw std::invalid_argument("format: incomplete conversion");
        switch (f[i]) {
            case Char('d'):
            case Char('i'):
            case Char('u'):
            case Char('o'):
            case Char('x'):
            case Char('X'):
            case Char('c'):
            case Char('s'):
                step.conv = static_cast<char>(f[i]);
                step.plain = step.conv != 'c' && step.conv != 's' && step.conv != 'o' &&
                             !field.left && !field.plus && !field.space && !field.alt &&
                             field.precision < 0 && field.length != 'h';
                return i + 1;
            default:
                throw std::invalid_argument("format: unsupported conversion");
        }
    }

    const Char* mText;
    Step mSteps[kMaxSteps] = {};
    int mCount = 0;
};

}  // namespace util
