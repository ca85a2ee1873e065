#include "util/FormatEngine.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>

#include "util/FormatDigits.h"

namespace util {
namespace {

// Outcomes of our pass besides a length.
constexpr int kOverflow = -1;
constexpr int kDelegate = -2;

// std::va_list is an array type on some ABIs; wrapped, it can be passed by reference.
struct Args {
    std::va_list list;
};

int CallCLibrary(wchar_t* buffer, std::size_t size, const wchar_t* format, std::va_list args) {
    return std::vswprintf(buffer, size, format, args);
}

int CallCLibrary(char* buffer, std::size_t size, const char* format, std::va_list args) {
    // vsnprintf truncates and reports the length it needed; the contract here is vswprintf's.
    const int length = std::vsnprintf(buffer, size, format, args);
    return length >= 0 && static_cast<std::size_t>(length) < size ? length : kOverflow;
}

constexpr bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// Units up to the NUL, or up to the precision: the C library reads no further.
template <class Src>
std::size_t Length(const Src* s, long long precision) {
    if (precision < 0) return std::char_traits<Src>::length(s);
    std::size_t n = 0;
    while (static_cast<long long>(n) < precision && s[n] != Src(0))
        ++n;
    return n;
}

// Whether the first n units are 7-bit ASCII, which the C library's wide/narrow conversion
// passes through unchanged in every locale.
template <class Src>
bool IsAscii(const Src* s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<std::uint32_t>(s[i]) > 0x7F) return false;
    return true;
}

// The output, bounded so that its NUL always fits.
template <class Char>
class Output {
public:
    Output(Char* buffer, std::size_t size)
        : mBegin(buffer), mPos(buffer), mEnd(buffer + size - 1) {}

    bool Put(Char c) {
        if (mPos == mEnd) return false;
        *mPos++ = c;
        return true;
    }
    bool Fill(Char c, std::size_t n) {
        if (n > Room()) return false;
        for (; n > 0; --n)
            *mPos++ = c;
        return true;
    }
    // The source is ASCII or of the output's width, so a plain cast converts it.
    template <class Src>
    bool Copy(const Src* s, std::size_t n) {
        if (n > Room()) return false;
        for (std::size_t i = 0; i < n; ++i)
            *mPos++ = static_cast<Char>(s[i]);
        return true;
    }
    // Room for n units that the caller fills, or null.
    Char* Take(std::size_t n) {
        if (n > Room()) return nullptr;
        Char* const at = mPos;
        mPos += n;
        return at;
    }
    // Copies the literal text up to the next '%' or the end; false when it does not fit.
    bool Literal(const Char*& f) {
        for (; *f != Char(0) && *f != Char('%'); ++f) {
            if (mPos == mEnd) return false;
            *mPos++ = *f;
        }
        return true;
    }
    int Finish() {
        *mPos = Char(0);
        return static_cast<int>(mPos - mBegin);
    }

private:
    std::size_t Room() const { return static_cast<std::size_t>(mEnd - mPos); }

    Char* mBegin;
    Char* mPos;
    Char* mEnd;
};

using Field = FormatField;

// Digits of a width or precision. False where the C library takes another path: a number beyond
// INT_MAX (it fails with EOVERFLOW) or a positional argument ("%1$d").
template <class Char>
bool ReadNumber(const Char*& f, long long& value) {
    value = 0;
    for (; IsDigit(*f); ++f) {
        value = value * 10 + (*f - '0');
        if (value > INT_MAX) return false;
    }
    return *f != '$';
}

template <class Char>
bool Pad(Output<Char>& out, const Field& field, std::size_t body) {
    return field.width <= static_cast<long long>(body) ||
           out.Fill(Char(' '), static_cast<std::size_t>(field.width) - body);
}

using detail::DigitCount;
using detail::WriteDigits;

template <class Char, class Source>
int Integer(Output<Char>& out, const Field& field, char conv, Source& src) {
    const bool isSigned = conv == 'd' || conv == 'i';
    std::uint32_t magnitude;
    bool negative = false;
    if (isSigned) {
        std::int32_t v;
        if (field.length == 'l')
            v = static_cast<std::int32_t>(src.Long());  // low 32 bits: a 32-bit long
        else if (field.length == 'h')
            v = static_cast<std::int16_t>(src.Int());
        else
            v = src.Int();
        negative = v < 0;
        magnitude = negative ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    } else if (field.length == 'l') {
        magnitude = static_cast<std::uint32_t>(src.ULong());
    } else if (field.length == 'h') {
        magnitude = static_cast<std::uint16_t>(src.UInt());
    } else {
        magnitude = src.UInt();
    }

    const unsigned base = conv == 'o' ? 8 : conv == 'x' || conv == 'X' ? 16 : 10;
    // An explicit precision of 0 prints no digit for 0.
    const std::size_t count =
        magnitude == 0 && field.precision == 0 ? 0 : DigitCount(magnitude, base);

    std::size_t zeros = field.precision > static_cast<long long>(count)
                            ? static_cast<std::size_t>(field.precision) - count
                            : 0;
    // '#' with 'o' makes the first digit a 0.
    if (field.alt && base == 8 && zeros == 0 && (count == 0 || magnitude != 0)) zeros = 1;

    char prefix[2] = {};
    std::size_t prefixLength = 0;
    if (isSigned) {
        if (negative)
            prefix[prefixLength++] = '-';
        else if (field.plus)
            prefix[prefixLength++] = '+';
        else if (field.space)
            prefix[prefixLength++] = ' ';
    } else if (field.alt && base == 16 && magnitude != 0) {
        prefix[prefixLength++] = '0';
        prefix[prefixLength++] = conv;
    }

    const std::size_t body = prefixLength + zeros + count;
    const std::size_t pad = field.width > static_cast<long long>(body)
                                ? static_cast<std::size_t>(field.width) - body
                                : 0;
    // The '0' flag pads between sign or prefix and digits, unless '-' or a precision is given.
    const bool zeroPad = field.zero && !field.left && field.precision < 0;
    if (!field.left && !zeroPad && !out.Fill(Char(' '), pad)) return kOverflow;
    if (!out.Copy(prefix, prefixLength)) return kOverflow;
    if (!out.Fill(Char('0'), zeros + (zeroPad ? pad : 0))) return kOverflow;
    Char* const digits = out.Take(count);
    if (digits == nullptr) return kOverflow;
    if (count > 0) WriteDigits(digits + count, magnitude, base, conv == 'X');
    if (field.left && !out.Fill(Char(' '), pad)) return kOverflow;
    return 0;
}

// A text of n units; '0' pads texts with blanks, as the C library does.
template <class Char, class Src>
int Text(Output<Char>& out, const Field& field, const Src* s, std::size_t n) {
    if (!field.left && !Pad(out, field, n)) return kOverflow;
    if (!out.Copy(s, n)) return kOverflow;
    if (field.left && !Pad(out, field, n)) return kOverflow;
    return 0;
}

template <class Char, class Source>
int Character(Output<Char>& out, const Field& field, Source& src) {
    constexpr bool kWide = sizeof(Char) > 1;
    Char c;
    if (field.length == 'l') {
        const std::wint_t w = src.WideChar();
        // A wide character in narrow output goes through the locale's encoding.
        if (!kWide && w > 0x7F) return kDelegate;
        c = static_cast<Char>(w);
    } else if (field.length == 0) {
        const int v = src.Int();
        // A byte in wide output goes through the locale's decoding.
        if (kWide && static_cast<unsigned>(v) > 0x7F) return kDelegate;
        c = static_cast<Char>(static_cast<unsigned char>(v));
    } else {
        return kDelegate;
    }
    return Text(out, field, &c, 1);
}

template <class Char, class Source>
int String(Output<Char>& out, const Field& field, Source& src) {
    constexpr bool kWide = sizeof(Char) > 1;
    if (field.length == 'l') {
        const wchar_t* s = src.WideText();
        if (s == nullptr) return kDelegate;  // "(null)" or nothing, by the precision
        const std::size_t n = Length(s, field.precision);
        if (!kWide && !IsAscii(s, n)) return kDelegate;
        return Text(out, field, s, n);
    }
    if (field.length != 0) return kDelegate;
    const char* s = src.Text();
    if (s == nullptr) return kDelegate;
    const std::size_t n = Length(s, field.precision);
    if (kWide && !IsAscii(s, n)) return kDelegate;
    return Text(out, field, s, n);
}

// The arguments of a va_list, read in the types the conversions name.
struct VaSource {
    Args& ap;
    int Int() { return va_arg(ap.list, int); }
    unsigned UInt() { return va_arg(ap.list, unsigned); }
    long Long() { return va_arg(ap.list, long); }
    unsigned long ULong() { return va_arg(ap.list, unsigned long); }
    std::wint_t WideChar() { return va_arg(ap.list, std::wint_t); }
    const char* Text() { return va_arg(ap.list, const char*); }
    const wchar_t* WideText() { return va_arg(ap.list, const wchar_t*); }
};

// The conversion itself, with the value taken from `src`.
template <class Char, class Source>
int Convert(Output<Char>& out, const Field& field, char conv, Source& src) {
    switch (conv) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            return Integer(out, field, conv, src);
        case 'c':
            return Character(out, field, src);
        case 's':
            return String(out, field, src);
        default:
            return kDelegate;
    }
}

template <class Char>
int FormatOurs(Char* buffer, std::size_t size, const Char* f, Args& ap) {
    Output<Char> out(buffer, size);
    VaSource src{ap};
    for (;;) {
        if (!out.Literal(f)) return kOverflow;
        if (*f == Char(0)) return out.Finish();
        ++f;
        if (*f == Char('%')) {
            if (!out.Put(Char('%'))) return kOverflow;
            ++f;
            continue;
        }

        Field field;
        for (;; ++f) {
            if (*f == Char('-'))
                field.left = true;
            else if (*f == Char('0'))
                field.zero = true;
            else if (*f == Char('+'))
                field.plus = true;
            else if (*f == Char(' '))
                field.space = true;
            else if (*f == Char('#'))
                field.alt = true;
            else
                break;
        }
        if (*f == Char('*')) {
            if (IsDigit(*++f)) return kDelegate;  // "%*1$d"
            const int w = va_arg(ap.list, int);
            if (w < 0) field.left = true;
            field.width = w < 0 ? -static_cast<long long>(w) : w;
        } else if (!ReadNumber(f, field.width)) {
            return kDelegate;
        }
        if (*f == Char('.')) {
            if (*++f == Char('*')) {
                if (IsDigit(*++f)) return kDelegate;
                const int p = va_arg(ap.list, int);
                field.precision = p < 0 ? -1 : p;  // a negative precision counts as none
            } else if (!ReadNumber(f, field.precision)) {
                return kDelegate;
            }
        }
        if (*f == Char('h') || *f == Char('l')) field.length = static_cast<char>(*f++);

        // A conversion letter beyond 7 bits is none of ours.
        const int r = Convert(out, field, *f > Char(0x7F) ? '\0' : static_cast<char>(*f), src);
        if (r < 0) return r;
        ++f;
    }
}

template <class Char>
int Run(Char* buffer, std::size_t size, const Char* format, std::va_list args) {
    if (size == 0) return CallCLibrary(buffer, size, format, args);
    // The C library gets the arguments from the start if our pass gives up half way.
    Args start;
    va_copy(start.list, args);
    Args ap;
    va_copy(ap.list, args);
    int result = FormatOurs(buffer, size, format, ap);
    va_end(ap.list);
    if (result == kDelegate) result = CallCLibrary(buffer, size, format, start.list);
    va_end(start.list);
    return result;
}

[[noreturn]] void ThrowBadArgument(int index) {
    throw std::logic_error("format: argument " + std::to_string(index + 1) +
                           " is missing or of another width than its conversion");
}

// The arguments of a precompiled format, each checked against the width its conversion reads.
struct PackSource {
    const FormatArg* args;
    int count;
    int next = 0;

    const FormatArg& Next(FormatArg::Kind want) {
        if (next >= count || args[next].kind != want) ThrowBadArgument(next);
        return args[next++];
    }
    int Int() { return static_cast<int>(Next(FormatArg::Kind::Int).value); }
    unsigned UInt() { return static_cast<unsigned>(Next(FormatArg::Kind::Int).value); }
    long Long() { return static_cast<long>(Next(FormatArg::Kind::Long).value); }
    unsigned long ULong() { return static_cast<unsigned long>(Next(FormatArg::Kind::Long).value); }
    std::wint_t WideChar() { return static_cast<std::wint_t>(Next(FormatArg::Kind::Int).value); }
    const char* Text() { return static_cast<const char*>(Next(FormatArg::Kind::Text).text); }
    const wchar_t* WideText() {
        return static_cast<const wchar_t*>(Next(FormatArg::Kind::WideText).text);
    }
};

template <class Char>
int RunSpec(Char* buffer, std::size_t size, const CompiledFormat<Char>& compiled,
            const FormatArg* args, int count) {
    if (size == 0) return kFormatDelegate;
    Output<Char> out(buffer, size);
    PackSource src{args, count};
    const Char* const text = compiled.Text();
    for (int i = 0; i < compiled.Size(); ++i) {
        const auto& step = compiled[i];
        if (!out.Copy(text + step.literalBegin, step.literalLength)) return kOverflow;
        if (step.conv == 0) continue;
        const int r = Convert(out, step.field, step.conv, src);
        if (r < 0) return r;
    }
    return out.Finish();
}

}  // namespace

static_assert(kDelegate == kFormatDelegate);

int FormatPacked(wchar_t* buffer, std::size_t size, const CompiledFormat<wchar_t>& compiled,
                 const FormatArg* args, int count) {
    return RunSpec(buffer, size, compiled, args, count);
}

int FormatPacked(char* buffer, std::size_t size, const CompiledFormat<char>& compiled,
                 const FormatArg* args, int count) {
    return RunSpec(buffer, size, compiled, args, count);
}

int FormatTo(wchar_t* buffer, std::size_t size, const wchar_t* format, std::va_list args) {
    return Run(buffer, size, format, args);
}

int FormatTo(char* buffer, std::size_t size, const char* format, std::va_list args) {
    return Run(buffer, size, format, args);
}

}  // namespace util
