// The host-side operations every family shares, driven through a scripted family.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <string>
#include <vector>

#include "support/Devices.h"
#include "support/Printers.h"
#include "support/FakePlc.h"

namespace {

using pqcore::PqDevice;

using test_support::Dev;

TEST(DataTypeTag, EveryTypeCharacter) {
    FakePlc plc;
    struct Known {
        int type;
        const wchar_t* detailed;
    };
    const Known known[] = {{'b', L"b"},   {'i', L"s16"}, {'u', L"u16"}, {'d', L"d16"},
                           {'I', L"s32"}, {'U', L"u32"}, {'D', L"d32"}, {'F', L"flt"}};
    for (int type = -300; type < 300; ++type) {
        const Known* k = nullptr;
        for (const Known& e : known)
            if (e.type == type) k = &e;
        std::wstring tag = L"stale";
        PqDevice d = Dev(0, 0, type);
        // Without detail every non-bit type, even an unknown one, is a plain word.
        EXPECT_EQ(plc.GetDataTypeTag(d, tag, false), DeviceResult::Ok);
        EXPECT_EQ(tag, type == 'b' ? L"b" : L"w") << type;
        const DeviceResult r = plc.GetDataTypeTag(d, tag, true);
        if (k) {
            EXPECT_EQ(r, DeviceResult::Ok);
            EXPECT_EQ(tag, k->detailed);
        } else {
            EXPECT_EQ(r, DeviceResult::InvalidDeviceType) << type;
            EXPECT_EQ(tag, L"??");
        }
    }
}

TEST(TypedText, WritesNetworkTagAndLocalText) {
    struct Case {
        PqDevice device;
        bool detailed;
        const wchar_t* text;
        DeviceResult result;
        int networkCalls;
    };
    PqDevice withSegment = Dev(5, 100, 'I');
    withSegment.mSegment.mNetworkNo = 1;
    withSegment.mSegment.mStationNo = 4;
    PqDevice onlyExt = Dev(5, 7, 'b');
    onlyExt.mSegment.mExtNo = 3;
    PqDevice noDeviceWithSegment = Dev(0, 0, 'i');
    noDeviceWithSegment.mSegment.mNetworkNo = 2;
    const Case cases[] = {
        {Dev(5, 100, 'i'), true, L"s16:X100", DeviceResult::Ok, 0},
        {Dev(5, 100, 'i'), false, L"w:X100", DeviceResult::Ok, 0},
        {Dev(5, 3, 'b'), true, L"b:X3", DeviceResult::Ok, 0},
        {withSegment, true, L"1-4:s32:X100", DeviceResult::Ok, 1},
        {onlyExt, false, L"0-0:b:X7", DeviceResult::Ok, 1},
        // No device: empty, but only after the network and the tag passed.
        {Dev(0, 0, 'i'), true, L"", DeviceResult::Ok, 0},
        {noDeviceWithSegment, true, L"", DeviceResult::Ok, 1},
        // The tag is taken before the code: an unknown type fails even for no device.
        {Dev(0, 0, 'q'), true, L"??", DeviceResult::InvalidDeviceType, 0},
        {Dev(0, 0, 'q'), false, L"", DeviceResult::Ok, 0},
    };
    for (const Case& c : cases) {
        FakePlc plc;
        std::wstring text = L"stale";
        EXPECT_EQ(plc.DeviceToTypedString(c.device, text, c.detailed), c.result);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(plc.networkCalls, c.networkCalls);
    }
}

TEST(TypedText, FailuresGiveQuestionMarksAndTheirCode) {
    FakePlc plc;
    PqDevice d = Dev(5, 1, 'i');
    d.mSegment.mStationNo = 9;
    std::wstring text;

    plc.network = [](const PqDevice&, std::wstring& t) {
        t.clear();
        return DeviceResult::SegmentOutOfRange;
    };
    EXPECT_EQ(plc.DeviceToTypedString(d, text, true), DeviceResult::SegmentOutOfRange);
    EXPECT_EQ(text, L"??");
    EXPECT_EQ(plc.localCalls, 0);

    d.mSegment = {};
    plc.local = [](const PqDevice&, std::wstring& t) {
        t = L"??";
        return DeviceResult::NumberOutOfRange;
    };
    EXPECT_EQ(plc.DeviceToTypedString(d, text, true), DeviceResult::NumberOutOfRange);
    EXPECT_EQ(text, L"??");

    // The compact terminal has no typed text at all, for any device.
    plc.SetTerminalType(1);
    for (const PqDevice& any : {Dev(0, 0, 'b'), Dev(5, 1, 'i'), Dev(5, 1, 'q')}) {
        EXPECT_EQ(plc.DeviceToTypedString(any, text, true), DeviceResult::NotAvailable);
        EXPECT_EQ(text, L"??");
    }
}

TEST(TypedText, ReadsTagAndHandsTheDeviceTextToTheFamily) {
    struct Case {
        const wchar_t* text;
        bool detailed;
        bool firstParseFails;
        DeviceResult result;
        const wchar_t* tagOut;  // null: left untouched
        std::vector<FakePlc::ParseCall> calls;
    };
    const Case cases[] = {
        {L"MW100", true, false, DeviceResult::InvalidDeviceFormat, nullptr, {}},
        {L"x:MW100", true, false, DeviceResult::InvalidDeviceType, L"x", {}},
        {L"S16:MW100", true, false, DeviceResult::InvalidDeviceType, L"S16", {}},
        {L"s16:MW100", true, false, DeviceResult::Ok, L"s16", {{L"MW100", 'i'}}},
        {L" s 1 6 :MW100", true, false, DeviceResult::InvalidDeviceType, L" s 1 6 ", {}},
        {L" s16\t:MW100", true, false, DeviceResult::Ok, L" s16\t", {{L"MW100", 'i'}}},
        {L"b:MB1F", true, false, DeviceResult::Ok, L"b", {{L"MB1F", 'b'}}},
        {L"u32:MW1", true, false, DeviceResult::Ok, L"u32", {{L"MW1", 'U'}}},
        {L"flt:MW1", true, false, DeviceResult::Ok, L"flt", {{L"MW1", 'F'}}},
        {L"d16:MW1", true, false, DeviceResult::Ok, L"d16", {{L"MW1", 'd'}}},
        // Without detail every word tag reads as 'i', with a second try as 'I'.
        {L"s32:MW1", false, false, DeviceResult::Ok, L"s32", {{L"MW1", 'i'}}},
        {L"s32:MW1", false, true, DeviceResult::Ok, L"s32", {{L"MW1", 'i'}, {L"MW1", 'I'}}},
        {L"b:MW1", false, true, DeviceResult::Ok, L"b", {{L"MW1", 'b'}, {L"MW1", 'I'}}},
        {L"s32:MW1", true, true, DeviceResult::NumberOutOfRange, L"s32", {{L"MW1", 'I'}}},
        {L"w:MW1", true, true, DeviceResult::Ok, L"w", {{L"MW1", 'i'}, {L"MW1", 'I'}}},
        // A first part without "-" is the whole tag; the rest, colons included, is the device.
        {L"s16:1:2:MW1", true, false, DeviceResult::Ok, L"s16", {{L"1:2:MW1", 'i'}}},
        // A first part with "-" is a network text that goes back in front of the device.
        {L"1-3:s16:MW100", true, false, DeviceResult::Ok, L"s16", {{L"1-3 MW100", 'i'}}},
        {L"1-3:s16", true, false, DeviceResult::InvalidDeviceFormat, nullptr, {}},
        {L"0-FF:b:MB1:x", true, false, DeviceResult::Ok, L"b", {{L"0-FF MB1:x", 'b'}}},
        {L":MW1", true, false, DeviceResult::InvalidDeviceType, L"", {}},
        {L"b:", true, false, DeviceResult::Ok, L"b", {{L"", 'b'}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        FakePlc plc;
        int calls = 0;
        plc.parse = [&](const std::wstring&, int, PqDevice&) {
            ++calls;
            if (calls == 1 && c.firstParseFails) return DeviceResult::NumberOutOfRange;
            return DeviceResult::Ok;
        };
        PqDevice device;
        std::wstring tag = L"untouched";
        EXPECT_EQ(plc.TypedStringToDevice(c.text, device, tag, c.detailed), c.result);
        EXPECT_EQ(tag, c.tagOut ? c.tagOut : L"untouched");
        ASSERT_EQ(plc.parseCalls.size(), c.calls.size());
        for (std::size_t i = 0; i < c.calls.size(); ++i) {
            EXPECT_EQ(plc.parseCalls[i].text, c.calls[i].text);
            EXPECT_EQ(plc.parseCalls[i].type, c.calls[i].type);
        }
    }
}

TEST(CompareDevices, SegmentThenOrderThenFlatAddress) {
    FakePlc plc;
    plc.order = [](const PqDevice& d) { return d.mCode == 99 ? -1 : d.mCode; };
    auto seg = [](PqDevice d, int net, int station, int ext) {
        d.mSegment = {static_cast<std::int16_t>(net), static_cast<std::int16_t>(station),
                      static_cast<std::int16_t>(ext)};
        return d;
    };
    struct Case {
        PqDevice a, b;
        bool ignoreSegment;
        int expected;
    };
    const Case cases[] = {
        {Dev(5, 1), Dev(5, 1), false, 0},
        {Dev(5, 1), Dev(5, 2), false, -1},
        {Dev(5, 2), Dev(5, 1), false, 1},
        // Order before address, unknown order (-1) after every known one.
        {Dev(4, 900), Dev(5, 1), false, -1},
        {Dev(99, 0), Dev(5, 1), false, 1},
        {Dev(5, 1), Dev(99, 0), false, -1},
        // Segments are compared first, as signed numbers, and only when not ignored.
        {seg(Dev(9, 9), 1, 0, 0), seg(Dev(1, 1), 2, 0, 0), false, -1},
        {seg(Dev(1, 1), 1, 5, 0), seg(Dev(1, 1), 1, 4, 9), false, 1},
        {seg(Dev(1, 1), -1, 0, 0), seg(Dev(1, 1), 0, 0, 0), false, -1},
        {seg(Dev(1, 1), 0, 0, 1), seg(Dev(1, 1), 0, 0, 2), false, -1},
        {seg(Dev(5, 1), 1, 2, 0), seg(Dev(5, 1), 3, 4, 0), true, 0},
        {seg(Dev(5, 2), 9, 2, 0), seg(Dev(5, 1), 1, 4, 0), true, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plc.CompareDevices(c.a, c.b, c.ignoreSegment), c.expected)
            << c.a.mCode << "/" << c.a.mNumber << " vs " << c.b.mCode << "/" << c.b.mNumber;
    }
}

RC_GTEST_PROP(CompareDevices, IsAntisymmetricAndZeroOnlyForEqualKeys, ()) {
    FakePlc plc;
    plc.order = [](const PqDevice& d) { return d.mCode % 3 == 0 ? -1 : d.mCode % 3; };
    auto gen = [] {
        PqDevice d;
        d.mCode = *rc::gen::inRange(0, 6);
        d.mNumber = *rc::gen::inRange(-2, 3);
        d.mSegment.mNetworkNo = static_cast<std::int16_t>(*rc::gen::inRange(-1, 2));
        return d;
    };
    const PqDevice a = gen();
    const PqDevice b = gen();
    const bool ignore = *rc::gen::arbitrary<bool>();
    const int ab = plc.CompareDevices(a, b, ignore);
    RC_ASSERT(ab == -plc.CompareDevices(b, a, ignore));
    const bool sameKey = a.mCode == b.mCode && a.mNumber == b.mNumber &&
                         (ignore || a.mSegment == b.mSegment);
    RC_ASSERT((ab == 0) == sameKey);
}

TEST(CommonQueries, BitOffsetOnlyOutsideTheCompactTerminal) {
    FakePlc plc;
    for (int terminal : {-1, 0, 1, 2, 3, 4, 5, 6, 7}) {
        plc.SetTerminalType(terminal);
        for (int kind = 0; kind < 256; ++kind) {
            PlcAddress a;
            a.kind = static_cast<PlcDataKind>(kind);
            EXPECT_EQ(plc.IsBitOffsetAddress(a), terminal != 1 && kind == 10)
                << terminal << "/" << kind;
        }
    }
}

TEST(CommonQueries, FixedAnswers) {
    FakePlc plc;
    EXPECT_EQ(plc.GetPlcGroupCode(), 77);  // follows the family's own code
    EXPECT_FALSE(plc.IsNetworkAvailable());
    EXPECT_FALSE(plc.IsNetworkAvailableEx());
    EXPECT_FALSE(plc.IsOptionAvailable());
    EXPECT_EQ(plc.SetCompactTerminal(true), 0);
    EXPECT_EQ(plc.TerminalType(), 1);
    EXPECT_EQ(plc.SetCompactTerminal(false), 0);
    EXPECT_EQ(plc.TerminalType(), 2);
}

}  // namespace
