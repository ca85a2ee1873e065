#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "util/Exceptions.h"
#include "util/StreamTokens.h"

using namespace std::string_literals;

namespace {

using Op = std::function<std::string(std::istream&)>;  // returns what it read, if anything

// "read[rest] state" after the operation, "message@position" for a format error, or "!message"
// for any other invalid argument.
std::string Describe(const Op& op, const std::string& text) {
    std::istringstream in(text);
    std::string read;
    try {
        read = op(in);
    } catch (const util::invalid_format_argument& e) {
        return e.what() + "@"s + std::to_string(e.position);
    } catch (const std::invalid_argument& e) {
        return "!"s + e.what();
    }
    std::string state = in.fail() ? " fail" : in.eof() ? "" : " good";
    if (in.eof()) state += " eof";
    in.clear();
    const std::string rest(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
    return read + "[" + rest + "]" + state;
}

// The operation on a stream already in `state`.
Op From(std::ios::iostate state, Op op) {
    return [=](std::istream& in) {
        in.setstate(state);
        return op(in);
    };
}

template <typename T, typename F>
Op Reading(T initial, F read) {
    return [=](std::istream& in) {
        T value = initial;
        read(in, value);
        std::ostringstream out;
        if constexpr (std::is_same_v<T, util::Point>) {
            out << value.x << ',' << value.y;
        } else {
            out << value;
        }
        return out.str();
    };
}

template <typename F>
Op Void(F f) {
    return [f](std::istream& in) { return f(in), ""s; };
}

const Op kReadRect = Reading(9.0, [](std::istream& in, double& sum) {
    util::Rect r{{1, 1}, {1, 1}};
    util::ReadRect(in, r);
    sum = r.first.x * 1000 + r.first.y * 100 + r.second.x * 10 + r.second.y;
});
const Op kReadMs = Reading(std::int32_t{-1}, util::ReadMilliseconds);

const std::string kNoEnd = "missing end(',' or ';' or '}')@";

}  // namespace

TEST(StreamTokens, OperationsConsumeSetStateAndRaise) {
    const auto fail = std::ios::failbit, eof = std::ios::eofbit;
    const Op expectX = Void([](std::istream& in) { util::ExpectChar(in, 'x'); });
    // clang-format off
    const std::pair<Op, std::vector<std::pair<std::string, std::string>>> groups[] = {
        {Void(util::SkipSpace),
            {{" \t\r\nx", "[x] good"}, {"\v x", "[\v x] good"}, {" ", "[] eof"}}},
        {expectX, {{"xy", "[y] good"}, {"yx", "[yx] fail"}, {"", "[] fail"}}},
        {From(eof, expectX), {{"x", "[x] fail"}}},  // the failure replaces end-of-file
        {From(fail | eof, expectX), {{"x", "[x] fail eof"}}},
        {Reading(int('-'), util::ReadLetter),
            {{" \nb1", "98[1] good"}, {" 1", "45[1] fail"}, {"\xC3", "45[\xC3] fail"},
             {" ", "45[] fail eof"}}},
        {Reading("old"s, util::ReadWord),
            {{" ab_9-x", "ab_9[-x] good"}, {"Z9", "Z9[] eof"}, {"-", "[-] good"}}},
        {From(fail, Void(util::ExpectEnd)),
            {{" \n", "[] eof"}, {" ,x", "[,x] good"}, {";", "[;] good"}, {"}", "[}] good"},
             {" x", kNoEnd + "1"}}},
        {From(fail, Void(util::ExpectComma)),
            {{"", "[] eof"}, {" ;x", "[;x] fail"}, {"}", "[}] fail"}, {" ,x", "[x] good"},
             {" x,", "missing ','@1"}}},
        {Void(util::SkipValue),
            {{",a,b{c;d};e", "[;e] good"}, {";x", "[;x] good"}, {",{a}}", "[}] good"},
             {", {a}, b", "[] good"}, {",{{", "[] good"}, {"x", "missing ','@0"},
             {"," + std::string(100, '{') + std::string(100, '}') + ";", "[;] good"},
             {"," + std::string(101, '{') + "}", "over 100 nested '{'@101"}}},
        {Reading(util::Point{9, 9}, util::ReadPoint),
            {{"1.5 , -2", "1.5,-2[] eof"}, {"1,2;x", "1,2[;x] good"}, {"3;", "3,9[;] good"},
             {"1,2x", kNoEnd + "3"}, {"a", "missing ','@0"}}},
        {kReadRect, {{"1,2, 3,4}", "1234[}] good"}, {"1,2 3", kNoEnd + "4"}}},
        {Reading(9.0, util::ReadDouble),
            {{"2.5e3,", "2500[,] good"}, {"x", "9[x] fail"}, {"1e999", "9[] fail eof"}}},
        {kReadMs,
            {{"1500", "1500[] eof"}, {"1500ms;", "1500[;] good"}, {" 2 s,", "2000[,] good"},
             {"1.5s", "1[.5s] good"}, {"x", "-1[x] fail"}, {"2147484s", "-2147483296[] eof"},
             {"3 min", "unknown second format@2"}, {"5sec,", "unknown second format@1"}}},
        {Void([](auto&) { util::RaiseUnknownAssignable("Xy"); }),
            {{"", "!unknown assignable field: Xy"}}},
        {Void([](auto&) { util::RaiseUnknownSelectable("Xy"); }),
            {{"", "!unknown selectable field: Xy"}}}};
    // clang-format on
    for (const auto& [op, cases] : groups) {
        for (const auto& [text, expected] : cases)
            EXPECT_EQ(Describe(op, text), expected) << text;
    }
}

TEST(StreamTokens, Writers) {
    std::ostringstream out;
    util::WriteRect(out, {{1.5, -1.5}, {-2.5, 2.4999}});
    util::WritePoint(out << '|', {1e20, -3e9});
    util::WriteDouble(out << '|', 1.0 / 3);
    util::WriteDouble(out << '|', -1e300);
    for (const std::int32_t ms : {0, 1500, -3000, INT32_MIN})
        util::WriteMilliseconds(out << '|', ms);
    EXPECT_EQ(
        out.str(),
        "2,-1,-2,2|100000000000000000000,-3000000000|0.333333333333333|-1e+300|0ms|1500ms|-3s|"
        "-2147483648ms");
}

RC_GTEST_PROP(StreamTokens, MillisecondsRoundTrip, (std::int32_t value)) {
    std::stringstream text;
    util::WriteMilliseconds(text, value);
    RC_ASSERT(Describe(kReadMs, text.str()) == std::to_string(value) + "[] eof");
}

RC_GTEST_PROP(StreamTokens, ReadersOnlyRaisePositionedFormatErrors, ()) {
    const std::string text = *rc::gen::container<std::string>(
        rc::gen::oneOf(rc::gen::elementOf(" ,;{}0123456789.-+esmx"s), rc::gen::arbitrary<char>()));
    for (const Op& op : {Void(util::ExpectEnd), Void(util::ExpectComma), Void(util::SkipValue),
                         kReadRect, kReadMs}) {
        std::istringstream in(text);
        try {
            op(in);
        } catch (const util::invalid_format_argument& e) {
            RC_ASSERT(e.position >= 0 && static_cast<std::size_t>(e.position) <= text.size());
        }
    }
}
