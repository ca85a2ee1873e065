// The direct reading of the record's plain and keyed forms against the stream reading it
// shortcuts: for every text, both give the same record and count, or the same error. Texts are
// built from the forms' own pieces (hex fields at and beyond their limits, separators, blanks,
// signs, prefixes, keys and values), so most are near-misses of the direct path's syntax.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pqcore/PqDevice.h"
#include "util/Exceptions.h"

namespace {

using pqcore::PqDevice;

// Count, error and every field of the record read from `text` into a record that already holds
// data (both readings must replace all of it).
template <class Read>
std::string Outcome(const std::string& text, Read read) {
    PqDevice d;
    d.mCode = 77, d.mNumber = 5, d.mSegment.mStationNo = 3, d.mLabelId = 9, d.mName = L"old";
    std::ostringstream out;
    try {
        out << read(d, text);
    } catch (const util::invalid_format_argument& e) {
        out << e.what() << " at " << e.position;
    }
    out << " " << d.mChannel << ":" << d.mCode << ":" << d.mNumber << "@" << d.mSegment.mNetworkNo
        << "." << d.mSegment.mStationNo << "." << d.mSegment.mExtNo << "/" << d.mType << " "
        << d.mLabelId;
    for (const wchar_t c : d.mName + L"|" + d.mAuxText)
        out << " " << static_cast<int>(c);
    return out.str();
}

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> items;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, '|');)
        items.push_back(item);
    return items;
}

// Plain forms whose fields run through the limits, and keyed forms with keys the record reads
// and others, given twice, without '=', empty, unescaped or cut short; most with a piece of noise
// put in.
TEST(PlainRecordText, DirectReadingMatchesTheStream) {
    const auto pieces = Split(
        "0|1|9D|7FFF|8000|FFFF|7fffffff|80000000|FFFFFFFF|000000001|10000|a|F"
        "|.|.|.|@|/|/b|/i|/D|/1|/| |-|+|0x|&|&D=1.2/b&&|,|;|}|g|\t|..|@1.2"
        "|@0.0.0|@7FFF.7FFF.7FFF");
    const auto fields = Split(
        "0|1|7FFF|7fff|8000|FFFF|7FFFFFFF|80000000|FFFFFFFF|0000000F"
        "|00000000F||1B");
    const auto types = Split("/b|/i|/Z|/|/1|/bb");
    const auto keys = Split("N=|A=|L=|D=|X=|N|D|==|&|");
    const auto values = Split(
        "Motor|M\\26tor|\\x|1F|zz|FFFFFFFFF|9D.0/b|9D.0@1.2/i| 9D.0/b"
        "|9D.0/b |9D/b||=|&|\xc3\xa9|1.2/b,");
    std::mt19937 rng(2024);
    const auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    int accepted = 0, withDevice = 0;
    for (int i = 0; i < 300000; ++i) {
        std::string text;
        if (i % 3) {
            text = pick(fields) + "." + pick(fields);
            if (rng() % 2) {
                text += "@" + pick(fields) + "." + pick(fields);
                if (rng() % 2) text += "." + pick(fields);
            }
            text += rng() % 8 ? pick(types) : "";
            if (rng() % 3) text.insert(rng() % (text.size() + 1), pick(pieces));
        } else {
            text = "&";
            for (int n = static_cast<int>(rng() % 5); n >= 0; --n)
                text += pick(keys) + pick(values) + (rng() % 6 ? "&" : "");
            if (rng() % 4) text += "&";
            if (rng() % 5 == 0) text += pick(pieces);
        }
        const auto direct = [](PqDevice& d, const std::string& t) { return d.FromString(t); };
        const auto streamed = [](PqDevice& d, const std::string& t) {
            return d.pqcore::PqAtomADP::FromString(t);
        };
        const std::string outcome = Outcome(text, direct);
        ASSERT_EQ(outcome, Outcome(text, streamed)) << "\"" << text << "\"";
        const bool read = outcome.find(" at ") == std::string::npos;
        accepted += read && i % 3 && outcome[0] != '0';
        withDevice += read && i % 3 == 0 && outcome.find(":157:") != std::string::npos;
    }
    EXPECT_GT(accepted, 10000) << "the texts must reach the direct path often";
    EXPECT_GT(withDevice, 1000);
}

}  // namespace
