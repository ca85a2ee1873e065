// The record's text forms and the label map they consult.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pqcore/PqDevice.h"
#include "tools/support/InMemoryLabelMap.h"
#include "util/Exceptions.h"
#include "util/TextConvert.h"

using namespace std::string_literals;

namespace {

using pqcore::PqDevice;
using pqcore::project::PqLabelMapIF;

// Installs a label map for one scope; records never outlive a test with a dangling map.
class ScopedLabelMap {
public:
    explicit ScopedLabelMap(PqLabelMapIF* map) { PqDevice::mLabelMap = map; }
    ~ScopedLabelMap() { PqDevice::mLabelMap = nullptr; }
    ScopedLabelMap(const ScopedLabelMap&) = delete;
    ScopedLabelMap& operator=(const ScopedLabelMap&) = delete;
};

// Logs each call with the key and the record as the map saw it; UpdateLabel assigns `number`.
class RecordingLabelMap final : public PqLabelMapIF {
public:
    bool ResolveLabel(const std::wstring& key, PqDevice* device) override {
        Log("Resolve " + util::WStringToUtf8(key), device);
        return false;
    }
    bool UpdateLabel(PqDevice* device) override {
        Log("Update", device);
        device->mLabelId = number;
        return false;
    }
    std::uint32_t number = 0;
    std::vector<std::string> calls;
    std::vector<const PqDevice*> records;

private:
    void Log(const std::string& call, const PqDevice* device) {
        std::string seen;
        calls.push_back(call + " on " + device->ToKeyedString(seen));
        records.push_back(device);
    }
};

struct Fields {
    std::int32_t channel = 0, code = 0, number = 0;
    std::int16_t net = 0, station = 0, ext = 0;
    int type = 'b';
    std::wstring name{}, aux{};
    std::uint32_t id = 0;
};

PqDevice Make(const Fields& f) {
    PqDevice d;
    d.mChannel = f.channel, d.mCode = f.code, d.mNumber = f.number, d.mType = f.type;
    d.mSegment = {f.net, f.station, f.ext};
    d.mName = f.name, d.mAuxText = f.aux, d.mLabelId = f.id;
    return d;
}

std::string Show(const PqDevice& d) {
    const auto& s = d.mSegment;
    std::string out = std::to_string(d.mChannel) + ":" + std::to_string(d.mCode) + ":" +
                      std::to_string(d.mNumber) + "@" + std::to_string(s.mNetworkNo) + "." +
                      std::to_string(s.mStationNo) + "." + std::to_string(s.mExtNo) + "/" +
                      static_cast<char>(d.mType);
    if (!d.mName.empty()) out += " N=" + util::WStringToUtf8(d.mName);
    if (!d.mAuxText.empty()) out += " L=" + util::WStringToUtf8(d.mAuxText);
    if (d.mLabelId != 0) out += " A=" + std::to_string(d.mLabelId);
    return out;
}

// What `f` returns, or "message@position" of the format error it throws.
std::string Outcome(const std::function<std::string()>& f) {
    try {
        return f();
    } catch (const util::invalid_format_argument& e) {
        return e.what() + "@"s + std::to_string(e.position);
    }
}

// "fields #consumed". Starts from a record with every field set, so each accepted row also shows
// that reading starts from a cleared record and label number 0.
std::string ReadOutcome(const std::string& text) {
    return Outcome([&] {
        PqDevice d = Make({5, 1, 2, 3, 4, 5, 'Z', L"old", L"old", 7});
        const int used = d.FromString(text);
        return Show(d) + " #" + std::to_string(used);
    });
}

const std::string kNoEnd = "missing end(',' or ';' or '}')@";
const std::string kFormat = "unknown device format@";
const std::string kSegment = "unknown device-segment format@";
const std::string kType = "unknown device type@";

TEST(DeviceText, Reading) {
    const std::map<std::string, std::string> cases = {
        {"9d.1f/I", "0:157:31@0.0.0/I #7"},
        {"9D.0@7FFF.0/b", "0:157:0@32767.0.0/b #13"},
        {"9D.0@8000.0/b", kSegment + "9"},
        {"9D.0@1/b", kSegment + "6"},
        {"9D .0/b", kFormat + "2"},
        {"9D./b", kFormat + "3"},
        // The number reads with a 32-bit long's range on every platform.
        {"9D.7FFFFFFF/b", "0:157:2147483647@0.0.0/b #13"},
        {"9D.80000000/b", kFormat + "11"},
        {"7FFFFFFF.0/b", "32767:65535:0@0.0.0/b #12"},
        // A first number that does not fit is malformed; one that is not there is the end
        // check's to report.
        {"80000000.0/b", kFormat + "8"},
        {"-", kFormat + "1"},
        // Hex reads take a sign, which the writer never produces.
        {"-1.-1/b", "-1:65535:-1@0.0.0/b #7"},
        {"9D. 0/ b", "0:157:0@0.0.0/b #8"},  // numbers and the letter skip blanks
        {"9D.0 /b", kType + "4"},
        {"9D.0/1", kType + "5"},
        {"9D.0/bX", kNoEnd + "6"},
        {"9D.0/b,rest", "0:157:0@0.0.0/b #6"},
        {" \r\n9D.0/b \t}", "0:157:0@0.0.0/b #11"},
        {"", "0:0:0@0.0.0/b #0"},
        {"xyz", kNoEnd + "0"},
        // Keyed form: no end check, stops right after "&&".
        {" &&x", "0:0:0@0.0.0/b #3"},
        {"&N=a\\u0026b&A=1F&A=2&&", "0:0:0@0.0.0/b N=a&b A=2 #22"},
        {"&A=zz&X=1&Nx&&", "0:0:0@0.0.0/b #14"},
        {"&A=-1&&", "0:0:0@0.0.0/b A=4294967295 #7"},
        {"&L=x\\ny&D=2009D.0@1.2/b&N=\xC3\xA9&&", "2:157:0@1.2.0/b N=\xC3\xA9 L=x\ny #30"},
        {"&D=9D.0/bX&&", kNoEnd + "6"},  // positions count within the value
        {"&N=a\\u00G1&&", "bad \\uHHHH escape@5"},
        {"&N=ab\\&&", "bad escape termination@3"},
        {"&L=\xC3&&", "bad UTF-8 termination@1"},
        {"&N=\x80&&", "bad UTF-8 lead sequence@0"},
        {"&N=\xC3x&&", "bad UTF-8 trail sequence@1"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ReadOutcome(text), expected) << text;
}

TEST(DeviceText, Writing) {
    struct Case {
        Fields f;
        const char* plain;
        const char* keyed;
    };
    const std::wstring symbols = L"a&b,c;d{e}f\n\"\\";
    const Case cases[] = {
        {{}, "0.0/b", "&&"},
        {{.channel = 2, .code = 157}, "2009D.0/b", "&D=2009D.0/b&&"},
        {{.channel = -1, .code = 0xFFFF, .number = -1, .net = -1, .station = -1, .ext = -1},
         "FFFFFFFF.FFFFFFFF@FFFFFFFF.FFFFFFFF.FFFFFFFF/b",
         nullptr},
        {{.channel = INT32_MAX, .code = INT32_MAX}, "7FFEFFFF.0/b", nullptr},
        {{.code = 157, .name = L"M", .aux = L"x", .id = 1}, "9D.0/b", "&N=M&A=1&L=x&D=9D.0/b&&"},
        {{.aux = symbols}, "0.0/b", "&L=a\\u0026b\\u002Cc\\u003Bd\\u007Be\\u007Df\\n\\\"\\\\&&"},
        {{.name = L"\xE9\xD83D\xDE00"}, "0.0/b", "&N=\xC3\xA9\xF0\x9F\x98\x80&&"},
    };
    for (const Case& c : cases) {
        const PqDevice d = Make(c.f);
        std::string plain, text, keyed;
        EXPECT_EQ(d.ToDeviceString(plain), c.plain);
        EXPECT_EQ(d.ToString(text), c.plain);  // no label map: the plain form, names or not
        EXPECT_EQ(c.keyed ? d.ToKeyedString(keyed) : "", c.keyed ? c.keyed : "");
    }
}

TEST(DeviceText, LabelledFormAndKey) {
    RecordingLabelMap map;
    const ScopedLabelMap installed(&map);
    map.number = 0x1F;
    std::string text;
    EXPECT_EQ(Make({.code = 157, .name = L"a&b", .aux = L"x"}).ToString(text),
              "&N=a\\u0026b&A=1F&&");
    map.number = 0;
    std::wstring wide;
    EXPECT_EQ(Make({.name = L"\xE9", .id = 5}).ToWString(wide), L"&N=\xE9&A=0&&");
    EXPECT_EQ(Make({.name = L"Motor", .id = 31}).LabelKey(), L"Motor&A=1F");
    EXPECT_EQ(Make({.id = 0xFFFFFFFF}).LabelKey(), L"&A=FFFFFFFF");
    // An unpaired surrogate cannot be written as UTF-8, in any form that carries the name.
    const PqDevice broken = Make({.name = L"\xDE00x"});
    EXPECT_EQ(Outcome([&] { return broken.ToKeyedString(text); }),
              "bad UCS-2 code, first of surrogate pair@1");
    EXPECT_EQ(Outcome([&] { return util::WStringToUtf8(broken.ToWString(wide)); }),
              "bad UCS-2 code, first of surrogate pair@1");
}

TEST(DeviceText, LabelMapCallsAndNoneWithoutAMap) {
    using Act = std::function<void(PqDevice&)>;
    const auto fromText = [](const char* t) { return [=](PqDevice& d) { d.FromString(t); }; };
    std::string s;
    std::wstring w;
    std::ostringstream out;
    const std::vector<std::pair<Act, std::vector<std::string>>> cases = {
        {[&](PqDevice& d) { d.ToString(s); }, {"Update on &N=Motor&D=9D.0/b&&"}},
        {[&](PqDevice& d) { d.ToWString(w); }, {"Update on &N=Motor&D=9D.0/b&&"}},
        {[&](PqDevice& d) { d.Write(out); }, {"Update on &N=Motor&D=9D.0/b&&"}},
        {[&](PqDevice& d) { d.mName.clear(), d.ToString(s); }, {}},
        {[&](PqDevice& d) { d.ToKeyedString(s), d.ToDeviceString(s), w = d.LabelKey(); }, {}},
        {fromText("&N=Motor&A=1F&L=x&D=9D.0/b&&"),
         {"Resolve Motor&A=1F on &N=Motor&A=1F&L=x&D=9D.0/b&&"}},
        {fromText("&N=Motor&&"), {"Resolve Motor&A=0 on &N=Motor&&"}},
        {fromText("&A=1F&L=x&&"), {}},
        {fromText("9D.0/b"), {}},
        {[](PqDevice& d) { d.FromWString(L"&N=\xE9&&"); },
         {"Resolve \xC3\xA9&A=0 on &N=\xC3\xA9&&"}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        RecordingLabelMap map;
        {
            const ScopedLabelMap installed(&map);
            PqDevice d = Make({.code = 157, .name = L"Motor"});
            cases[i].first(d);
            for (const PqDevice* seen : map.records)
                EXPECT_EQ(seen, &d) << i;
        }
        EXPECT_EQ(map.calls, cases[i].second) << i;
        PqDevice d = Make({.code = 157, .name = L"Motor"});
        cases[i].first(d);  // without a map: nothing to call, nothing dereferenced
    }
}

TEST(DeviceText, ParseReadsHexAndRestoresTheStreamFormatting) {
    for (const char* text : {"10.10/b", "9D .0/b", "9D.0@1/b", "9D.0/1", "9D.0/bX"}) {
        std::istringstream in(text);
        in.setf(std::ios::showbase | std::ios::uppercase);
        const auto flags = in.flags();
        PqDevice d;
        try {
            d.ParseDevice(in);
            EXPECT_EQ(d.mCode, 16);
            EXPECT_EQ(d.mNumber, 16);
        } catch (const util::invalid_format_argument&) {
        }
        EXPECT_EQ(in.flags(), flags) << text;
    }
}

// A host value with a text of its own: written as it is, read up to ";".
class Word final : public pqcore::PqAtomADP {
public:
    std::string text;
    void Clear() override { text.clear(); }
    bool IsEmpty() const override { return text.empty(); }
    std::istream& Read(std::istream& in) override {
        Clear();
        while (in.peek() != std::char_traits<char>::eof() && in.peek() != ';')
            text.push_back(static_cast<char>(in.get()));
        return in;
    }
    std::ostream& Write(std::ostream& out) const override { return out << text; }
};

TEST(DeviceText, BaseStringOperationsGoThroughTheStreams) {
    Word word;
    EXPECT_EQ(word.FromString("ab;c"), 2);
    EXPECT_EQ(word.FromWString(L"\xE9;x"), 2);  // counted in UTF-8 bytes
    std::string s;
    std::wstring w;
    EXPECT_EQ(word.ToString(s), "\xC3\xA9");
    EXPECT_EQ(word.ToWString(w), L"\xE9");
    word.text = "\x80";
    EXPECT_THROW(word.ToWString(w), util::invalid_format_argument);

    std::ostringstream out;
    out.width(20);  // an item is written as it is, unpadded and unseparated
    Make({.code = 157}).Write(out).width(20);
    Make({.code = 157}).Write(out);
    EXPECT_EQ(out.str(), "9D.0/b9D.0/b");
}

// --- Properties ---------------------------------------------------------------------------

std::int32_t MostlyIn(std::int32_t low, std::int32_t high) {
    return *rc::gen::weightedOneOf<std::int32_t>(
        {{3, rc::gen::inRange(low, high + 1)}, {1, rc::gen::arbitrary<std::int32_t>()}});
}

std::int16_t Segment() {
    return static_cast<std::int16_t>(MostlyIn(0, 0x7FFF));
}

// Well-formed UTF-16 with the characters the forms must escape, non-ASCII and surrogate pairs.
std::wstring Text() {
    std::wstring text;
    const int length = *rc::gen::inRange(0, 8);
    for (int i = 0; i < length; ++i) {
        switch (*rc::gen::inRange(0, 4)) {
            case 0:
                text += static_cast<wchar_t>(*rc::gen::inRange(0, 0x80));
                break;
            case 1:
                text += *rc::gen::element(L'&', L',', L';', L'{', L'}', L'\\', L'"', L'=');
                break;
            case 2:
                text += static_cast<wchar_t>(*rc::gen::oneOf(rc::gen::inRange(0x80, 0xD800),
                                                             rc::gen::inRange(0xE000, 0x10000)));
                break;
            default:
                text += static_cast<wchar_t>(*rc::gen::inRange(0xD800, 0xDC00));
                text += static_cast<wchar_t>(*rc::gen::inRange(0xDC00, 0xE000));
        }
    }
    return text;
}

PqDevice AnyRecord() {
    return Make(
        {MostlyIn(0, 0x7FFF), MostlyIn(0, 0xFFFF), MostlyIn(0, INT32_MAX - 1), Segment(), Segment(),
         Segment(),
         *rc::gen::oneOf(rc::gen::inRange<int>('a', 'z' + 1), rc::gen::inRange<int>('A', 'Z' + 1)),
         Text(), Text(), *rc::gen::arbitrary<std::uint32_t>()});
}

// Reading back the plain form: channel and code travel as one number, (channel << 16) + code
// modulo 2^32, which must read as a signed 32-bit value; the number and segment fields are written
// as unsigned hex and must read as signed 32- and 16-bit values. So a record comes back with
// code = its low 16 bits and channel = the high half of that number (the channel itself exactly
// when 0 <= channel <= 0x7FFF and 0 <= code <= 0xFFFF), or the reader refuses with the message of
// the first field it cannot read. Returns that refusal, or "" and `back` set to what reads back.
std::string PlainLaw(const PqDevice& d, PqDevice& back) {
    const std::uint32_t first =
        (static_cast<std::uint32_t>(d.mChannel) << 16) + static_cast<std::uint32_t>(d.mCode);
    const auto& s = d.mSegment;
    if (first > INT32_MAX) return "unknown device format";
    if (d.mNumber < 0) return "unknown device format";
    if (s.mNetworkNo < 0 || s.mStationNo < 0 || s.mExtNo < 0)
        return "unknown device-segment format";
    back = d;
    back.mChannel = static_cast<std::int32_t>(first) >> 16;
    back.mCode = d.mCode & 0xFFFF;
    return "";
}

// Reads `text` and checks it against `expected` (label number included) or the refusal.
void CheckReadBack(const std::string& text, const std::string& refusal, const PqDevice& expected) {
    PqDevice back;
    try {
        RC_ASSERT(back.FromString(text) == static_cast<int>(text.size()));
    } catch (const util::invalid_format_argument& e) {
        RC_ASSERT(e.what() == refusal);
        return;
    }
    RC_ASSERT(refusal.empty());
    RC_ASSERT(back == expected);
    RC_ASSERT(back.mLabelId == expected.mLabelId);
}

// The plain form carries the device alone, the keyed one also texts and label number.
RC_GTEST_PROP(DeviceTextProperty, BothFormsCarryWhatFitsTheirSignedReads, ()) {
    const PqDevice d = AnyRecord();
    PqDevice expected;
    const std::string refusal = PlainLaw(d, expected);
    RC_CLASSIFY(refusal.empty(), "read back");
    std::string text;
    CheckReadBack(d.ToKeyedString(text), refusal, expected);
    expected.mName.clear(), expected.mAuxText.clear(), expected.mLabelId = 0;
    CheckReadBack(d.ToDeviceString(text), refusal, expected);
}

RC_GTEST_PROP(DeviceTextProperty, LabelledRecordsSurviveTheirTextThroughTheMap, ()) {
    // Const records: printing them still assigns their label numbers.
    const auto written = [] {
        std::vector<PqDevice> records(*rc::gen::inRange(1, 12));
        for (PqDevice& d : records) {
            d = AnyRecord();
            d.mName = *rc::gen::element(L"Motor"s, L"a&b"s, L"\xE9t\xE9"s, L"x"s + Text());
        }
        return records;
    }();
    zorvikan::InMemoryLabelMap map;
    const ScopedLabelMap installed(&map);
    std::vector<std::string> texts;
    std::map<std::wstring, const PqDevice*> latest;  // a label's last written definition
    std::map<std::wstring, std::uint32_t> numbers;   // first come, first numbered, from 1
    for (const PqDevice& d : written) {
        texts.emplace_back();
        d.ToString(texts.back());
        const auto number = numbers.try_emplace(d.mName, numbers.size() + 1).first;
        RC_ASSERT(d.mLabelId == number->second);
        latest[d.mName] = &d;
    }
    RC_ASSERT(map.Size() == latest.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        CheckReadBack(texts[i], "", *latest.at(written[i].mName));
    }
}

RC_GTEST_PROP(DeviceTextProperty, AnyTextParsesOrIsRefusedAsMalformed, ()) {
    const std::string text = *rc::gen::oneOf(rc::gen::arbitrary<std::string>(),
                                             rc::gen::container<std::string>(rc::gen::elementOf(
                                                 "09afAFxX-+.@/&=NADL\\u,;} \t\xC3\x80"s)));
    zorvikan::InMemoryLabelMap map;
    const ScopedLabelMap installed(&map);
    PqDevice d;
    try {
        const std::size_t used = static_cast<std::size_t>(d.FromString(text));
        RC_ASSERT(used <= text.size());
        // A plain text stops at an item end, a keyed one right after its closing "&&".
        const bool keyed = text.find_first_not_of(" \t\r\n") < used && used >= 2 &&
                           text.compare(used - 2, 2, "&&") == 0;
        RC_ASSERT(used == text.size() || keyed || text.find_first_of(",;}", used) == used);
    } catch (const util::invalid_format_argument& e) {
        RC_ASSERT(e.position >= 0 && static_cast<std::size_t>(e.position) <= text.size());
    }
    std::wstring wide;
    for (int unit : *rc::gen::container<std::vector<int>>(rc::gen::inRange(0, 0x10000)))
        wide += static_cast<wchar_t>(unit);
    try {
        d.FromWString(wide);
    } catch (const util::invalid_format_argument&) {
    }
}

TEST(InMemoryLabelMap, NumbersAndResolution) {
    zorvikan::InMemoryLabelMap map;
    PqDevice a = Make({.code = 157, .name = L"Motor", .id = 99});
    EXPECT_TRUE(map.UpdateLabel(&a));
    EXPECT_EQ(a.mLabelId, 1u);
    a.mCode = 168;  // redefined: same number, new record
    EXPECT_FALSE(map.UpdateLabel(&a));
    PqDevice unnamed;
    EXPECT_FALSE(map.UpdateLabel(&unnamed));
    EXPECT_EQ(map.NumberOf(L"Motor"), 1u);
    EXPECT_EQ(map.NumberOf(L"Pump"), std::nullopt);

    const ScopedLabelMap installed(&map);
    PqDevice back;
    back.FromString("&N=Motor&A=1&&");
    EXPECT_EQ(back, a);
    back.FromString("&N=Motor&A=2&&");  // a stale number stays unresolved
    EXPECT_EQ(Show(back), "0:0:0@0.0.0/b N=Motor A=2");
}

}  // namespace
