// Tokenizing operations for the host's structured text on byte streams: brace blocks whose items
// end with ",", ";" or "}". Each operation returns its stream; between steps the stream's fail
// state reports "not here", and malformed text throws util::invalid_format_argument positioned at
// the stream's read position.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

namespace util {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    Point first;
    Point second;
};

std::istream& SkipSpace(std::istream& in);
std::istream& ExpectChar(std::istream& in, char c);
std::istream& ReadLetter(std::istream& in, int& target);
std::istream& ReadWord(std::istream& in, std::string& word);
std::istream& ExpectEnd(std::istream& in);
std::istream& ExpectComma(std::istream& in);
std::istream& SkipValue(std::istream& in);

[[noreturn]] void RaiseFormatError(std::istream& in, const std::string& message,
                                   std::int32_t delta = 0);
[[noreturn]] void RaiseUnknownAssignable(const std::string& name);
[[noreturn]] void RaiseUnknownSelectable(const std::string& name);

std::istream& ReadPoint(std::istream& in, Point& point);
std::ostream& WritePoint(std::ostream& out, const Point& point);
std::istream& ReadRect(std::istream& in, Rect& rect);
std::ostream& WriteRect(std::ostream& out, const Rect& rect);
std::istream& ReadDouble(std::istream& in, double& target);
std::ostream& WriteDouble(std::ostream& out, double value);
std::istream& ReadMilliseconds(std::istream& in, std::int32_t& target);
std::ostream& WriteMilliseconds(std::ostream& out, std::int32_t value);

}  // namespace util
