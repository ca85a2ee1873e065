// The narrow framework string: positions out of range are clamped, never read.
#include <gtest/gtest.h>

#include "mfc/CString.h"

namespace {

TEST(CString, SubstringsClampLikeTheFramework) {
    const CString s("MB00001F");
    const std::pair<CString, const char*> cases[] = {
        {s.Left(2), "MB"},
        {s.Left(-1), ""},
        {s.Left(99), "MB00001F"},
        {s.Mid(2), "00001F"},
        {s.Mid(-5), "MB00001F"},
        {s.Mid(8), ""},
        {s.Mid(99), ""},
        {s.Mid(2, 3), "000"},
        {s.Mid(6, 99), "1F"},
        {s.Mid(2, -1), ""},
        {s.Right(2), "1F"},
        {s.Right(99), "MB00001F"},
        {s.Right(-3), ""},
        {CString(nullptr), ""},
        {CString("ab", -1), ""},
        {CString("abc", 2), "ab"},
        {CString(" a b ").Trim(), "a b"},
    };
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(got, expected);
}

TEST(CString, FindAndCharacters) {
    const CString s("MW100.b5");
    const std::pair<int, int> found[] = {
        {s.Find('.'), 5},   {s.Find('.', 6), -1}, {s.Find('x'), -1},   {s.Find('M', -1), -1},
        {s.Find(".b"), 5},  {s.Find("", 8), 8},   {s.Find("", 9), -1}, {s.GetAt(0), 'M'},
        {s.GetAt(8), '\0'}, {s[-1], '\0'}};
    for (const auto& [got, expected] : found)
        EXPECT_EQ(got, expected);
}

TEST(CString, FormatAndValueSemantics) {
    CString a;
    a.Format("%s%05ld", "MB", 100L);
    CString b = a;
    b += ".b";
    b += '5';
    EXPECT_EQ(a, "MB00100");
    EXPECT_EQ(b, "MB00100.b5");
    EXPECT_EQ(CString("x") + a + "y", "xMB00100y");
    a.Format("%s", std::string(5000, 'z').c_str());  // no fixed limit here
    EXPECT_EQ(a.GetLength(), 5000);
    EXPECT_EQ(CString("aBc").MakeUpper(), "ABC");
    EXPECT_EQ(CString("aBc").MakeLower(), "abc");
}

}  // namespace
