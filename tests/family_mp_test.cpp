// The MP family: hex IB/IW and MB bit texts, the network prefix, block codes of the flat
// addresses, tables and dialog fields.
#include <gtest/gtest.h>

#include "families/ZorvikanMP.h"
#include "support/FamilyLaws.h"

namespace {

using namespace test_support;

constexpr int kIB = 156, kMB = 157, kIW = 168, kMW = 175, kGD = 12289, kGB = 12290, kGS = 12291;

ZorvikanMP Plc(int terminal) {
    ZorvikanMP plc;
    plc.SetTerminalType(terminal);
    return plc;
}

// MB: five decimal word digits, then one hex bit digit for bit data; IB: a hex bit number, or a
// hex word number for word data. The local text leaves the network prefix out.
TEST(MpText, ParsedAndPrinted) {
    const TextRow terminal4[] = {
        {L"mw100", 'i', R::Ok, Dev(kMW, 1600, 'i'), L"MW100"},
        {L"MW100.3", 'b', R::Ok, Dev(kMW, 1603, 'b'), L"MW100.b3"},
        {L"MW16776961", 'i', R::NumberOutOfRange},
        {L"MB1F", 'b', R::Ok, Dev(kMB, 31, 'b'), L"MB00001F"},
        {L"MB65534F", 'b', R::Ok, Dev(kMB, 1048559, 'b')},
        {L"MB655350", 'b', R::NumberOutOfRange},
        {L"MB1234567", 'b', R::InvalidDeviceFormat},
        {L"MB-1F", 'b', R::InvalidDeviceFormat},
        {L"MB1F", 'i', R::InvalidDeviceFormat},
        {L"MB100", 'i', R::Ok, Dev(kMB, 1600, 'i'), L"MB00100"},
        {L"IB7FFFF", 'b', R::Ok, Dev(kIB, 524287, 'b')},
        {L"IB1F", 'b', R::Ok, Dev(kIB, 31, 'b'), L"IB0001F"},
        {L"IB80000", 'b', R::NumberOutOfRange},
        {L"IB12345", 'i', R::InvalidDeviceFormat},
        {L"IB7FFF", 'i', R::Ok, Dev(kIB, 0x7FFF * 16, 'i')},
        {L"IB7FFF", 'I', R::NumberCrossRange},
        {L"IW0x10", 'i', R::Ok, Dev(kIW, 256, 'i'), L"IW0010"},
        {L"IW10.b5", 'b', R::Ok, Dev(kIW, 261, 'b'), L"IW0010.b5"},
        {L" 239 - 64  mw 100", 'i', R::Ok, Dev(kMW, 1600, 'i', 239, 65), L"MW100"},
        {L"0-FF GD100", 'i', R::Ok, Dev(kGD, 1600, 'i'), L"GD100"},
        {L"1-3 GD100", 'i', R::SegmentOutOfRange},
        {L"1-A MW100", 'i', R::SegmentOutOfRange},
        {L"0-FE MW100", 'i', R::SegmentOutOfRange},
        {L"240-1 MW100", 'i', R::SegmentOutOfRange},
        {L"1-65 MW100", 'i', R::SegmentOutOfRange}};
    CheckTexts(Plc(4), terminal4);
    // Without a network part in the terminal type, a prefix is no device name. The compact
    // terminal checks no number ranges of the family's own kinds.
    for (int terminal : {2, 3})
        CheckTexts(Plc(terminal), std::vector<TextRow>{{L"1-3 MW100", 'i', R::InvalidDeviceName}});
    const TextRow terminal1[] = {{L"MB100", 'i', R::InvalidDeviceType},
                                 {L"MW99999", 'i', R::Ok, Dev(kMW, 99999 * 16, 'i')}};
    CheckTexts(Plc(1), terminal1);
    CheckTexts(Plc(6), std::vector<TextRow>{{L"MW100", 'b', R::InvalidDeviceType}});
}

// Every stored segment on the terminals with a network part: the range check's limits, the full
// text, which texts read back (a station 0, or one on network 0, has no typed form), and the
// flat address.
TEST(MpNetwork, EverySegment) {
    for (int terminal : {4, 5, 7}) {
        const ZorvikanMP plc = Plc(terminal);
        for (int net = -1; net <= 240; ++net) {
            for (int st = -1; st <= 66; ++st) {
                const PqDevice d = Dev(kMW, 1600, 'D', net, st);
                const bool own = net == 0 && st == 0;
                const bool valid = net >= 0 && net <= 239 && st >= 0 && st <= 65 && (own || st);
                std::wstring text;
                ASSERT_EQ(plc.DeviceToString(d, text), valid ? R::Ok : R::SegmentOutOfRange)
                    << net << "/" << st;
                if (!valid) continue;
                ASSERT_EQ(text,
                          (own ? L"0-FF" : std::to_wstring(net) + L"-" + std::to_wstring(st - 1)) +
                              L" MW100");
                const bool typeable = own || (net >= 1 && st >= 2);
                PqDevice back;
                ASSERT_EQ(plc.StringToDevice(text, 'D', back),
                          typeable ? R::Ok : R::SegmentOutOfRange)
                    << Narrow(text);
                if (typeable) {
                    ASSERT_EQ(back, d);
                }
                PlcAddress a;
                ASSERT_EQ(plc.DeviceToPlcAddress(d, a), R::Ok);
                ASSERT_EQ(std::tie(a.network, a.station),
                          std::make_tuple(std::uint8_t(net), std::uint8_t(st - 1)));
                ASSERT_EQ(plc.PlcAddressToDevice(a, back), R::Ok);
                ASSERT_EQ(back, d);
            }
        }
    }
    // Terminal types 0 and 2 show the network text but neither read it nor carry it in the flat
    // address; 3 shows none.
    for (int terminal : {0, 2, 3}) {
        const ZorvikanMP plc = Plc(terminal);
        std::wstring text, network;
        PqDevice back;
        PlcAddress a;
        EXPECT_EQ(plc.DeviceToString(Dev(kMW, 1600, 'i', 2, 65), text), R::Ok);
        EXPECT_EQ(plc.NetworkToString(Dev(kMW, 1600, 'i', 2, 65), network), R::Ok);
        EXPECT_EQ(plc.StringToDevice(text, 'i', back),
                  terminal == 3 ? R::Ok : R::InvalidDeviceName);
        EXPECT_EQ(plc.DeviceToPlcAddress(Dev(kMW, 1600, 'i', 2, 65), a), R::Ok);
        EXPECT_EQ(
            std::make_tuple(text, network, a.network, a.station),
            std::make_tuple(terminal == 3 ? L"MW100" : L"2-64 MW100", terminal == 3 ? L"" : L"2-64",
                            std::uint8_t{0}, std::uint8_t{255}));
    }
    // Internal devices, and no device at all, are on the own station.
    std::wstring network = L"stale", text;
    EXPECT_EQ(Plc(4).NetworkToString(Dev(kMW, 0, 'i', 300, 1), network), R::SegmentOutOfRange);
    EXPECT_EQ(network, L"");
    EXPECT_EQ(Plc(4).DeviceToString(Dev(kGD, 1605, 'b'), text), R::Ok);
    EXPECT_EQ(text, L"0-FF GD100.b5");
    EXPECT_EQ(Plc(4).DeviceToString(Dev(0, 0, 'i'), text), R::Ok);
    EXPECT_EQ(text, L"0-FF ");
}

// MB and IB words from 0x1000 on travel under block codes; a kind the form refuses gives no
// device.
TEST(MpFlatAddress, BlockCodesBothWays) {
    const FlatRow rows[] = {{Dev(kMB, 0xFFFF, 'b'), kMB, 0xFFFF, 0, K::Bit},
                            {Dev(kMB, 0x10000, 'i'), 40193, 0, 0, K::Int16},
                            {Dev(kMB, 0x1FFFF, 'b'), 40193, 0xFFFF, 0, K::Bit},
                            {Dev(kMB, 0xFFFEF, 'b'), 40207, 0xFFEF, 0, K::Bit},
                            {Dev(kIB, 0x10000, 'b'), 39937, 0, 0, K::Bit},
                            {Dev(kIB, 0x7FFFF, 'b'), 39943, 0xFFFF, 0, K::Bit},
                            {Dev(kMW, 1603, 'b'), kMW, 100, 3, K::WordBit},
                            {Dev(kIW, 524256, 'F'), kIW, 32766, 0, K::Real},
                            {Dev(kMW, 1600, 'd', 1, 4), kMW, 100, 0, K::Bcd16, 1, 3}};
    CheckFlatAddresses(Plc(4), rows);
    CheckFlatAddresses(Plc(3), std::span(rows, 4));

    const AddressRow refused[] = {
        {kMW, 65536, K::Int16, R::NumberOutOfRange, Dev(kMW, 65536 * 16, 'i')},
        {kIB, 0x7FFF0, K::Int16, R::NumberOutOfRange, Dev(kIB, 0x7FFF0, 'i')},
        {40208, 0, K::Bit, R::UnknownDeviceCode},
        {40193, 10, K::BitOffset, R::Ok, Dev(kMB, 0x10000 + 15, 'b'), 5}};
    CheckAddresses(Plc(4), refused);
    CheckAddresses(Plc(1), std::vector<AddressRow>{{kMW, 0, K::BitOffset, R::InvalidDeviceType}});
    CheckBitAddressCodes(
        Plc(4),
        {kIB, kMB, 39936, 39937, 39943, 39944, 40192, 40193, 40207, 40208, kGB, kMW, kIW, kGD},
        {kIB, kMB, 39937, 39943, 40193, 40207, kGB});
}

// Tables and bits of words on types 3-7 only, the code table also on the compact terminal; kind
// lists everywhere, cross kinds but on the compact terminal.
TEST(MpEditor, TablesKindsAndRanges) {
    const std::vector<std::string> names = {"GB", "GD", "GS", "MB", "IB", "IW", "MW"};
    const std::vector<int> codes = {kGB, kGD, kGS, kMB, kIB, kIW, kMW};
    for (int terminal = -1; terminal <= 9; ++terminal) {
        SCOPED_TRACE(terminal);
        const ZorvikanMP plc = Plc(terminal);
        const int t = plc.TerminalType();
        const bool full = t >= 3 && t <= 7;
        CheckTables(plc, full ? names : std::vector<std::string>{},
                    full     ? codes
                    : t == 1 ? std::vector<int>{kGB, kGD, kMB, kIB, kIW, kMW}
                             : std::vector<int>{});
        EXPECT_EQ(plc.CanUseBitOfWord(Dev(kMW, 0, 'i'), 'b'), full);
        EXPECT_EQ(plc.CanUseBitOfWord(Dev(kGD, 0, 'i'), 'b'), full);
        std::vector<std::wstring> words = {L"IW", L"MW"};
        if (t != 6) words.push_back(L"GD");  // no GD for bit data on type 6
        if (t != 1) words.push_back(L"GS");
        CheckKindLists(plc, {L"MB", L"IB", L"GB"}, words, t != 1);
    }

    const KindRow kinds[] = {{Dev(kIB, 0, 'b'), L"IB", 16, "BIT", 0, false},
                             {Dev(kMB, 0, 'i'), L"MB", 10, "BIT", 0, false},
                             {Dev(kIW, 0, 'i'), L"IW", 16, "WORD", 0, true},
                             {Dev(kMW, 1, 'i'), L"MW", 10, "WORD", 0, true},  // out of range
                             {Dev(999, 0, 'i'), L"??", -1, "", -1, false}};
    CheckKinds(Plc(4), kinds);
    CheckRefusedPrefixes(Plc(4), {L"mw", L""});

    const RangeTextRow ranges[] = {
        {Dev(kIB, 0, 'b'), "00000", "7FFFF"},      {Dev(kIB, 0, 'b'), "00000", "7FFF0", 4},
        {Dev(kIB, 0, 'F'), "0000", "7FFE"},        {Dev(kMB, 0, 'b'), "000000", "65534F"},
        {Dev(kMB, 0, 'b'), "000000", "655340", 5}, {Dev(kMB, 0, 'D'), "00000", "65533"},
        {Dev(kIW, 0, 'b'), "0000", "7FFF", 4},     {Dev(kIW, 0, 'I'), "0000", "7FFE"},
        {Dev(kMW, 0, 'U'), "0", "65533"},          {Dev(kGB, 0, 'b'), "0", "65535"}};
    CheckRangeTexts(Plc(4), ranges);
    CheckRangeTextsBoundTheDialog(Plc(4), {"MW"});
    CheckRangeTexts(Plc(1), std::vector<RangeTextRow>{{Dev(kMW, 0, 'i'), "", ""}});
}

// The own station shows as network 1, station 1, unused; a refused record has no texts.
TEST(MpFields, DialogTexts) {
    const FieldsRow rows[] = {
        {Dev(kMB, 31, 'b'), R::Ok, "MB", "00001F", "", 0, "1", "1"},
        {Dev(kIW, 261, 'b'), R::Ok, "IW", "0010", "5", 0, "1", "1"},
        {Dev(kMW, 1600, 'i', 1, 4), R::Ok, "MW", "100", "", 0, "1", "3", 1},
        {Dev(kIB, 17, 'b'), R::InvalidDeviceNumber, "IB", "00011", "", 4, "1", "1"},
        {Dev(kGD, 1605, 'b'), R::Ok, "GD", "100", "5", 0, "1", "1"},
        {Dev(kMW, 1, 'i'), R::InvalidDeviceNumber, "", "", ""}};
    CheckFields(Plc(4), rows);
    const FieldsRow typed[] = {{Dev(kMW, 0, 'i'), R::Ok, "MW", "", ""},
                               {Typed('i'), R::InvalidDeviceFormat, "MW", "1", "", 0, "A", "1", 1},
                               {Typed('i'), R::InvalidDeviceFormat, "MW", "1", "", 0, "1", "-1", 1},
                               {Typed('i'), R::SegmentOutOfRange, "MW", "1", "", 0, "240", "1", 1},
                               {Dev(kMW, 16, 'i'), R::Ok, "MW", "1", "", 0, "1", "1", 0}};
    CheckCompose(Plc(4), typed);
}

TEST(MpShared, TypedTextThroughTheFamily) {
    const ZorvikanMP plc = Plc(4);
    std::wstring text, tag;
    PqDevice d;
    EXPECT_EQ(plc.DeviceToTypedString(Dev(kMW, 1600, 'U', 1, 3), text, false), R::Ok);
    EXPECT_EQ(text, L"1-2:w:MW100");
    EXPECT_EQ(plc.TypedStringToDevice(L"1-2:w:MW100", d, tag, false), R::Ok);
    EXPECT_EQ(d, Dev(kMW, 1600, 'i', 1, 3));
    // A detailed 32-bit tag is checked as a 32-bit access; a plain one as 16 bits.
    EXPECT_EQ(plc.TypedStringToDevice(L"s32:IB7FFF", d, tag, true), R::NumberCrossRange);
    EXPECT_EQ(plc.TypedStringToDevice(L"s32:IB7FFF", d, tag, false), R::Ok);
}

}  // namespace
