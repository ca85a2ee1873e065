// What every family object does the same way: terminal type, remembered devices, fixed queries.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>

#include "support/Devices.h"
#include "support/Printers.h"
#include "families/ZorvikanGL.h"
#include "families/ZorvikanH.h"
#include "families/ZorvikanMP.h"
#include "families/ZorvikanMS.h"
#include "families/ZorvikanSH.h"

namespace {

using pqcore::PqDevice;

using test_support::Dev;

template <class Family>
class FamilyTest : public ::testing::Test {};

using Families = ::testing::Types<ZorvikanGL, ZorvikanSH, ZorvikanH, ZorvikanMS, ZorvikanMP>;
TYPED_TEST_SUITE(FamilyTest, Families);

TYPED_TEST(FamilyTest, DefaultDevices) {
    TypeParam plc;
    const PqDevice expectedBit = Dev(157, 0, 'b');
    const PqDevice expectedWord = Dev(168, 0, 'i');
    // The host interface and the editor interface answer with the same records.
    const pqcore::PqPlcIF& host = plc;
    const CPlcObject& editor = plc;
    for (const PqDevice& d : {host.GetDefaultBitDevice(), editor.GetDefaultBitDevice()}) {
        EXPECT_EQ(d, expectedBit);
        EXPECT_EQ(d.mLabelId, 0u);
        EXPECT_TRUE(d.mSegment.IsNull());
    }
    for (const PqDevice& d : {host.GetDefaultWordDevice(), editor.GetDefaultWordDevice()})
        EXPECT_EQ(d, expectedWord);
}

TYPED_TEST(FamilyTest, TerminalTypeIsStoredInBothCopies) {
    struct Case {
        int given, stored;
    };
    const Case cases[] = {{2, 2},   {0, 0},  {1, 1},         {3, 3},       {4, 4},
                          {5, 5},   {6, 6},  {7, 7},         {8, 4},       {9, 4},
                          {100, 4}, {-1, -1}, {INT_MAX, 4},  {INT_MIN, INT_MIN}};
    TypeParam plc;
    for (const Case& c : cases) {
        EXPECT_EQ(plc.SetTerminalType(c.given), 0);
        EXPECT_EQ(plc.TerminalType(), c.stored) << c.given;
        EXPECT_EQ(plc.EditorTerminalType(), c.stored) << c.given;
        EXPECT_EQ(plc.IsCompactTerminal(), c.stored == 1);
        EXPECT_EQ(plc.IsAvailableForTerminal(0), c.stored != 1);
        EXPECT_EQ(plc.IsAvailableForTerminalEx(123), c.stored != 1);
    }
    EXPECT_EQ(plc.SetCompactTerminal(true), 0);
    EXPECT_EQ(plc.EditorTerminalType(), 1);
    EXPECT_EQ(plc.SetCompactTerminal(false), 0);
    EXPECT_EQ(plc.EditorTerminalType(), 2);
}

TYPED_TEST(FamilyTest, EveryTerminalChangeForgetsTheRememberedDevices) {
    TypeParam a;
    TypeParam b;
    for (int terminal : {2, 2, 1, 9, -3}) {
        TypeParam::LastUsedBitDevice() = Dev(156, 31, 'b');
        TypeParam::LastUsedWordDevice() = Dev(175, 1600, 'I');
        // Another family's remembered devices are not touched.
        ZorvikanMP::LastUsedWordDevice() = Dev(175, 16, 'i');
        if (!std::is_same_v<TypeParam, ZorvikanGL>) ZorvikanGL::LastUsedWordDevice() = Dev(1, 1, 'i');
        // Any object of the family resets what all of them share, also without a change.
        b.SetTerminalType(terminal);
        EXPECT_EQ(TypeParam::LastUsedBitDevice(), a.GetDefaultBitDevice());
        EXPECT_EQ(TypeParam::LastUsedWordDevice(), a.GetDefaultWordDevice());
        if (!std::is_same_v<TypeParam, ZorvikanMP>) {
            EXPECT_EQ(ZorvikanMP::LastUsedWordDevice(), Dev(175, 16, 'i'));
        } else {
            EXPECT_EQ(ZorvikanGL::LastUsedWordDevice(), Dev(1, 1, 'i'));
        }
    }
    b.SetCompactTerminal(true);
    EXPECT_EQ(TypeParam::LastUsedBitDevice(), a.GetDefaultBitDevice());
}

TYPED_TEST(FamilyTest, FixedQueries) {
    TypeParam plc;
    EXPECT_EQ(plc.GetInterfaceLevel(), 3);
    EXPECT_EQ(plc.GetPlcGroupCode(), plc.GetPlcCode());
    EXPECT_FALSE(plc.IsOptionAvailable());
    int base = -1, min = -1, max = -1, digits = -1;
    EXPECT_TRUE(plc.GetBitPositionRange(PqDevice{}, base, min, max, digits));
    EXPECT_EQ(std::tie(base, min, max, digits), std::make_tuple(10, 0, 15, 1));
    EXPECT_EQ(plc.SetEditFlags(5), 5);
    EXPECT_EQ(plc.GetEditFlags(), 5);
    // Internal-device validity: no device passes, a family device does not.
    EXPECT_TRUE(plc.IsInternalDeviceValid(PqDevice{}));
    EXPECT_FALSE(plc.IsInternalDeviceValid(Dev(157, 0, 'b')));
    EXPECT_TRUE(plc.IsInternalDeviceValid(Dev(12290, 5, 'b')));
}

TYPED_TEST(FamilyTest, HostTablesEndWithATerminatorTheirCountLeavesOut) {
    TypeParam plc;
    for (int terminal = -1; terminal <= 9; ++terminal) {
        plc.SetTerminalType(terminal);
        int count = -1;
        if (const char* const* names = plc.GetDeviceNameTable(count, 0)) {
            EXPECT_EQ(names[count], nullptr) << terminal;
        } else {
            EXPECT_EQ(count, 0);
        }
        if (const int* codes = plc.GetDeviceCodeTable(count)) {
            EXPECT_EQ(codes[count], 0) << terminal;
        } else {
            EXPECT_EQ(count, 0);
        }
    }
}

TEST(NetworkFamily, NetworkFeaturesByTerminalType) {
    ZorvikanMP mp;
    ZorvikanSH sh;
    for (int terminal = -1; terminal <= 9; ++terminal) {
        mp.SetTerminalType(terminal);
        sh.SetTerminalType(terminal);
        const int t = mp.TerminalType();
        const bool network = t == 0 || t == 2 || t == 4 || t == 5 || t == 7;
        EXPECT_EQ(mp.IsNetworkAvailable(), network) << terminal;
        EXPECT_EQ(mp.IsNetworkAvailableEx(), network) << terminal;
        EXPECT_FALSE(mp.IsOptionAvailable());
        EXPECT_FALSE(sh.IsNetworkAvailable());
        EXPECT_FALSE(sh.IsNetworkAvailableEx());
        // Own devices may carry a network except where the terminal has none; internal never.
        const bool own = !(t == 1 || t == 3 || t == 6);
        EXPECT_EQ(mp.CanHaveNetwork(Dev(175, 0, 'i')), own) << terminal;
        EXPECT_FALSE(mp.CanHaveNetwork(Dev(12289, 0, 'i')));
        EXPECT_FALSE(mp.CanHaveNetwork(Dev(12290, 0, 'b')));
        EXPECT_FALSE(mp.CanHaveNetwork(PqDevice{}));
        // GS is internal, except on the compact terminal, which has no network anyway.
        EXPECT_FALSE(mp.CanHaveNetwork(Dev(12291, 0, 'i')));
    }
}

TEST(NetworkFamily, RangesAndUnsetNetwork) {
    ZorvikanMP mp;
    int base, min, max, digits;
    EXPECT_TRUE(mp.GetNetworkNumberRange(PqDevice{}, base, min, max, digits));
    EXPECT_EQ(std::tie(base, min, max, digits), std::make_tuple(10, 1, 239, 1));
    EXPECT_TRUE(mp.GetStationNumberRange(PqDevice{}, base, min, max, digits));
    EXPECT_EQ(std::tie(base, min, max, digits), std::make_tuple(10, 1, 64, 1));
    PqDevice d = Dev(175, 0, 'i');
    EXPECT_TRUE(mp.IsNetworkUnset(d));
    d.mSegment.mExtNo = 5;  // not part of the network address
    EXPECT_TRUE(mp.IsNetworkUnset(d));
    d.mSegment.mStationNo = 1;
    EXPECT_FALSE(mp.IsNetworkUnset(d));
    d.mSegment = {1, 0, 0};
    EXPECT_FALSE(mp.IsNetworkUnset(d));
}

}  // namespace
