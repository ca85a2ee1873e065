// The GL family: decimal numbers counted from 1, the three blocks of D, R and SR, the flat codes
// of SW and SR, tables and dialog fields. Round trips are the contract test's; the range ends of
// every kind and type are pinned by the range texts, which must bound what the dialog accepts.
#include <gtest/gtest.h>

#include "families/ZorvikanGL.h"
#include "support/FamilyLaws.h"

namespace {

using namespace test_support;

constexpr int kI = 156, kO = 157, kD = 160, kZ = 168, kW = 175, kSW = 177, kR = 180, kK = 204,
              kSR = 46100, kGD = 12289, kGB = 12290, kGS = 12291;

ZorvikanGL Plc(int terminal) {
    ZorvikanGL plc;
    plc.SetTerminalType(terminal);
    return plc;
}

// One text per kind; bit kinds take no bit suffix and eight digits at most; D's blocks are
// 1-2048, 10001-12048 and 20001-22048, R and SR count words the same way and only the last
// block's end is a crossing; a number out of range is refused before the rest of the text.
TEST(GlText, ParsedAndPrinted) {
    const TextRow rows[] = {{L"o1", 'b', R::Ok, Dev(kO, 0, 'b'), L"O1"},
                            {L"I63424", 'b', R::Ok, Dev(kI, 63423, 'b')},
                            {L"I5.3", 'b', R::InvalidDeviceFormat},
                            {L"I000000001", 'b', R::InvalidDeviceFormat},
                            {L"O2", 'i', R::InvalidDeviceNumber},
                            {L"D10000", 'b', R::NumberOutOfRange},
                            {L"D10001", 'b', R::Ok, Dev(kD, 2048, 'b')},
                            {L"D22033", 'i', R::Ok, Dev(kD, 6128, 'i')},
                            {L"D3000X", 'b', R::NumberOutOfRange},
                            {L"Z2.3", 'b', R::Ok, Dev(kZ, 19, 'b'), L"Z2.b3"},
                            {L"Z 1", 'b', R::Ok, Dev(kZ, 0, 'b'), L"Z1.b0"},
                            {L"Z2.b3", 'i', R::InvalidDeviceType},
                            {L"W28291", 'u', R::Ok, Dev(kW, 452640, 'u')},
                            {L"SW28291.b15", 'b', R::Ok, Dev(kSW, 452655, 'b')},
                            {L"K4096", 'd', R::Ok, Dev(kK, 65520, 'd')},
                            {L"R10001", 'i', R::Ok, Dev(kR, 32768, 'i')},
                            {L"SR22048.b15", 'b', R::Ok, Dev(kSR, 98303, 'b')},
                            {L"R2048", 'I', R::NumberOutOfRange},
                            {L"R22048", 'I', R::NumberCrossRange},
                            {L"Z1X", 'i', R::InvalidDeviceFormat},
                            {L"XY1", 'i', R::InvalidDeviceName}};
    CheckTexts(Plc(2), rows);
    const TextRow compact[] = {{L"GB0", 'i', R::InvalidDeviceType},
                               {L"SR1", 'i', R::Ok, Dev(kSR, 0, 'i')}};
    CheckTexts(Plc(1), compact);
    // No network part: a segment is not looked at, and not shown.
    std::wstring text, network = L"stale";
    EXPECT_EQ(Plc(2).DeviceToString(Dev(kSW, 64, 'i', 1, 4), text), R::Ok);
    EXPECT_EQ(Plc(2).NetworkToString(Dev(kSW, 64, 'i', 1, 4), network), R::Ok);
    EXPECT_EQ(text + L"|" + network, L"SW5|");
}

// Runs end at their block's end; a negative count asks for a huge run.
TEST(GlRange, RunsAndRangeTexts) {
    const RangeRow runs[] = {{Dev(kD, 2047, 'b'), R::NumberCrossRange, 2},
                             {Dev(kD, 4080, 'i'), R::NumberCrossRange, 2},
                             {Dev(kR, 32767, 'b'), R::NumberOutOfRange, 2},
                             {Dev(kR, 98303, 'b'), R::NumberCrossRange, 2},
                             {Dev(kK, 0, 'i'), R::NumberCrossRange, 4097},
                             {Dev(kW, 0, 'i'), R::Ok, 0},
                             {Dev(kW, 0, 'i'), R::NumberCrossRange, -1},
                             {Dev(kZ, 17, 'q'), R::InvalidDeviceNumber},
                             {Dev(999, 0, 'i'), R::UnknownDeviceCode},
                             {Dev(kGB, 5, 'b', 1, 0), R::SegmentOutOfRange}};
    CheckRanges(Plc(2), runs);
    // The range texts bound what the dialog accepts, for every kind, type and flag; here the
    // blocks, and any type but the known ones counts as 32-bit.
    const char* blocks = "1,10001,20001";
    const RangeTextRow texts[] = {{Dev(kD, 0, 'u'), blocks, "2033,12033,22033"},
                                  {Dev(kSR, 0, 'q'), blocks, "2047,12047,22047"},
                                  {Dev(kGB, 0, 'b'), "0", "16383"},
                                  {Dev(999, 0, 'i'), "", ""}};
    CheckRangeTexts(Plc(2), texts);
    CheckRangeTextsBoundTheDialog(Plc(2), {"I", "O", "D", "Z", "W", "SW", "R", "SR", "K"});
}

TEST(GlFlatAddress, BothWays) {
    const FlatRow rows[] = {{Dev(kI, 0, 'b'), kI, 1, 0, K::Bit},
                            {Dev(kO, 63423, 'b'), kO, 63424, 0, K::Bit},
                            {Dev(kD, 2048, 'b'), kD, 10001, 0, K::Bit},
                            {Dev(kD, 6128, 'i'), kD, 22033, 0, K::Int16},
                            {Dev(kZ, 19, 'b'), kZ, 2, 3, K::WordBit},
                            {Dev(kW, 16, 'u'), kW, 2, 0, K::UInt16},
                            {Dev(kSW, 64, 'i'), 45056, 5, 0, K::Int16},
                            {Dev(kR, 65551, 'b'), kR, 20001, 15, K::WordBit},
                            {Dev(kSR, 32768, 'i'), 46080, 10001, 0, K::Int16},
                            {Dev(kK, 65504, 'F'), kK, 4095, 0, K::Real},
                            {Dev(kGD, 1605, 'b'), kGD, 100, 5, K::WordBit}};
    CheckFlatAddresses(Plc(2), rows);
    CheckFlatAddresses(Plc(1), std::vector<FlatRow>{{Dev(kGB, 5, 'b'), 3841, 5, 0, K::Bit}});

    // Numbers in the gaps between the blocks land in the next block (D3000 is D10952); SW's
    // record code is no flat code; a kind the form refuses gives no device; any number converts
    // in 32-bit arithmetic before the address is refused.
    const AddressRow addresses[] = {
        {kD, 3000, K::Bit, R::Ok, Dev(kD, 2999, 'b')},
        {kSW, 5, K::Int16, R::UnknownDeviceCode},
        {kI, 10, K::BitOffset, R::Ok, Dev(kI, 14, 'b'), 5},
        {kR, 1, K::BitOffset, R::Ok},
        {kD, 0x7FFFFFFF, K::Bit, R::NumberOutOfRange, Dev(kD, 439807550, 'b')},
        {kR, -0x7FFFFFFF - 1, K::WordBit, R::NumberOutOfRange, Dev(kR, 1553013743, 'b'), -1}};
    CheckAddresses(Plc(2), addresses);
    CheckAddresses(Plc(1), std::vector<AddressRow>{{kZ, 1, K::BitOffset, R::InvalidDeviceType}});
    CheckBitAddressCodes(Plc(2), {kI, kO, kD, kGB, kZ, kW, 45056, kR, 46080, kK, kGD, 3841},
                         {kI, kO, kD, kGB});
}

TEST(GlEditor, TablesKindsPrefixesAndFields) {
    CheckTablesAndKindLists<ZorvikanGL>(
        {"GB", "GD", "GS", "O", "I", "D", "Z", "W", "SW", "R", "SR", "K"},
        {kGB, kGD, kGS, kO, kI, kD, kZ, kW, kSW, kR, kSR, kK}, {L"O", L"I", L"D"},
        {L"Z", L"W", L"SW", L"R", L"SR", L"K"});
    const KindRow kinds[] = {{Dev(kD, 0, 'i'), L"D", 10, "BIT", 1, false},
                             {Dev(kK, 1, 'i'), L"K", 10, "WORD", 1, true},  // out of range
                             {Dev(kGD, 0, 'i'), L"GD", 10, "WORD", 0, true},
                             {Dev(999, 0, 'i'), L"??", -1, "", -1, false}};
    CheckKinds(Plc(2), kinds);
    CheckRefusedPrefixes(Plc(2), {L"sr", L"S", L"SWX", L""});
    // GS is no internal device on the compact terminal: the channel stays.
    PqDevice d;
    d.mChannel = 9;
    EXPECT_TRUE(Plc(1).SetDeviceByPrefix(L"GS", 'u', d));
    EXPECT_EQ(d.mChannel, 9);

    // A refused record still shows its kind; an empty number is the first, 1.
    const FieldsRow rows[] = {{Dev(kSR, 65551, 'b'), R::Ok, "SR", "20001", "15"},
                              {Dev(kI, 17, 'b'), R::InvalidDeviceNumber, "I", "18", "", 4},
                              {Dev(kO, 1, 'i'), R::InvalidDeviceNumber, "O", "", ""}};
    CheckFields(Plc(2), rows);
    const FieldsRow typed[] = {{Dev(kZ, 0, 'i'), R::Ok, "Z", "", ""},
                               {Typed('i'), R::UnknownDeviceCode, "??", "1", ""},
                               {Typed('i'), R::InvalidDeviceFormat, "Z", "+1", ""},
                               {Typed('b'), R::NumberOutOfRange, "Z", "1", "16"},
                               {Typed('b'), R::NumberOutOfRange, "D", "3000", ""}};
    CheckCompose(Plc(2), typed);
    // A run entered in the dialog stays in the block of the record it continues.
    const std::tuple<PqDevice, PqDevice, int, R> runs[] = {
        {Dev(kD, 2047, 'b'), Dev(kD, 0, 'b'), 1, R::Ok},
        {Dev(kD, 2047, 'b'), Dev(kD, 2048, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kD, 2040, 'b'), Dev(kD, 2040, 'b'), 9, R::NumberCrossRange},
        {Dev(kSR, 65536, 'i'), Dev(kSR, 65535, 'b'), 1, R::InvalidDeviceNumber},
        {Dev(kSR, 65536, 'i'), Dev(kSR, 98303, 'b'), 1, R::Ok}};
    for (auto [device, reference, count, result] : runs) {
        DeviceFields fields;
        EXPECT_EQ(Plc(2).CheckDeviceFields(fields, device, count, reference), result)
            << device.mNumber << " after " << reference.mNumber;
    }
}

}  // namespace
