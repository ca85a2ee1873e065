// The SH family: the MP kinds with SH's ranges, padding, blocks and tables, no network part.
#include <gtest/gtest.h>

#include "families/ZorvikanSH.h"
#include "support/FamilyLaws.h"

namespace {

using namespace test_support;

constexpr int kIB = 156, kMB = 157, kIW = 168, kMW = 175, kGS = 12291;

ZorvikanSH Plc(int terminal) {
    ZorvikanSH plc;
    plc.SetTerminalType(terminal);
    return plc;
}

TEST(ShText, ParsedAndPrinted) {
    const TextRow rows[] = {
        {L"IBFFFF", 'b', R::Ok, Dev(kIB, 65535, 'b')},
        {L"IB1F", 'b', R::Ok, Dev(kIB, 31, 'b'), L"IB001F"},
        {L"IB10000", 'b', R::InvalidDeviceFormat},
        {L"IBFFF", 'i', R::Ok, Dev(kIB, 65520, 'i')},
        {L"IBFFF", 'I', R::NumberCrossRange},
        {L"MB32767F", 'b', R::Ok, Dev(kMB, 524287, 'b')},
        {L"MB32768F", 'b', R::NumberOutOfRange},
        {L"MB1F", 'b', R::Ok, Dev(kMB, 31, 'b'), L"MB0001F"},
        {L"MB100", 'i', R::Ok, Dev(kMB, 1600, 'i'), L"MB0100"},
        {L"MW32767", 'i', R::Ok, Dev(kMW, 524272, 'i')},
        {L"MW32768", 'i', R::NumberOutOfRange},
        {L"MW8388609", 'i', R::NumberOutOfRange},
        {L"MW100.b3", 'u', R::InvalidDeviceType},
        {L"IW7FFF.B15", 'b', R::Ok, Dev(kIW, 524287, 'b'), L"IW7FFF.b15"},
        {L"IW7FFF.16", 'b', R::InvalidDeviceFormat},
    };
    CheckTexts(Plc(2), rows);
    // No network part, on any terminal.
    CheckTexts(Plc(4), std::vector<TextRow>{{L"1-3 MW100", 'i', R::InvalidDeviceName}});
    // The compact terminal: MB ends at word 4095, bit kinds only as bits.
    const TextRow compact[] = {{L"MB40960", 'b', R::NumberOutOfRange},
                               {L"MB4095F", 'b', R::Ok, Dev(kMB, 65535, 'b')},
                               {L"MB100", 'i', R::InvalidDeviceType}};
    CheckTexts(Plc(1), compact);
    CheckTexts(Plc(6), std::vector<TextRow>{{L"MW100", 'b', R::InvalidDeviceType}});

    // A segment is never looked at, and never shown.
    std::wstring text = L"stale";
    EXPECT_EQ(Plc(4).DeviceToString(Dev(kMW, 1600, 'i', 300, 99), text), R::Ok);
    EXPECT_EQ(text, L"MW100");
    EXPECT_EQ(Plc(4).NetworkToString(Dev(kMW, 1600, 'i', 1, 1), text), R::Ok);
    EXPECT_EQ(text, L"");
}

TEST(ShFlatAddress, OnlyMbHasBlocks) {
    const FlatRow rows[] = {{Dev(kMB, 0xFFFF, 'b'), kMB, 0xFFFF, 0, K::Bit},
                            {Dev(kMB, 0x10000, 'i'), 40193, 0, 0, K::Int16},
                            {Dev(kMB, 0x7FFFF, 'b'), 40199, 0xFFFF, 0, K::Bit},
                            {Dev(kIB, 0xFFFF, 'b'), kIB, 0xFFFF, 0, K::Bit},
                            {Dev(kIB, 0xFFF0, 'i'), kIB, 0xFFF0, 0, K::Int16},
                            {Dev(kMW, 1603, 'b'), kMW, 100, 3, K::WordBit},
                            {Dev(kIW, 16, 'u'), kIW, 1, 0, K::UInt16}};
    CheckFlatAddresses(Plc(2), rows);
    CheckFlatAddresses(Plc(4), rows);
    // Words beyond the blocks keep their own code as bits (the range check refuses them).
    PlcAddress a;
    EXPECT_EQ(Plc(2).DeviceToPlcAddress(Dev(kMB, 0x80000, 'b'), a), R::NumberOutOfRange);
    EXPECT_EQ(std::tie(a.code, a.address, a.kind), std::make_tuple(kMB, 0x80000, K::Bit));

    const AddressRow refused[] = {
        {40200, 0, K::Bit, R::UnknownDeviceCode},
        {39937, 0, K::Bit, R::UnknownDeviceCode},
        {kMW, 65536, K::Int16, R::NumberOutOfRange, Dev(kMW, 65536 * 16, 'i')}};
    CheckAddresses(Plc(2), refused);
    CheckBitAddressCodes(Plc(2), {kIB, kMB, 40193, 40199, 40200, 39937, kMW},
                         {kIB, kMB, 40193, 40199});
}

TEST(ShTables, ByTerminalType) {
    const std::vector<std::string> names = {"GB", "GD", "GS", "MB", "IB", "IW", "MW"};
    const std::vector<int> codes = {12290, 12289, kGS, kMB, kIB, kIW, kMW};
    for (int terminal = -1; terminal <= 9; ++terminal) {
        SCOPED_TRACE(terminal);
        const ZorvikanSH plc = Plc(terminal);
        const int t = plc.TerminalType();
        if (t == 1) {
            CheckTables(plc, {"GB", "GD", "MB", "IB", "IW", "MW"},
                        {12290, 12289, kMB, kIB, kIW, kMW}, 1);
        } else {
            const bool offered = t >= 0 && t <= 7;
            CheckTables(plc, offered ? names : std::vector<std::string>{},
                        offered ? codes : std::vector<int>{}, 1);
        }
        if (t < 0 || t > 7) continue;
        // Kind lists on every terminal, cross kinds neither on the compact one nor on type 6; bits
        // of words but on the compact terminal.
        std::vector<std::wstring> words = {L"IW", L"MW"};
        if (t != 6) words.push_back(L"GD");  // no GD for bit data on type 6
        if (t != 1) words.push_back(L"GS");
        CheckKindLists(plc, {L"MB", L"IB", L"GB"}, words, t != 1 && t != 6);
        EXPECT_EQ(plc.CanUseBitOfWord(Dev(kMW, 0, 'i'), 'b'), t != 1);
        EXPECT_FALSE(plc.CanUseBitOfWord(Dev(kIB, 0, 'i'), 'b'));
    }
}

TEST(ShEditor, RangeTextsAndFields) {
    const RangeTextRow ranges[] = {
        {Dev(kIB, 0, 'b'), "0000", "FFFF"},  {Dev(kIB, 0, 'b'), "0000", "FFF0", 4},
        {Dev(kIB, 0, 'F'), "000", "FFE"},    {Dev(kMB, 0, 'b'), "00000", "32767F"},
        {Dev(kMB, 0, 'd'), "0000", "32767"}, {Dev(kIW, 0, 'I'), "0000", "7FFE"},
        {Dev(kMW, 0, 'F'), "0", "32766"}};
    CheckRangeTexts(Plc(2), ranges);
    const RangeTextRow compact[] = {{Dev(kMB, 0, 'b'), "00000", "4095F"},
                                    {Dev(kMB, 0, 'U'), "0000", "4094"},
                                    {Dev(kMW, 0, 'i'), "0", "32767"}};
    CheckRangeTexts(Plc(1), compact);

    // No network texts; the network fields are ignored.
    CheckFields(Plc(4), std::vector<FieldsRow>{{Dev(kMB, 31, 'b'), R::Ok, "MB", "0001F", ""}});
    CheckCompose(Plc(4), std::vector<FieldsRow>{
                             {Dev(kMB, 31, 'b'), R::Ok, "MB", "0001F", "", 0, "1", "3", 1}});
}

}  // namespace
