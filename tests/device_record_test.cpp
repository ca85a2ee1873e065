// The device-address record: defaults, clearing, comparisons, the text-free queries.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <iterator>
#include <string>
#include <tuple>

#include "pqcore/PqDevice.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;

// Every field of the record in ranking order (name, aux text, channel, segment, code, number,
// type), each set low or high; the low value differs from the default too. Name and aux text are
// no part of the device itself.
using Setter = void (*)(PqDevice&, bool);
const Setter kFields[] = {
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

TEST(DeviceRecord, DefaultsWhatBreaksThemAndClear) {
    const PqDevice fresh;
    EXPECT_TRUE(fresh.IsEmpty() && fresh.IsNullDevice());
    EXPECT_EQ(std::make_tuple(fresh.mType, fresh.mLabelId), std::make_tuple('b', 0u));
    EXPECT_EQ(PqDevice::mLabelMap, nullptr);
    PqDevice all;
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        PqDevice d;
        kFields[i](d, false);
        kFields[i](all, false);
        EXPECT_EQ(d.IsNullDevice(), i < 2) << i;
        EXPECT_FALSE(d.IsEmpty()) << i;
        EXPECT_FALSE(d == fresh) << i;  // every field takes part in equality
        EXPECT_TRUE(d < fresh || fresh < d) << i;
    }
    PqDevice labelled;
    labelled.mLabelId = 7;  // the label number is no part of the device
    EXPECT_TRUE(labelled.IsEmpty());
    EXPECT_TRUE(labelled == fresh);
    EXPECT_FALSE(labelled < fresh || fresh < labelled);
    // Clearing resets all but the label number.
    all.mLabelId = 0xDEADBEEF;
    all.Clear();
    EXPECT_TRUE(all == PqDevice{} && all.IsEmpty());
    EXPECT_EQ(all.mLabelId, 0xDEADBEEFu);
}

TEST(DeviceRecord, TypeWidths) {
    for (int type = -1000; type < 1000; ++type) {
        PqDevice d;
        d.mType = type;
        const int expected = (type == 'D' || type == 'F' || type == 'I' || type == 'U') ? 32
                             : type == 'b'                                              ? 1
                                                                                        : 16;
        EXPECT_EQ(d.GetTypeBits(), expected) << type;
    }
}

TEST(DeviceRecord, LabelGroupAndDisplayName) {
    // Only the exact code 0x3F00 marks an unresolved label.
    const std::tuple<const wchar_t*, int, const wchar_t*, const wchar_t*> cases[] = {
        {L"", 0, L"", L""},
        {L"Motor", 157, L"", L"Motor"},
        {L"Line1:Motor", 157, L"Line1", L"Line1:Motor"},
        {L":Motor:x", 0, L"", L":Motor:x"},
        {L"A:B:C", 0x3F00, L"A", L"??A:B:C"},
        {L"", 0x3F00, L"", L"??"},
        {L"Motor", 0x13F00, L"", L"Motor"}};
    for (const auto& [name, code, group, display] : cases) {
        PqDevice d;
        d.mName = name;
        d.mCode = code;
        EXPECT_EQ(d.GetLabelGroup(), group);
        EXPECT_EQ(d.GetDisplayName(), display);
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
    const PqDevice a = SmallRecord(), b = SmallRecord(), c = SmallRecord();
    RC_ASSERT(!(a < a));
    RC_ASSERT(!(a < b && b < a));
    RC_ASSERT((!(a < b) && !(b < a)) == (a == b));
    if (a < b && b < c) RC_ASSERT(a < c);
    PqDevice copy = a;  // copies are deep and equal, label number included
    RC_ASSERT(copy == a);
    RC_ASSERT(copy.mLabelId == a.mLabelId);
}

TEST(DeviceRecord, EarlierFieldsDecideTheOrder) {
    for (std::size_t first = 0; first < std::size(kFields); ++first) {
        for (std::size_t later = first + 1; later < std::size(kFields); ++later) {
            PqDevice low, high;
            kFields[first](low, false);
            kFields[first](high, true);
            kFields[later](low, true);  // a later field pulling the other way must not matter
            kFields[later](high, false);
            EXPECT_TRUE(low < high && !(high < low)) << first << "/" << later;
        }
    }
}

}  // namespace
