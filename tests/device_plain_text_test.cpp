// The direct reading of the record's plain and keyed forms against the stream reading it
// shortcuts: for every text, both give the same record and count, or the same error. Texts are
// built from the forms' own pieces (hex fields at and beyond their limits, separators, blanks,
// signs, prefixes, keys and values), so most are near-misses of the direct path's syntax.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pqcore/PqDevice.h"
#include "util/Exceptions.h"

namespace {

using pqcore::PqAtomADP;
using pqcore::PqDevice;

struct Outcome {
    int count = 0;
    std::string error;
    PqDevice device;
    bool operator==(const Outcome& o) const {
        return count == o.count && error == o.error && device == o.device &&
               device.mChannel == o.device.mChannel && device.mLabelId == o.device.mLabelId &&
               device.mName == o.device.mName && device.mAuxText == o.device.mAuxText;
    }
};

template <class Read>
Outcome Run(const std::string& text, Read read) {
    Outcome o;
    // A record that already holds data: both readings must replace all of it.
    o.device.mCode = 77;
    o.device.mNumber = 5;
    o.device.mSegment.mStationNo = 3;
    o.device.mLabelId = 9;
    o.device.mName = L"old";
    try {
        o.count = read(o.device, text);
    } catch (const util::invalid_format_argument& e) {
        o.error = std::string(e.what()) + " at " + std::to_string(e.position);
    }
    return o;
}

Outcome Direct(const std::string& text) {
    return Run(text, [](PqDevice& d, const std::string& t) { return d.FromString(t); });
}
Outcome Streamed(const std::string& text) {
    return Run(text, [](PqDevice& d, const std::string& t) { return d.PqAtomADP::FromString(t); });
}

const std::vector<std::string> kPieces = {"0",          "1",
                                          "9D",         "7FFF",
                                          "8000",       "FFFF",
                                          "7fffffff",   "80000000",
                                          "FFFFFFFF",   "000000001",
                                          "10000",      "a",
                                          "F",          ".",
                                          ".",          ".",
                                          "@",          "/",
                                          "/b",         "/i",
                                          "/D",         "/1",
                                          "/",          " ",
                                          "-",          "+",
                                          "0x",         "&",
                                          "&D=1.2/b&&", ",",
                                          ";",          "}",
                                          "g",          "\t",
                                          "..",         "@1.2",
                                          "@0.0.0",     "@7FFF.7FFF.7FFF"};

TEST(PlainRecordText, DirectReadingMatchesTheStreamOnValidTexts) {
    for (const char* text :
         {"9D.0/b", "0.0/i", "7FFFFFFF.7FFFFFFF/D", "1ABCD.FF@1.2/w", "a.b@7FFF.7fff.1/U",
          "00000001.00000002/b", "5.6@0.0/b", "5.6@0.0.0/b"}) {
        const Outcome direct = Direct(text), streamed = Streamed(text);
        EXPECT_EQ(direct.error, "") << text;
        EXPECT_TRUE(direct == streamed) << text;
    }
    const Outcome o = Direct("1ABCD.FF@1.2/w");
    EXPECT_EQ(o.device.mChannel, 1);
    EXPECT_EQ(o.device.mCode, 0xABCD);
    EXPECT_EQ(o.device.mNumber, 0xFF);
    EXPECT_EQ(o.device.mSegment.mStationNo, 2);
    EXPECT_EQ(o.device.mType, 'w');
    EXPECT_EQ(o.device.mName, L"");
}

// Plain forms whose fields run through the limits, with a piece of noise put in at a random
// place in most of them: the direct path must take exactly what the stream takes, alike.
TEST(PlainRecordText, DirectReadingMatchesTheStreamOnNearMisses) {
    const std::vector<std::string> fields = {
        "0",        "1",        "7FFF",     "7fff",      "8000", "FFFF", "7FFFFFFF",
        "80000000", "FFFFFFFF", "0000000F", "00000000F", "",     "1B"};
    std::mt19937 rng(2024);
    const auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    int accepted = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string text = pick(fields) + "." + pick(fields);
        if (rng() % 2) {
            text += "@" + pick(fields) + "." + pick(fields);
            if (rng() % 2) text += "." + pick(fields);
        }
        text += rng() % 8 ? pick({"/b", "/i", "/Z", "/", "/1", "/bb"}) : "";
        if (rng() % 3) text.insert(rng() % (text.size() + 1), pick(kPieces));
        const Outcome direct = Direct(text), streamed = Streamed(text);
        ASSERT_TRUE(direct == streamed)
            << "\"" << text << "\": " << direct.count << " " << direct.error << " / "
            << streamed.count << " " << streamed.error;
        accepted += direct.error.empty() && direct.count > 0;
    }
    EXPECT_GT(accepted, 10000) << "the texts must reach the direct path often";
}

// Keyed forms: keys the record reads and others, given twice, without '=', empty, unescaped or
// cut short; device values in and out of the direct path's syntax.
TEST(PlainRecordText, DirectKeyedReadingMatchesTheStream) {
    const std::vector<std::string> keys = {"N=", "A=", "L=", "D=", "X=", "N", "D", "==", "&", ""};
    const std::vector<std::string> values = {
        "Motor",   "M\\26tor", "\\x",  "1F", "zz", "FFFFFFFFF", "9D.0/b",   "9D.0@1.2/i",
        " 9D.0/b", "9D.0/b ",  "9D/b", "",   "=",  "&",         "\xc3\xa9", "1.2/b,"};
    std::mt19937 rng(77);
    const auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    int withDevice = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string text = "&";
        for (int n = static_cast<int>(rng() % 5); n >= 0; --n)
            text += pick(keys) + pick(values) + (rng() % 6 ? "&" : "");
        if (rng() % 4) text += "&";
        if (rng() % 5 == 0) text += pick(kPieces);
        const Outcome direct = Direct(text), streamed = Streamed(text);
        ASSERT_TRUE(direct == streamed)
            << "\"" << text << "\": " << direct.count << " " << direct.error << " / "
            << streamed.count << " " << streamed.error;
        withDevice += direct.error.empty() && direct.device.mCode == 0x9D;
    }
    EXPECT_GT(withDevice, 1000);
}

}  // namespace
