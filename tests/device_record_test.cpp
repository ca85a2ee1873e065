// The device-address record: defaults, clearing, comparisons, the text-free queries.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Printers.h"
#include "pqcore/PqDevice.h"

namespace {

using pqcore::PqDevice;

struct Mutation {
    const char* name;
    std::function<void(PqDevice&)> apply;
    bool keepsNullDevice;  // the device part stays "no device"
};

// Every field of the record, changed one at a time.
const std::vector<Mutation>& Mutations() {
    static const std::vector<Mutation> m = {
        {"channel", [](PqDevice& d) { d.mChannel = 1; }, false},
        {"network", [](PqDevice& d) { d.mSegment.mNetworkNo = 1; }, false},
        {"station", [](PqDevice& d) { d.mSegment.mStationNo = -1; }, false},
        {"ext", [](PqDevice& d) { d.mSegment.mExtNo = 1; }, false},
        {"code", [](PqDevice& d) { d.mCode = 157; }, false},
        {"number", [](PqDevice& d) { d.mNumber = 1; }, false},
        {"type", [](PqDevice& d) { d.mType = 'i'; }, false},
        {"name", [](PqDevice& d) { d.mName = L"Motor"; }, true},
        {"aux", [](PqDevice& d) { d.mAuxText = L"x"; }, true},
    };
    return m;
}

TEST(DeviceRecord, DefaultsAndWhatBreaksThem) {
    const PqDevice fresh;
    EXPECT_TRUE(fresh.IsEmpty());
    EXPECT_TRUE(fresh.IsNullDevice());
    EXPECT_EQ(fresh.mType, 'b');
    EXPECT_EQ(fresh.mLabelId, 0u);
    EXPECT_EQ(PqDevice::mLabelMap, nullptr);
    for (const Mutation& m : Mutations()) {
        PqDevice d;
        m.apply(d);
        EXPECT_EQ(d.IsNullDevice(), m.keepsNullDevice) << m.name;
        EXPECT_FALSE(d.IsEmpty()) << m.name;
        EXPECT_FALSE(d == fresh) << m.name;  // every field takes part in equality
        EXPECT_TRUE(d < fresh || fresh < d) << m.name;
    }
    PqDevice labelled;
    labelled.mLabelId = 7;  // the label number is no part of the device
    EXPECT_TRUE(labelled.IsEmpty());
    EXPECT_TRUE(labelled == fresh);
    EXPECT_FALSE(labelled < fresh || fresh < labelled);
}

TEST(DeviceRecord, ClearResetsAllButTheLabelNumber) {
    PqDevice d;
    for (const Mutation& m : Mutations()) m.apply(d);
    d.mLabelId = 0xDEADBEEF;
    d.Clear();
    EXPECT_TRUE(d == PqDevice{});
    EXPECT_TRUE(d.IsEmpty());
    EXPECT_EQ(d.mLabelId, 0xDEADBEEFu);
}

TEST(DeviceRecord, TypeWidths) {
    for (int type = -1000; type < 1000; ++type) {
        PqDevice d;
        d.mType = type;
        const int expected =
            (type == 'D' || type == 'F' || type == 'I' || type == 'U') ? 32 : type == 'b' ? 1 : 16;
        EXPECT_EQ(d.GetTypeBits(), expected) << type;
    }
}

TEST(DeviceRecord, LabelGroupAndDisplayName) {
    struct Case {
        const wchar_t* name;
        int code;
        const wchar_t* group;
        const wchar_t* display;
    };
    const Case cases[] = {
        {L"", 0, L"", L""},
        {L"Motor", 157, L"", L"Motor"},
        {L"Line1:Motor", 157, L"Line1", L"Line1:Motor"},
        {L":Motor:x", 0, L"", L":Motor:x"},
        {L"A:B:C", 0x3F00, L"A", L"??A:B:C"},
        {L"", 0x3F00, L"", L"??"},
        {L"Motor", 0x13F00, L"", L"Motor"},  // only the exact code marks an unresolved label
    };
    for (const Case& c : cases) {
        PqDevice d;
        d.mName = c.name;
        d.mCode = c.code;
        EXPECT_EQ(d.GetLabelGroup(), c.group);
        EXPECT_EQ(d.GetDisplayName(), c.display);
    }
}

// Records over tiny field domains, so ties are common.
PqDevice SmallRecord() {
    PqDevice d;
    d.mName = *rc::gen::element(std::wstring(), std::wstring(L"a"), std::wstring(L"b"));
    d.mAuxText = *rc::gen::element(std::wstring(), std::wstring(L"a"));
    d.mChannel = *rc::gen::element(-1, 0, 1);
    d.mSegment.mNetworkNo = static_cast<std::int16_t>(*rc::gen::element(-1, 0, 1));
    d.mSegment.mStationNo = static_cast<std::int16_t>(*rc::gen::element(0, 1));
    d.mSegment.mExtNo = static_cast<std::int16_t>(*rc::gen::element(-1, 0));
    d.mCode = *rc::gen::element(0, 157);
    d.mNumber = *rc::gen::element(-1, 0, 16);
    d.mType = *rc::gen::element('b', 'i');
    d.mLabelId = *rc::gen::element(0u, 5u);
    return d;
}

RC_GTEST_PROP(DeviceRecord, OrderingIsStrictAndAgreesWithEquality, ()) {
    const PqDevice a = SmallRecord();
    const PqDevice b = SmallRecord();
    const PqDevice c = SmallRecord();
    RC_ASSERT(!(a < a));
    RC_ASSERT(!(a < b && b < a));
    RC_ASSERT((!(a < b) && !(b < a)) == (a == b));
    if (a < b && b < c) RC_ASSERT(a < c);
    PqDevice copy = a;  // copies are deep and equal, label number included
    RC_ASSERT(copy == a);
    RC_ASSERT(copy.mLabelId == a.mLabelId);
}

// Field ranking: name, aux text, channel, segment, code, number, type.
TEST(DeviceRecord, EarlierFieldsDecideTheOrder) {
    using Setter = std::function<void(PqDevice&, bool)>;
    const std::vector<Setter> fields = {
        [](PqDevice& d, bool hi) { d.mName = hi ? L"b" : L"a"; },
        [](PqDevice& d, bool hi) { d.mAuxText = hi ? L"b" : L"a"; },
        [](PqDevice& d, bool hi) { d.mChannel = hi ? 1 : -1; },
        [](PqDevice& d, bool hi) { d.mSegment.mNetworkNo = hi ? 1 : -1; },
        [](PqDevice& d, bool hi) { d.mSegment.mStationNo = hi ? 1 : -1; },
        [](PqDevice& d, bool hi) { d.mSegment.mExtNo = hi ? 1 : -1; },
        [](PqDevice& d, bool hi) { d.mCode = hi ? 1 : -1; },
        [](PqDevice& d, bool hi) { d.mNumber = hi ? 1 : -1; },
        [](PqDevice& d, bool hi) { d.mType = hi ? 'b' : 'I'; },
    };
    for (std::size_t first = 0; first < fields.size(); ++first) {
        for (std::size_t later = first + 1; later < fields.size(); ++later) {
            PqDevice low, high;
            fields[first](low, false);
            fields[first](high, true);
            fields[later](low, true);
            fields[later](high, false);
            EXPECT_TRUE(low < high) << first << "/" << later;
            EXPECT_FALSE(high < low) << first << "/" << later;
        }
    }
}

}  // namespace
