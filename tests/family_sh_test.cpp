// The SH family: the MP kinds with SH's ranges, padding, blocks and tables, no network part.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <string>
#include <vector>

#include "families/ZorvikanSH.h"
#include "support/Devices.h"
#include "support/FamilyLaws.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;
using test_support::Narrow;

constexpr int kIB = 156, kMB = 157, kIW = 168, kMW = 175;

ZorvikanSH Plc(int terminal) {
    ZorvikanSH plc;
    plc.SetTerminalType(terminal);
    return plc;
}

TEST(ShParse, TypedTextsAndTheirTexts) {
    using R = DeviceResult;
    struct Case {
        int terminal;
        const wchar_t* text;
        int type;
        R result;
        PqDevice device;
        const wchar_t* printed;  // on success
    };
    const Case cases[] = {
        {2, L"IBFFFF", 'b', R::Ok, Dev(kIB, 65535, 'b'), L"IBFFFF"},
        {2, L"IB10000", 'b', R::InvalidDeviceFormat, {}, nullptr},
        {2, L"IBFFF", 'i', R::Ok, Dev(kIB, 65520, 'i'), L"IBFFF"},
        {2, L"IBFFF", 'I', R::NumberCrossRange, {}, nullptr},
        {2, L"IB1FFF", 'i', R::InvalidDeviceFormat, {}, nullptr},
        {2, L"IB1F", 'b', R::Ok, Dev(kIB, 31, 'b'), L"IB001F"},
        {2, L"MB32767F", 'b', R::Ok, Dev(kMB, 524287, 'b'), L"MB32767F"},
        {2, L"MB32768F", 'b', R::NumberOutOfRange, {}, nullptr},
        {2, L"MB1F", 'b', R::Ok, Dev(kMB, 31, 'b'), L"MB0001F"},
        {2, L"MB100", 'i', R::Ok, Dev(kMB, 1600, 'i'), L"MB0100"},
        {2, L"MB32767", 'I', R::NumberCrossRange, {}, nullptr},
        {2, L"MW32767", 'i', R::Ok, Dev(kMW, 524272, 'i'), L"MW32767"},
        {2, L"MW32767", 'I', R::NumberCrossRange, {}, nullptr},
        {2, L"MW32768", 'i', R::NumberOutOfRange, {}, nullptr},
        {2, L"MW8388609", 'i', R::NumberOutOfRange, {}, nullptr},
        {2, L"MW100.b3", 'b', R::Ok, Dev(kMW, 1603, 'b'), L"MW100.b3"},
        {2, L"MW100.b3", 'u', R::InvalidDeviceType, {}, nullptr},
        {2, L"IW7FFF.B15", 'b', R::Ok, Dev(kIW, 524287, 'b'), L"IW7FFF.b15"},
        {2, L"IW7FFF.16", 'b', R::InvalidDeviceFormat, {}, nullptr},
        {2, L"MW1Z", 'i', R::InvalidDeviceFormat, {}, nullptr},
        {2, L"", 'i', R::InvalidDeviceName, {}, nullptr},
        {2, L"1-3 MW100", 'i', R::InvalidDeviceName, {}, nullptr},
        {4, L"1-3 MW100", 'i', R::InvalidDeviceName, {}, nullptr},
        {2, L"GS512", 'i', R::NumberOutOfRange, {}, nullptr},
        {2, L"GB1", 'i', R::InvalidDeviceNumber, {}, nullptr},
        {2, L"EG0", 'i', R::UnknownDeviceCode, {}, nullptr},
        // The compact terminal: MB ends at word 4095, bit kinds only as bits.
        {1, L"MB40960", 'b', R::NumberOutOfRange, {}, nullptr},
        {1, L"MB40950", 'b', R::Ok, Dev(kMB, 65520, 'b'), L"MB40950"},
        {1, L"MB4095F", 'b', R::Ok, Dev(kMB, 65535, 'b'), L"MB4095F"},
        {1, L"MB100", 'i', R::InvalidDeviceType, {}, nullptr},
        {6, L"MW100", 'b', R::InvalidDeviceType, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text) + " terminal " + std::to_string(c.terminal));
        const ZorvikanSH plc = Plc(c.terminal);
        PqDevice d;
        EXPECT_EQ(plc.StringToDevice(c.text, c.type, d), c.result);
        if (c.result != DeviceResult::Ok) continue;
        EXPECT_EQ(d, c.device);
        std::wstring local, full;
        EXPECT_EQ(plc.DeviceToLocalString(d, local), DeviceResult::Ok);
        EXPECT_EQ(local, c.printed);
        EXPECT_EQ(plc.DeviceToString(d, full), DeviceResult::Ok);
        EXPECT_EQ(full, c.printed);  // never a network part
    }
    // A segment is never looked at, and never shown.
    std::wstring text = L"stale";
    EXPECT_EQ(Plc(4).DeviceToString(Dev(kMW, 1600, 'i', 300, 99), text), DeviceResult::Ok);
    EXPECT_EQ(text, L"MW100");
    EXPECT_EQ(Plc(4).NetworkToString(Dev(kMW, 1600, 'i', 1, 1), text), DeviceResult::Ok);
    EXPECT_EQ(text, L"");
}

TEST(ShFlatAddress, OnlyMbHasBlocks) {
    struct Case {
        PqDevice device;
        int code, address;
    };
    const Case cases[] = {
        {Dev(kMB, 0x7FFFF, 'b'), 40199, 0xFFFF}, {Dev(kMB, 0xFFFF, 'b'), kMB, 0xFFFF},
        {Dev(kMB, 0x10000, 'i'), 40193, 0},      {Dev(kIB, 0xFFFF, 'b'), kIB, 0xFFFF},
        {Dev(kIB, 0xFFF0, 'i'), kIB, 0xFFF0},    {Dev(kMW, 1603, 'b'), kMW, 100},
        {Dev(kIW, 16, 'u'), kIW, 1},
    };
    for (const Case& c : cases) {
        for (int terminal : {2, 4}) {
            const ZorvikanSH plc = Plc(terminal);
            PlcAddress a;
            ASSERT_EQ(plc.DeviceToPlcAddress(c.device, a), DeviceResult::Ok);
            EXPECT_EQ(a.code, c.code);
            EXPECT_EQ(a.address, c.address);
            EXPECT_EQ(std::tie(a.network, a.station), std::make_tuple(0, 255));
            PqDevice back;
            EXPECT_EQ(plc.PlcAddressToDevice(a, back), DeviceResult::Ok);
            EXPECT_EQ(back, c.device);
        }
    }
    // Words beyond the blocks keep their own code as bits (the range check refuses them).
    PlcAddress a;
    EXPECT_EQ(Plc(2).DeviceToPlcAddress(Dev(kMB, 0x80000, 'b'), a), DeviceResult::NumberOutOfRange);
    EXPECT_EQ(std::tie(a.code, a.address, a.kind), std::make_tuple(kMB, 0x80000, PlcDataKind::Bit));
    for (int code : {40193, 40199}) {
        a = PlcAddress{};
        a.code = code;
        a.kind = PlcDataKind::Bit;
        EXPECT_TRUE(Plc(2).IsPlcBitAddress(a)) << code;
    }
    for (int code : {40200, 39937, kMW}) {
        a.code = code;
        EXPECT_FALSE(Plc(2).IsPlcBitAddress(a)) << code;
        PqDevice d;
        if (code != kMW) {
            EXPECT_EQ(Plc(2).PlcAddressToDevice(a, d), DeviceResult::UnknownDeviceCode);
        }
    }
    a.code = kMW;
    a.address = 65536;
    a.kind = PlcDataKind::Int16;
    PqDevice d;
    EXPECT_EQ(Plc(2).PlcAddressToDevice(a, d), DeviceResult::NumberOutOfRange);
}

TEST(ShTables, ByTerminalType) {
    const std::vector<std::string> names = {"GB", "GD", "GS", "MB", "IB", "IW", "MW"};
    const std::vector<std::string> compact = {"GB", "GD", "MB", "IB", "IW", "MW"};
    for (int terminal = -1; terminal <= 9; ++terminal) {
        const ZorvikanSH plc = Plc(terminal);
        const int t = plc.TerminalType();
        int count = -1;
        const char* const* table = plc.GetDeviceNameTable(count, 1);
        const std::vector<std::string> expected =
            t == 1 ? compact : (t >= 0 && t <= 7) ? names : std::vector<std::string>{};
        EXPECT_EQ(std::vector<std::string>(table, table + (table ? count : 0)), expected) << t;
        // The order is the position in the tables of the same terminal type.
        EXPECT_EQ(plc.GetDeviceOrder(Dev(kMB, 0, 'b')), t == 1 ? 3 : t < 0 || t > 7 ? -1 : 4);
        EXPECT_EQ(plc.GetDeviceOrder(Dev(12291, 0, 'i')), t == 1 || t < 0 || t > 7 ? -1 : 3);
        EXPECT_EQ(plc.GetDeviceOrder(PqDevice{}), 0);
    }
}

TEST(ShEditor, RangeTextsKindsAndBitsOfWords) {
    struct Range {
        int terminal, code, type, flags;
        const wchar_t *low, *high;
    };
    const Range ranges[] = {
        {2, kIB, 'b', 0, L"0000", L"FFFF"},   {2, kIB, 'b', 4, L"0000", L"FFF0"},
        {2, kIB, 'i', 0, L"000", L"FFF"},     {2, kIB, 'F', 0, L"000", L"FFE"},
        {2, kMB, 'b', 0, L"00000", L"32767F"}, {2, kMB, 'b', 4, L"00000", L"327670"},
        {1, kMB, 'b', 0, L"00000", L"4095F"}, {1, kMB, 'b', 4, L"00000", L"40950"},
        {1, kMB, 'u', 0, L"0000", L"4095"},   {1, kMB, 'U', 0, L"0000", L"4094"},
        {2, kMB, 'd', 0, L"0000", L"32767"},  {2, kMB, 'D', 0, L"0000", L"32766"},
        {1, kIW, 'b', 0, L"0000", L"7FFF"},   {2, kIW, 'I', 0, L"0000", L"7FFE"},
        {1, kMW, 'i', 0, L"0", L"32767"},     {2, kMW, 'F', 0, L"0", L"32766"},
    };
    for (const Range& r : ranges) {
        ZorvikanSH plc = Plc(r.terminal);
        plc.SetEditFlags(r.flags);
        std::vector<std::wstring> lows, highs;
        EXPECT_TRUE(plc.GetNumberRangeTexts(Dev(r.code, 0, r.type), lows, highs));
        EXPECT_EQ(lows, std::vector<std::wstring>{r.low});
        EXPECT_EQ(highs, std::vector<std::wstring>{r.high}) << r.terminal << " " << r.code;
    }
    for (int terminal = 0; terminal <= 7; ++terminal) {
        const ZorvikanSH plc = Plc(terminal);
        std::vector<std::wstring> names;
        std::vector<int> codes;
        plc.GetDeviceKinds(3, PqDevice{}, 'i', 0, names, codes);
        EXPECT_EQ(names.empty(), terminal == 1 || terminal == 6) << terminal;
        plc.GetDeviceKinds(2, PqDevice{}, 'i', 0, names, codes);
        EXPECT_EQ(names.size(), codes.size());
        // Bits of words everywhere but on the compact terminal.
        EXPECT_EQ(plc.CanUseBitOfWord(Dev(kMW, 0, 'i'), 'b'), terminal != 1);
        EXPECT_FALSE(plc.CanUseBitOfWord(Dev(kIB, 0, 'i'), 'b'));
    }
}

TEST(ShFields, NoNetworkTexts) {
    const ZorvikanSH plc = Plc(4);
    DeviceFields f;
    EXPECT_EQ(plc.DeviceToFields(Dev(kMB, 31, 'b', 1, 4), f), DeviceResult::Ok);
    EXPECT_EQ(f.prefix, "MB");
    EXPECT_EQ(f.number, "0001F");
    EXPECT_EQ(f.network, "");
    EXPECT_EQ(f.station, "");
    EXPECT_EQ(f.useNetwork, 0);
    f.useNetwork = 1;  // ignored: the family composes no network part
    f.network = "1";
    f.station = "3";
    PqDevice d = Dev(kMB, 0, 'b');
    EXPECT_EQ(plc.FieldsToDevice(d, f), DeviceResult::Ok);
    EXPECT_EQ(d, Dev(kMB, 31, 'b'));
}

RC_GTEST_PROP(ShLaws, AnyTextGivesAResultWithoutThrowing, ()) {
    ZorvikanSH plc;
    test_support::CheckAnyTextGivesAResult(plc, L"0123456789ABFIMWBGDS-. :bx");
}

}  // namespace
