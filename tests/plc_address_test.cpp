// The flat address record: its ordering and the two forms the families build on.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "plc/PlcAddressForms.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using K = PlcDataKind;

// The flat kind of each value type; the bit type has its own per form.
const std::map<int, PlcDataKind> kValueKinds = {{'i', K::Int16}, {'u', K::UInt16}, {'d', K::Bcd16},
                                                {'I', K::Int32}, {'U', K::UInt32}, {'D', K::Bcd32},
                                                {'F', K::Real}};

TEST(PlcAddress, InitialValueAndLayout) {
    const PlcAddress a;
    unsigned char raw[sizeof a];
    std::memcpy(raw, &a, sizeof a);
    EXPECT_EQ(raw[2], 255);  // station: none
    EXPECT_EQ(std::make_tuple(offsetof(PlcAddress, kind), offsetof(PlcAddress, code),
                              offsetof(PlcAddress, address), offsetof(PlcAddress, bit)),
              std::make_tuple(4u, 8u, 12u, 16u));
}

// The first differing field decides, whatever the later fields say, and records that differ are
// never equal. Fields in ranking order; bytes unsigned, numbers signed.
TEST(PlcAddress, EarlierFieldsDecide) {
    using Setter = void (*)(PlcAddress&, int);
    const std::array<Setter, 8> fields = {
        [](PlcAddress& a, int v) { a.channel = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.network = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.station = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.reserved = static_cast<std::uint8_t>(v ? 200 : 1); },
        [](PlcAddress& a, int v) { a.code = v ? 5 : -5; },
        [](PlcAddress& a, int v) { a.address = v ? 5 : INT_MIN; },
        [](PlcAddress& a, int v) { a.bit = v ? 0 : -1; },
        [](PlcAddress& a, int v) { a.kind = v ? static_cast<PlcDataKind>(200) : K::Bit; },
    };
    for (std::size_t first = 0; first < fields.size(); ++first) {
        for (std::size_t later = first + 1; later < fields.size(); ++later) {
            PlcAddress low, high;
            fields[first](low, 0);
            fields[first](high, 1);
            fields[later](low, 1);  // a later field pulling the other way must not matter
            fields[later](high, 0);
            EXPECT_TRUE(low < high && !(high < low) && !(low == high)) << first << "/" << later;
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
        const auto value = kValueKinds.find(type);
        const bool known = value != kValueKinds.end() || type == 'b';
        EXPECT_EQ(DeviceToBitForm(d, bitForm), known) << type;
        EXPECT_EQ(DeviceToWordForm(d, wordForm), known) << type;
        if (!known) {
            EXPECT_EQ(bitForm, PlcAddress{});
            EXPECT_EQ(wordForm, PlcAddress{});
            continue;
        }
        EXPECT_EQ(bitForm.kind, type == 'b' ? K::Bit : value->second);
        EXPECT_EQ(wordForm.kind, type == 'b' ? K::WordBit : value->second);
        EXPECT_EQ(std::tie(bitForm.code, bitForm.address, bitForm.bit),
                  std::make_tuple(175, 1605, 0));
        EXPECT_EQ(std::tie(wordForm.code, wordForm.address, wordForm.bit),
                  std::make_tuple(175, 100, 5));
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
        int valueType = 0;
        for (const auto& [type, k] : kValueKinds)
            if (static_cast<int>(k) == kind) valueType = type;

        EXPECT_EQ(bitOk, valueType || kind == 1 || kind == 10) << kind;
        EXPECT_EQ(wordOk, valueType || kind == 1 || kind == 2) << kind;
        // Both start by clearing the record; the label number survives a clear.
        EXPECT_TRUE(fromBit.mName.empty());
        EXPECT_EQ(fromBit.mLabelId, 42u);
        EXPECT_EQ(fromBit.mChannel, 0);
        const int type = valueType ? valueType : 'b';
        if (bitOk) {  // a bit offset adds the bit
            EXPECT_EQ(std::tie(fromBit.mType, fromBit.mCode, fromBit.mNumber),
                      std::make_tuple(type, 156, kind == 10 ? 103 : 100));
        } else {
            EXPECT_TRUE(fromBit.IsNullDevice()) << kind;
        }
        if (wordOk) {
            EXPECT_EQ(std::tie(fromWord.mType, fromWord.mNumber), std::make_tuple(type, 1603));
        } else {
            EXPECT_TRUE(fromWord.IsNullDevice()) << kind;
        }
    }
}

// Both forms give back every number of every data type, negative and extreme ones included.
RC_GTEST_PROP(PlcAddressForms, RoundTripOverTheWholeNumberRange, ()) {
    PqDevice d;
    d.mCode = *rc::gen::arbitrary<std::int32_t>();
    d.mNumber = *rc::gen::oneOf(
        rc::gen::arbitrary<std::int32_t>(),
        rc::gen::element(INT_MIN, INT_MIN + 15, -17, -16, -1, 0, 15, 16, INT_MAX - 15, INT_MAX));
    d.mType = *rc::gen::element('b', 'i', 'u', 'd', 'I', 'U', 'D', 'F');
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
