#include "util/StreamTokens.h"

#include <cmath>
#include <ios>
#include <stdexcept>
#include <string>

#include "util/Exceptions.h"
#include "util/Format.h"

namespace util {
namespace {

using Traits = std::istream::traits_type;

constexpr int kMaxNesting = 100;

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsAsciiLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsWordChar(int c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

bool IsListEnd(int c) {
    return c == ';' || c == '}';
}

// The next character, or EOF when the stream is not good. Checking first keeps peek() from
// turning a pending end-of-file into a failure.
int PeekIfGood(std::istream& in) {
    return in.good() ? in.peek() : Traits::eof();
}

}  // namespace

std::istream& SkipSpace(std::istream& in) {
    while (IsBlank(PeekIfGood(in)))
        in.get();
    return in;
}

std::istream& ExpectChar(std::istream& in, char c) {
    if (PeekIfGood(in) == Traits::to_int_type(c)) {
        in.get();
    } else if (!in.fail()) {
        in.clear(std::ios::failbit);
    }
    return in;
}

std::istream& ReadLetter(std::istream& in, int& target) {
    SkipSpace(in);
    const int c = in.get();
    if (IsAsciiLetter(c)) {
        target = c;
    } else {
        if (c != Traits::eof()) in.unget();
        in.setstate(std::ios::failbit);
    }
    return in;
}

std::istream& ReadWord(std::istream& in, std::string& word) {
    word.clear();
    SkipSpace(in);
    while (IsWordChar(PeekIfGood(in)))
        word.push_back(Traits::to_char_type(in.get()));
    return in;
}

std::istream& ExpectEnd(std::istream& in) {
    in.clear();
    SkipSpace(in);
    const int c = PeekIfGood(in);
    if (c != Traits::eof() && c != ',' && !IsListEnd(c)) {
        RaiseFormatError(in, "missing end(',' or ';' or '}')");
    }
    return in;
}

std::istream& ExpectComma(std::istream& in) {
    in.clear();
    SkipSpace(in);
    const int c = PeekIfGood(in);
    if (c == Traits::eof()) return in;
    if (IsListEnd(c)) {
        in.setstate(std::ios::failbit);
    } else if (c == ',') {
        in.get();
    } else {
        RaiseFormatError(in, "missing ','");
    }
    return in;
}

std::istream& SkipValue(std::istream& in) {
    ExpectComma(in);
    if (!in.good()) {
        in.clear();
        return in;
    }
    int depth = 0;
    for (;;) {
        const int c = in.get();
        if (in.fail()) {
            in.clear();
            return in;
        }
        if (depth == 0 && IsListEnd(c)) {
            in.unget();
            return in;
        }
        if (c == '{') {
            if (depth == kMaxNesting) {
                in.unget();
                RaiseFormatError(in, "over 100 nested '{'");
            }
            ++depth;
        } else if (c == '}') {
            --depth;
        }
    }
}

void RaiseFormatError(std::istream& in, const std::string& message, std::int32_t delta) {
    in.clear();
    const std::streamoff position = in.tellg();
    // Positions are 32-bit; C++20 makes the narrowing well defined.
    throw invalid_format_argument(message, static_cast<std::int32_t>(position + delta));
}

void RaiseUnknownAssignable(const std::string& name) {
    throw std::invalid_argument("unknown assignable field: " + name);
}

void RaiseUnknownSelectable(const std::string& name) {
    throw std::invalid_argument("unknown selectable field: " + name);
}

std::istream& ReadPoint(std::istream& in, Point& point) {
    ReadDouble(in, point.x);
    ExpectComma(in);
    ReadDouble(in, point.y);
    return ExpectEnd(in);
}

std::ostream& WritePoint(std::ostream& out, const Point& point) {
    // "%.0f" prints the rounded value exactly for any magnitude, where a cast to an integer type
    // would be undefined beyond its range.
    return out << FormatA("%.0f", std::floor(point.x + 0.5)) << ','
               << FormatA("%.0f", std::floor(point.y + 0.5));
}

std::istream& ReadRect(std::istream& in, Rect& rect) {
    ReadPoint(in, rect.first);
    ExpectComma(in);
    return ReadPoint(in, rect.second);
}

std::ostream& WriteRect(std::ostream& out, const Rect& rect) {
    WritePoint(out, rect.first) << ',';
    return WritePoint(out, rect.second);
}

std::istream& ReadDouble(std::istream& in, double& target) {
    double value = 0;
    if (in >> value) target = value;
    return in;
}

std::ostream& WriteDouble(std::ostream& out, double value) {
    return out << FormatA("%.15g", value);
}

std::istream& ReadMilliseconds(std::istream& in, std::int32_t& target) {
    std::int32_t value = 0;
    if (!(in >> value)) return in;
    std::string word;
    ReadWord(in, word);
    if (word.empty() || word == "ms") {
        target = value;
    } else if (word == "s") {
        // Multiplied wide and wrapped to 32 bits: a large count must not overflow.
        target = static_cast<std::int32_t>(static_cast<std::int64_t>(value) * 1000);
    } else {
        RaiseFormatError(in, "unknown second format", -static_cast<std::int32_t>(word.size()));
    }
    return in;
}

std::ostream& WriteMilliseconds(std::ostream& out, std::int32_t value) {
    if (value != 0 && value % 1000 == 0) return out << value / 1000 << 's';
    return out << value << "ms";
}

}  // namespace util
