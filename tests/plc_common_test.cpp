// The host-side operations every family shares, driven through a scripted family.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <map>
#include <string>

#include "support/Devices.h"
#include "support/FakePlc.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;
using R = DeviceResult;

PqDevice WithExt(PqDevice d, int ext) {
    d.mSegment.mExtNo = static_cast<std::int16_t>(ext);
    return d;
}

// Without detail every non-bit type, even an unknown one, is a plain word.
TEST(DataTypeTag, EveryTypeCharacter) {
    const std::map<int, std::wstring> known = {{'b', L"b"},   {'i', L"s16"}, {'u', L"u16"},
                                               {'d', L"d16"}, {'I', L"s32"}, {'U', L"u32"},
                                               {'D', L"d32"}, {'F', L"flt"}};
    FakePlc plc;
    for (int type = -300; type < 300; ++type) {
        std::wstring tag = L"stale";
        EXPECT_EQ(plc.GetDataTypeTag(Dev(0, 0, type), tag, false), R::Ok);
        EXPECT_EQ(tag, type == 'b' ? L"b" : L"w") << type;
        const auto k = known.find(type);
        EXPECT_EQ(plc.GetDataTypeTag(Dev(0, 0, type), tag, true),
                  k != known.end() ? R::Ok : R::InvalidDeviceType)
            << type;
        EXPECT_EQ(tag, k != known.end() ? k->second : L"??");
    }
}

// The network text comes first where the record has a segment (extension number included); no
// device gives no text once network and tag passed; the tag is taken before the code.
TEST(TypedText, WritesNetworkTagAndLocalText) {
    const std::tuple<PqDevice, bool, const wchar_t*, R, int> cases[] = {
        {Dev(5, 100, 'i'), true, L"s16:X100", R::Ok, 0},
        {Dev(5, 100, 'i'), false, L"w:X100", R::Ok, 0},
        {Dev(5, 100, 'I', 1, 4), true, L"1-4:s32:X100", R::Ok, 1},
        {WithExt(Dev(5, 7, 'b'), 3), false, L"0-0:b:X7", R::Ok, 1},
        {Dev(0, 0, 'i'), true, L"", R::Ok, 0},
        {Dev(0, 0, 'i', 2), true, L"", R::Ok, 1},
        {Dev(0, 0, 'q'), true, L"??", R::InvalidDeviceType, 0},
        {Dev(0, 0, 'q'), false, L"", R::Ok, 0}};
    for (const auto& [device, detailed, expected, result, networkCalls] : cases) {
        FakePlc plc;
        std::wstring text = L"stale";
        EXPECT_EQ(plc.DeviceToTypedString(device, text, detailed), result)
            << ::testing::PrintToString(device);
        EXPECT_EQ(text, expected);
        EXPECT_EQ(plc.networkCalls, networkCalls);
    }
}

// A refused device's typed text is the contract test's; here a refused network text, and the
// compact terminal for devices of every sort.
TEST(TypedText, FailuresGiveQuestionMarksAndTheirCode) {
    FakePlc plc;
    std::wstring text;
    plc.network = [](const PqDevice&, std::wstring& t) {
        t.clear();
        return R::SegmentOutOfRange;
    };
    EXPECT_EQ(plc.DeviceToTypedString(Dev(5, 1, 'i', 0, 9), text, true), R::SegmentOutOfRange);
    EXPECT_EQ(text, L"??");
    EXPECT_EQ(plc.localCalls, 0);

    // The compact terminal has no typed text at all, for any device.
    plc.SetTerminalType(1);
    for (const PqDevice& any : {Dev(0, 0, 'b'), Dev(5, 1, 'i'), Dev(5, 1, 'q')}) {
        EXPECT_EQ(plc.DeviceToTypedString(any, text, true), R::NotAvailable);
        EXPECT_EQ(text, L"??");
    }
}

// The texts (and data types) handed to the family's parser, the tag given back (null: left
// untouched). Without detail every word tag reads as 'i', after a failure again as 'I'. A first
// part without "-" is the whole tag and the rest, colons included, the device; a first part with
// "-" is a network text that goes back in front of the device.
TEST(TypedText, ReadsTagAndHandsTheDeviceTextToTheFamily) {
    const std::tuple<const wchar_t*, bool, bool, R, const wchar_t*, const wchar_t*> cases[] = {
        // text, detailed, first parse fails, result, tag, parses
        {L"MW100", true, false, R::InvalidDeviceFormat, nullptr, L""},
        {L"S16:MW100", true, false, R::InvalidDeviceType, L"S16", L""},
        {L" s16\t:MW100", true, false, R::Ok, L" s16\t", L"MW100/i"},
        {L"b:MB1F", true, false, R::Ok, L"b", L"MB1F/b"},
        {L"u32:MW1", true, false, R::Ok, L"u32", L"MW1/U"},
        {L"s32:MW1", false, false, R::Ok, L"s32", L"MW1/i"},
        {L"s32:MW1", false, true, R::Ok, L"s32", L"MW1/i MW1/I"},
        {L"b:MW1", false, true, R::Ok, L"b", L"MW1/b MW1/I"},
        {L"s32:MW1", true, true, R::NumberOutOfRange, L"s32", L"MW1/I"},
        {L"w:MW1", true, true, R::Ok, L"w", L"MW1/i MW1/I"},
        {L"s16:1:2:MW1", true, false, R::Ok, L"s16", L"1:2:MW1/i"},
        {L"1-3:s16:MW100", true, false, R::Ok, L"s16", L"1-3 MW100/i"},
        {L"1-3:s16", true, false, R::InvalidDeviceFormat, nullptr, L""},
        {L"0-FF:b:MB1:x", true, false, R::Ok, L"b", L"0-FF MB1:x/b"},
        {L":MW1", true, false, R::InvalidDeviceType, L"", L""},
        {L"b:", true, false, R::Ok, L"b", L"/b"}};
    // Also with the tag argument being the text itself, as a host may pass it.
    for (const bool aliased : {false, true})
        for (const auto& [text, detailed, firstFails, result, tagOut, parses] : cases) {
            SCOPED_TRACE(std::string(text, text + std::wcslen(text)) + (aliased ? " aliased" : ""));
            FakePlc plc;
            plc.parse = [&, failed = false](const std::wstring&, int, PqDevice&) mutable {
                const bool fail = firstFails && !failed;
                failed = true;
                return fail ? R::NumberOutOfRange : R::Ok;
            };
            PqDevice device;
            std::wstring own = text, separate = L"untouched", calls;
            std::wstring& tag = aliased ? own : separate;
            EXPECT_EQ(plc.TypedStringToDevice(own, device, tag, detailed), result);
            EXPECT_EQ(tag, tagOut ? tagOut : aliased ? text : L"untouched");
            for (const FakePlc::ParseCall& call : plc.parseCalls)
                calls += (calls.empty() ? L"" : L" ") + call.text + L"/" + wchar_t(call.type);
            EXPECT_EQ(calls, parses);
        }
}

// Segments first (as signed numbers, unless ignored), then the order (unknown, -1, after every
// known one), then the flat address.
TEST(CompareDevices, SegmentThenOrderThenFlatAddress) {
    FakePlc plc;
    plc.order = [](const PqDevice& d) { return d.mCode == 99 ? -1 : d.mCode; };
    const std::tuple<PqDevice, PqDevice, bool, int> cases[] = {
        {Dev(5, 1), Dev(5, 1), false, 0},
        {Dev(5, 1), Dev(5, 2), false, -1},
        {Dev(4, 900), Dev(5, 1), false, -1},
        {Dev(99, 0), Dev(5, 1), false, 1},
        {Dev(9, 9, 'i', 1), Dev(1, 1, 'i', 2), false, -1},
        {Dev(1, 1, 'i', 1, 5), WithExt(Dev(1, 1, 'i', 1, 4), 9), false, 1},
        {Dev(1, 1, 'i', -1), Dev(1, 1, 'i'), false, -1},
        {WithExt(Dev(1, 1, 'i'), 1), WithExt(Dev(1, 1, 'i'), 2), false, -1},
        {Dev(5, 1, 'i', 1, 2), Dev(5, 1, 'i', 3, 4), true, 0},
        {Dev(5, 2, 'i', 9, 2), Dev(5, 1, 'i', 1, 4), true, 1}};
    for (const auto& [a, b, ignoreSegment, expected] : cases)
        EXPECT_EQ(plc.CompareDevices(a, b, ignoreSegment), expected)
            << ::testing::PrintToString(a) << " vs " << ::testing::PrintToString(b);
}

RC_GTEST_PROP(CompareDevices, IsAntisymmetricAndZeroOnlyForEqualKeys, ()) {
    FakePlc plc;
    plc.order = [](const PqDevice& d) { return d.mCode % 3 == 0 ? -1 : d.mCode % 3; };
    auto gen = [] {
        return Dev(*rc::gen::inRange(0, 6), *rc::gen::inRange(-2, 3), 'i',
                   *rc::gen::inRange(-1, 2));
    };
    const PqDevice a = gen(), b = gen();
    const bool ignore = *rc::gen::arbitrary<bool>();
    const int ab = plc.CompareDevices(a, b, ignore);
    RC_ASSERT(ab == -plc.CompareDevices(b, a, ignore));
    const bool sameKey =
        a.mCode == b.mCode && a.mNumber == b.mNumber && (ignore || a.mSegment == b.mSegment);
    RC_ASSERT((ab == 0) == sameKey);
}

TEST(CommonQueries, BitOffsetOnlyOutsideTheCompactTerminal) {
    FakePlc plc;
    for (int terminal : {-1, 0, 1, 2, 3, 4, 5, 6, 7}) {
        plc.SetTerminalType(terminal);
        for (int kind = 0; kind < 256; ++kind)
            EXPECT_EQ(plc.IsBitOffsetAddress(PlcAddress{.kind = static_cast<PlcDataKind>(kind)}),
                      terminal != 1 && kind == 10)
                << terminal << "/" << kind;
    }
}

}  // namespace
