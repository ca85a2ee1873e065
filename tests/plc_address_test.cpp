// The flat address record: its ordering and the two forms the families build on.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "support/Printers.h"
#include "plc/PlcAddressForms.h"

namespace {

using pqcore::PqDevice;

constexpr int kTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

PlcDataKind ValueKindOf(int type) {
    switch (type) {
        case 'i': return PlcDataKind::Int16;
        case 'u': return PlcDataKind::UInt16;
        case 'd': return PlcDataKind::Bcd16;
        case 'I': return PlcDataKind::Int32;
        case 'U': return PlcDataKind::UInt32;
        case 'D': return PlcDataKind::Bcd32;
        case 'F': return PlcDataKind::Real;
        default: return PlcDataKind::None;
    }
}

TEST(PlcAddress, InitialValueAndLayout) {
    const PlcAddress a;
    unsigned char raw[sizeof a];
    std::memcpy(raw, &a, sizeof a);
    EXPECT_EQ(raw[2], 255);  // station: none
    EXPECT_EQ(offsetof(PlcAddress, kind), 4u);
    EXPECT_EQ(offsetof(PlcAddress, code), 8u);
    EXPECT_EQ(offsetof(PlcAddress, address), 12u);
    EXPECT_EQ(offsetof(PlcAddress, bit), 16u);
}

// Addresses over tiny field domains, so ties in every field are common.
rc::Gen<PlcAddress> SmallAddresses() {
    return rc::gen::exec([] {
        PlcAddress a;
        a.channel = static_cast<std::uint8_t>(*rc::gen::element(0, 1, 255));
        a.network = static_cast<std::uint8_t>(*rc::gen::element(0, 200));
        a.station = static_cast<std::uint8_t>(*rc::gen::element(0, 255));
        a.reserved = static_cast<std::uint8_t>(*rc::gen::element(0, 128));
        a.kind = static_cast<PlcDataKind>(*rc::gen::element(0, 1, 13, 200));
        a.code = *rc::gen::element(INT_MIN, -1, 0, 157);
        a.address = *rc::gen::element(INT_MIN, -1, 0, 65535);
        a.bit = *rc::gen::element(-1, 0, 15);
        return a;
    });
}

RC_GTEST_PROP(PlcAddress, OrderingIsStrictAndAgreesWithEquality, ()) {
    const PlcAddress a = *SmallAddresses();
    const PlcAddress b = *SmallAddresses();
    const PlcAddress c = *SmallAddresses();
    RC_ASSERT(!(a < a));
    RC_ASSERT(!(a < b && b < a));
    RC_ASSERT((!(a < b) && !(b < a)) == (a == b));
    if (a < b && b < c) RC_ASSERT(a < c);
}

// The first differing field decides, whatever the later fields say. Fields in ranking order.
TEST(PlcAddress, EarlierFieldsDecide) {
    using Setter = void (*)(PlcAddress&, int);
    const std::array<Setter, 8> fields = {
        [](PlcAddress& a, int v) { a.channel = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.network = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.station = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.reserved = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.code = v ? 5 : -5; },  // signed
        [](PlcAddress& a, int v) { a.address = v ? 5 : INT_MIN; },
        [](PlcAddress& a, int v) { a.bit = v ? 0 : -1; },
        [](PlcAddress& a, int v) { a.kind = v ? static_cast<PlcDataKind>(200) : PlcDataKind::Bit; },
    };
    for (std::size_t first = 0; first < fields.size(); ++first) {
        for (std::size_t later = first + 1; later < fields.size(); ++later) {
            PlcAddress low, high;
            fields[first](low, 0);
            fields[first](high, 1);
            fields[later](low, 1);  // a later field pulling the other way must not matter
            fields[later](high, 0);
            EXPECT_TRUE(low < high) << first << "/" << later;
            EXPECT_FALSE(high < low) << first << "/" << later;
            EXPECT_FALSE(low == high);
        }
    }
}

TEST(PlcAddressForms, DeviceToFormsByDataType) {
    for (int type = -1; type < 256; ++type) {
        PqDevice d;
        d.mCode = 175;
        d.mNumber = 1605;  // word 100, bit 5
        d.mType = type;
        PlcAddress bitForm, wordForm;
        bitForm.code = wordForm.code = 99;  // forms start afresh
        const bool known = ValueKindOf(type) != PlcDataKind::None || type == 'b';
        EXPECT_EQ(DeviceToBitForm(d, bitForm), known) << type;
        EXPECT_EQ(DeviceToWordForm(d, wordForm), known) << type;
        if (!known) {
            EXPECT_EQ(bitForm, PlcAddress{});
            EXPECT_EQ(wordForm, PlcAddress{});
            continue;
        }
        const PlcDataKind valueKind = ValueKindOf(type);
        EXPECT_EQ(bitForm.kind, type == 'b' ? PlcDataKind::Bit : valueKind);
        EXPECT_EQ(wordForm.kind, type == 'b' ? PlcDataKind::WordBit : valueKind);
        EXPECT_EQ(std::tie(bitForm.code, bitForm.address, bitForm.bit), std::make_tuple(175, 1605, 0));
        EXPECT_EQ(std::tie(wordForm.code, wordForm.address, wordForm.bit), std::make_tuple(175, 100, 5));
        EXPECT_EQ(std::tie(bitForm.channel, bitForm.station), std::make_tuple(0, 255));
    }
}

TEST(PlcAddressForms, FormsToDeviceByKind) {
    for (int kind = 0; kind < 256; ++kind) {
        PlcAddress a;
        a.kind = static_cast<PlcDataKind>(kind);
        a.code = 156;
        a.address = 100;
        a.bit = 3;
        a.channel = 7;
        PqDevice fromBit, fromWord;
        fromBit.mName = fromWord.mName = L"stale";
        fromBit.mLabelId = fromWord.mLabelId = 42;
        const bool bitOk = BitFormToDevice(a, fromBit);
        const bool wordOk = WordFormToDevice(a, fromWord);
        std::optional<int> valueType;
        for (int t : kTypes)
            if (t != 'b' && static_cast<int>(ValueKindOf(t)) == kind) valueType = t;

        EXPECT_EQ(bitOk, valueType || kind == 1 || kind == 10) << kind;
        EXPECT_EQ(wordOk, valueType || kind == 1 || kind == 2) << kind;
        // Both start by clearing the record; the label number survives a clear.
        EXPECT_TRUE(fromBit.mName.empty());
        EXPECT_EQ(fromBit.mLabelId, 42u);
        EXPECT_EQ(fromBit.mChannel, 0);
        if (bitOk) {
            EXPECT_EQ(fromBit.mType, valueType.value_or('b'));
            EXPECT_EQ(fromBit.mCode, 156);
            EXPECT_EQ(fromBit.mNumber, kind == 10 ? 103 : 100);  // a bit offset adds the bit
        } else {
            EXPECT_TRUE(fromBit.IsNullDevice()) << kind;
        }
        if (wordOk) {
            EXPECT_EQ(fromWord.mType, valueType.value_or('b'));
            EXPECT_EQ(fromWord.mNumber, 1603);
        } else {
            EXPECT_TRUE(fromWord.IsNullDevice()) << kind;
        }
    }
}

// Both forms give back every number of every data type, negative and extreme ones included.
RC_GTEST_PROP(PlcAddressForms, RoundTripOverTheWholeNumberRange, ()) {
    PqDevice d;
    d.mCode = *rc::gen::arbitrary<std::int32_t>();
    d.mNumber = *rc::gen::oneOf(rc::gen::arbitrary<std::int32_t>(),
                                rc::gen::element(INT_MIN, INT_MIN + 15, -17, -16, -1, 0, 15, 16,
                                                 INT_MAX - 15, INT_MAX));
    d.mType = *rc::gen::elementOf(std::vector<int>(std::begin(kTypes), std::end(kTypes)));
    PlcAddress a;
    PqDevice back;
    RC_ASSERT(DeviceToWordForm(d, a));
    RC_ASSERT(a.bit > -16 && a.bit < 16);
    RC_ASSERT(WordFormToDevice(a, back));
    RC_ASSERT(back == d);
    RC_ASSERT(DeviceToBitForm(d, a));
    RC_ASSERT(BitFormToDevice(a, back));
    RC_ASSERT(back == d);
}

}  // namespace
