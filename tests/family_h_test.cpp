// The H family: DW/MW on one code, bit-addressed IB/OB, two folded flat-address spaces.
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

#include <string>
#include <vector>

#include "families/ZorvikanH.h"
#include "support/Devices.h"
#include "support/FamilyLaws.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;
using test_support::Narrow;

constexpr int kIB = 156, kOB = 157, kIW = 168, kOW = 180, kReg = 175, kZD = 204;

ZorvikanH Plc(int terminal) {
    ZorvikanH plc;
    plc.SetTerminalType(terminal);
    return plc;
}

TEST(HParse, TypedTextsAndTheirTexts) {
    using R = DeviceResult;
    struct Case {
        const wchar_t* text;
        int type;
        R result;
        PqDevice device;
        const wchar_t* printed;
    };
    const Case cases[] = {
        {L"DW2047", 'i', R::Ok, Dev(kReg, 32752, 'i'), L"DW2047"},
        {L"DW2047", 'I', R::NumberCrossRange, {}, nullptr},  // DW cannot run on into MW
        {L"DW2048", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"DW2047.b15", 'b', R::Ok, Dev(kReg, 32767, 'b'), L"DW2047.b15"},
        {L"MW0", 'i', R::Ok, Dev(kReg, 32768, 'i'), L"MW0"},
        {L"MW7694", 'i', R::Ok, Dev(kReg, 155872, 'i'), L"MW7694"},
        {L"MW7694", 'I', R::NumberCrossRange, {}, nullptr},
        {L"MW7693", 'F', R::Ok, Dev(kReg, 155856, 'F'), L"MW7693"},
        {L"MW7695", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"MW-1", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"IB7FF", 'b', R::Ok, Dev(kIB, 2047, 'b'), L"IB07FF"},
        {L"IB800", 'b', R::NumberOutOfRange, {}, nullptr},
        {L"IB10", 'i', R::Ok, Dev(kIB, 16, 'i'), L"IB0010"},  // the bit address, whatever the type
        {L"IB11", 'i', R::InvalidDeviceNumber, {}, nullptr},
        {L"IB7F0", 'I', R::NumberCrossRange, {}, nullptr},
        {L"OB0", 'b', R::Ok, Dev(kOB, 0, 'b'), L"OB0000"},
        {L"OB7E0", 'D', R::Ok, Dev(kOB, 0x7E0, 'D'), L"OB07E0"},
        {L"IB7.b1", 'b', R::InvalidDeviceFormat, {}, nullptr},  // no suffix on bit kinds
        {L"IW7F.b15", 'b', R::Ok, Dev(kIW, 2047, 'b'), L"IW007F.b15"},
        {L"IW80", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"OW10", 'u', R::Ok, Dev(kOW, 256, 'u'), L"OW0010"},
        {L"OW1.b3", 'i', R::InvalidDeviceType, {}, nullptr},
        {L"ZD2047", 'i', R::Ok, Dev(kZD, 32752, 'i'), L"ZD2047"},
        {L"ZD2048", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"ZD99999999999", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"zd5.b2", 'b', R::Ok, Dev(kZD, 82, 'b'), L"ZD5.b2"},
        {L"ZD5.b16", 'b', R::InvalidDeviceFormat, {}, nullptr},
        {L"ZD5Q", 'i', R::InvalidDeviceFormat, {}, nullptr},
        {L"1-3 MW100", 'i', R::InvalidDeviceName, {}, nullptr},
        {L"GB0", 'b', R::Ok, Dev(12290, 0, 'b'), L"GB0"},
        {L"GS512", 'i', R::NumberOutOfRange, {}, nullptr},
        {L"GD1.b1", 'i', R::InvalidDeviceType, {}, nullptr},
        {L"GX", 'i', R::InvalidDeviceName, {}, nullptr},
        {L"EG1", 'i', R::UnknownDeviceCode, {}, nullptr},
    };
    for (int terminal : {1, 2, 6}) {  // parsing and texts do not depend on the terminal type
        for (const Case& c : cases) {
            if (terminal != 2 && c.text[0] == L'G') continue;  // internal ranges do
            SCOPED_TRACE(Narrow(c.text) + " terminal " + std::to_string(terminal));
            const ZorvikanH plc = Plc(terminal);
            PqDevice d;
            EXPECT_EQ(plc.StringToDevice(c.text, c.type, d), c.result);
            if (c.result != DeviceResult::Ok) continue;
            EXPECT_EQ(d, c.device);
            std::wstring text;
            EXPECT_EQ(plc.DeviceToString(d, text), DeviceResult::Ok);
            EXPECT_EQ(text, c.printed);
        }
    }
    // Register numbers of neither kind are refused with a "??" text.
    std::wstring text;
    EXPECT_EQ(Plc(2).DeviceToLocalString(Dev(kReg, 155888, 'i'), text), DeviceResult::NumberOutOfRange);
    EXPECT_EQ(text, L"??");
}

TEST(HFlatAddress, FoldedSpacesBothWays) {
    struct Case {
        PqDevice device;
        int code, address, bit;
    };
    const Case cases[] = {
        {Dev(kIB, 2047, 'b'), kOB, 2047, 0},     {Dev(kOB, 5, 'b'), kOB, 2053, 0},
        {Dev(kOB, 2032, 'i'), kOB, 4080, 0},     {Dev(kReg, 1600, 'i'), kReg, 100, 0},
        {Dev(kReg, 32768, 'i'), kReg, 2048, 0},  {Dev(kReg, 155887, 'b'), kReg, 9742, 15},
        {Dev(kIW, 32, 'i'), kReg, 9745, 0},      {Dev(kIW, 2047, 'b'), kReg, 9870, 15},
        {Dev(kOW, 0, 'i'), kReg, 9871, 0},       {Dev(kOW, 2032, 'u'), kReg, 9998, 0},
        {Dev(kZD, 32752, 'i'), kZD, 2047, 0},
    };
    for (const Case& c : cases) {
        const ZorvikanH plc = Plc(2);
        PqDevice device = c.device;
        device.mChannel = 9;
        PlcAddress a;
        ASSERT_EQ(plc.DeviceToPlcAddress(device, a), DeviceResult::Ok) << c.address;
        EXPECT_EQ(std::tie(a.code, a.address, a.bit, a.channel),
                  std::make_tuple(c.code, c.address, c.bit, std::uint8_t{9}));
        PqDevice back;
        EXPECT_EQ(plc.PlcAddressToDevice(a, back), DeviceResult::Ok);
        EXPECT_EQ(back, device);
    }
    // Only OB's code carries bits; a bit offset lands on the folded bit number.
    for (int code : {kOB, kIB, kReg, 12290, 12289}) {
        PlcAddress a;
        a.code = code;
        a.kind = PlcDataKind::Bit;
        EXPECT_EQ(Plc(2).IsPlcBitAddress(a), code == kOB || code == 12290) << code;
        EXPECT_FALSE(Plc(1).IsPlcBitAddress(a));
    }
    PlcAddress offset;
    offset.code = kOB;
    offset.address = 2050;  // OB's half of the folded bits
    offset.bit = 3;
    offset.kind = PlcDataKind::BitOffset;
    PqDevice d;
    EXPECT_EQ(Plc(2).PlcAddressToDevice(offset, d), DeviceResult::Ok);
    EXPECT_EQ(d, Dev(kOB, 5, 'b'));
    EXPECT_EQ(Plc(1).PlcAddressToDevice(offset, d), DeviceResult::InvalidDeviceType);
}

TEST(HTables, OrderFollowsTheRegisterNumber) {
    struct Case {
        PqDevice device;
        int order;
    };
    const Case cases[] = {
        {Dev(12290, 0, 'b'), 1}, {Dev(12291, 0, 'i'), 3}, {Dev(kOB, 0, 'b'), 4},
        {Dev(kIB, 0, 'b'), 5},   {Dev(kIW, 0, 'i'), 6},   {Dev(kOW, 0, 'i'), 7},
        {Dev(kReg, 32767, 'b'), 8}, {Dev(kZD, 0, 'i'), 9}, {Dev(kReg, 32768, 'i'), 10},
        {Dev(kReg, 155887, 'b'), 10}, {Dev(kReg, 155888, 'i'), -1}, {Dev(kReg, -16, 'i'), -1},
        {Dev(999, 0, 'i'), -1},  {PqDevice{}, 0},
    };
    for (int terminal = -1; terminal <= 9; ++terminal) {
        const ZorvikanH plc = Plc(terminal);
        const int t = plc.TerminalType();
        const bool tables = t >= 0 && t <= 7 && t != 1;
        for (const Case& c : cases)
            EXPECT_EQ(plc.GetDeviceOrder(c.device), tables || c.order == 0 ? c.order : -1)
                << terminal << " " << c.device.mCode << "/" << c.device.mNumber;
        int count = -1;
        const int* codes = plc.GetDeviceCodeTable(count);
        const std::vector<int> expected = {12290, 12289, 12291, kOB, kIB, kIW, kOW, kReg, kZD, kReg};
        EXPECT_EQ(std::vector<int>(codes, codes + (codes ? count : 0)),
                  tables ? expected : std::vector<int>{});
        const char* const* names = plc.GetDeviceNameTable(count, 0);
        EXPECT_EQ(count, tables ? 10 : 0);
        if (tables) {
            EXPECT_STREQ(names[9], "MW");
        }
    }
}

TEST(HEditor, PrefixesRangesKindsAndFields) {
    const ZorvikanH plc = Plc(2);
    struct Prefix {
        PqDevice device;
        const wchar_t* prefix;
        const wchar_t *low, *high;
        int base;
    };
    const Prefix prefixes[] = {
        {Dev(kReg, 32752, 'i'), L"DW", L"0", L"2047", 10},
        {Dev(kReg, 32768, 'I'), L"MW", L"0", L"7693", 10},
        {Dev(kReg, 155888, 'i'), L"??", nullptr, nullptr, 10},  // neither kind: no texts
        {Dev(kIB, 0, 'b'), L"IB", L"0000", L"07FF", 16},
        {Dev(kOB, 0, 'i'), L"OB", L"0000", L"07F0", 16},
        {Dev(kOB, 0, 'U'), L"OB", L"0000", L"07E0", 16},
        {Dev(kOW, 0, 'b'), L"OW", L"0000", L"007F", 16},
        {Dev(kIW, 0, 'F'), L"IW", L"0000", L"007E", 16},
        {Dev(kZD, 0, 'D'), L"ZD", L"0", L"2046", 10},
    };
    for (const Prefix& p : prefixes) {
        std::wstring prefix;
        EXPECT_TRUE(plc.GetDevicePrefix(p.device, prefix));
        EXPECT_EQ(prefix, p.prefix);
        std::vector<std::wstring> lows, highs;
        EXPECT_TRUE(plc.GetNumberRangeTexts(p.device, lows, highs));
        EXPECT_EQ(lows, p.low ? std::vector<std::wstring>{p.low} : std::vector<std::wstring>{});
        EXPECT_EQ(highs, p.high ? std::vector<std::wstring>{p.high} : std::vector<std::wstring>{});
        int base = 0;
        EXPECT_TRUE(plc.GetNumberBase(p.device, base));
        EXPECT_EQ(base, p.base);
    }
    ZorvikanH flagged = Plc(2);
    flagged.SetEditFlags(4);
    std::vector<std::wstring> lows, highs;
    flagged.GetNumberRangeTexts(Dev(kIB, 0, 'b'), lows, highs);
    EXPECT_EQ(highs, std::vector<std::wstring>{L"07F0"});

    // "MW" starts at its own word 0, that is register word 2048.
    PqDevice d;
    EXPECT_TRUE(plc.SetDeviceByPrefix(L"MW", 'i', d));
    EXPECT_EQ(d, Dev(kReg, 32768, 'i'));
    EXPECT_TRUE(plc.SetDeviceByPrefix(L"DW", 'i', d));
    EXPECT_EQ(d, Dev(kReg, 0, 'i'));
    EXPECT_FALSE(plc.SetDeviceByPrefix(L"dw", 'i', d));

    // The prefix field must still name the device the number belongs to.
    DeviceFields fields;
    fields.prefix = "DW";
    PqDevice mw5 = Dev(kReg, (2048 + 5) * 16, 'i');
    EXPECT_EQ(plc.CheckDeviceFields(fields, mw5, 1, d), DeviceResult::InvalidDeviceNumber);
    fields.prefix = "MW";
    EXPECT_EQ(plc.CheckDeviceFields(fields, mw5, 1, d), DeviceResult::Ok);
    EXPECT_EQ(plc.CheckDeviceFields(fields, mw5, 8000, d), DeviceResult::NumberCrossRange);

    EXPECT_EQ(plc.DeviceToFields(mw5, fields), DeviceResult::Ok);
    EXPECT_EQ(std::make_tuple(fields.prefix, fields.number, fields.bit),
              std::make_tuple(CString("MW"), CString("5"), CString("")));
    PqDevice composed = Dev(kReg, 32768, 'i');
    EXPECT_EQ(plc.FieldsToDevice(composed, fields), DeviceResult::Ok);
    EXPECT_EQ(composed, mw5);

    // Kind lists: none at all on the compact terminal.
    for (int terminal : {1, 2}) {
        for (int category = 1; category <= 4; ++category) {
            std::vector<std::wstring> names;
            std::vector<int> codes;
            Plc(terminal).GetDeviceKinds(category, PqDevice{}, 'i', 0, names, codes);
            EXPECT_EQ(names.empty(), terminal == 1);
            const std::vector<std::wstring> words = {L"IW", L"OW", L"DW", L"ZD", L"MW", L"GD", L"GS"};
            if (terminal == 2 && category % 2 == 0) {
                EXPECT_EQ(names, words);
            }
        }
    }
    EXPECT_TRUE(Plc(1).CanUseBitOfWord(Dev(kZD, 0, 'i'), 'b'));  // in every terminal type
}

RC_GTEST_PROP(HLaws, AnyTextGivesAResultWithoutThrowing, ()) {
    ZorvikanH plc;
    test_support::CheckAnyTextGivesAResult(plc, L"0123456789ABFIODWZMBGS-. :bx");
}

}  // namespace
