// What every family object does the same way: terminal type, remembered devices, fixed queries,
// host tables, and an answer for any text.
#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <climits>
#include <string>
#include <tuple>
#include <type_traits>

#include "families/ZorvikanGL.h"
#include "families/ZorvikanH.h"
#include "families/ZorvikanMP.h"
#include "families/ZorvikanMS.h"
#include "families/ZorvikanSH.h"
#include "support/Devices.h"
#include "support/FamilyLaws.h"
#include "support/Printers.h"

namespace {

using pqcore::PqDevice;
using test_support::Dev;

template <class Family>
class FamilyTest : public ::testing::Test {};

using Families = ::testing::Types<ZorvikanGL, ZorvikanSH, ZorvikanH, ZorvikanMS, ZorvikanMP>;
TYPED_TEST_SUITE(FamilyTest, Families);

// The host's fixed answers are the module test's; here the editor interface's own.
TYPED_TEST(FamilyTest, FixedAnswers) {
    TypeParam plc;
    const CPlcObject& editor = plc;
    EXPECT_EQ(editor.GetDefaultBitDevice(), Dev(157, 0, 'b'));
    EXPECT_EQ(editor.GetDefaultWordDevice(), Dev(168, 0, 'i'));
    int base = -1, min = -1, max = -1, digits = -1;
    EXPECT_TRUE(plc.GetBitPositionRange(PqDevice{}, base, min, max, digits));
    EXPECT_EQ(std::tie(base, min, max, digits), std::make_tuple(10, 0, 15, 1));
    EXPECT_EQ(plc.SetEditFlags(5), 5);
    EXPECT_EQ(plc.GetEditFlags(), 5);
    EXPECT_TRUE(plc.IsInternalDeviceValid(PqDevice{}));
    EXPECT_FALSE(plc.IsInternalDeviceValid(Dev(157, 0, 'b')));
}

TYPED_TEST(FamilyTest, TerminalTypeIsStoredInBothCopies) {
    const std::pair<int, int> cases[] = {
        {2, 2}, {0, 0}, {1, 1}, {7, 7}, {8, 4}, {9, 4}, {INT_MAX, 4}, {-1, -1}, {INT_MIN, INT_MIN}};
    TypeParam plc;
    for (const auto& [given, stored] : cases) {
        EXPECT_EQ(plc.SetTerminalType(given), 0);
        EXPECT_EQ(std::make_tuple(plc.TerminalType(), plc.EditorTerminalType()),
                  std::make_tuple(stored, stored))
            << given;
        EXPECT_EQ(plc.IsCompactTerminal(), stored == 1);
        EXPECT_EQ(plc.IsAvailableForTerminal(0), stored != 1);
        EXPECT_EQ(plc.IsAvailableForTerminalEx(123), stored != 1);
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
        using Other =
            std::conditional_t<std::is_same_v<TypeParam, ZorvikanMP>, ZorvikanGL, ZorvikanMP>;
        Other::LastUsedWordDevice() = Dev(175, 16, 'i');
        // Any object of the family resets what all of them share, also without a change.
        b.SetTerminalType(terminal);
        EXPECT_EQ(TypeParam::LastUsedBitDevice(), a.GetDefaultBitDevice());
        EXPECT_EQ(TypeParam::LastUsedWordDevice(), a.GetDefaultWordDevice());
        EXPECT_EQ(Other::LastUsedWordDevice(), Dev(175, 16, 'i'));
    }
    TypeParam::LastUsedBitDevice() = Dev(156, 31, 'b');
    b.SetCompactTerminal(true);
    EXPECT_EQ(TypeParam::LastUsedBitDevice(), a.GetDefaultBitDevice());
}

// Host tables end with a terminator their count leaves out; there are two name tables only.
TYPED_TEST(FamilyTest, HostTables) {
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
        for (int which : {-1, 2}) {
            EXPECT_EQ(plc.GetDeviceNameTable(count, which), nullptr);
            EXPECT_EQ(count, 0);
        }
    }
}

// Random texts of any units, up to a few hundred long, in any terminal and data type: every
// result-code operation answers with a code, and a parsed device prints and reads back.
void CheckAnyTextGivesAResult(pqcore::PqPlcIF& plc, const std::wstring& alphabet) {
    const auto units = *rc::gen::container<std::vector<wchar_t>>(
        *rc::gen::inRange(0, 300),
        rc::gen::oneOf(rc::gen::map(rc::gen::inRange(0, 0x10000),
                                    [](int v) { return static_cast<wchar_t>(v); }),
                       rc::gen::elementOf(alphabet)));
    const std::wstring text(units.begin(), units.end());
    plc.SetTerminalType(*rc::gen::inRange(-1, 9));
    const int type = *rc::gen::element('b', 'i', 'u', 'd', 'I', 'U', 'D', 'F', 'q');
    PqDevice d;
    const auto r = plc.StringToDevice(text, type, d);
    RC_ASSERT(static_cast<int>(r) >= 0 && static_cast<int>(r) <= 9);
    if (r == DeviceResult::Ok) {
        // Whatever is accepted prints, and its text reads back as the same device (the network
        // part, which only some terminal types read, aside).
        std::wstring out;
        RC_ASSERT(plc.DeviceToLocalString(d, out) == DeviceResult::Ok);
        PqDevice again;
        RC_ASSERT(plc.StringToDevice(out, type, again) == DeviceResult::Ok);
        again.mSegment = d.mSegment;
        RC_ASSERT(again == d);
    }
    std::wstring tag;
    const auto t = plc.TypedStringToDevice(text, d, tag, *rc::gen::arbitrary<bool>());
    RC_ASSERT(static_cast<int>(t) >= 0 && static_cast<int>(t) <= 9);
}

// No text makes a result-code operation throw, in any terminal type and data type.
TYPED_TEST(FamilyTest, AnyTextGivesAResult) {
    EXPECT_TRUE(rc::check([] {
        TypeParam plc;
        CheckAnyTextGivesAResult(plc, L"0123456789ABDEFGIKMORSWZbox-. :");
    }));
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
        EXPECT_FALSE(sh.IsNetworkAvailable() || sh.IsNetworkAvailableEx());
        // Own devices may carry a network except where the terminal has none; internal never
        // (GS is internal except on the compact terminal, which has no network anyway).
        EXPECT_EQ(mp.CanHaveNetwork(Dev(175, 0, 'i')), t != 1 && t != 3 && t != 6) << terminal;
        for (int code : {0, 12289, 12290, 12291})
            EXPECT_FALSE(mp.CanHaveNetwork(Dev(code, 0, 'i')));
    }
    int base, min, max, digits;
    EXPECT_TRUE(mp.GetNetworkNumberRange(PqDevice{}, base, min, max, digits));
    EXPECT_EQ(std::tie(base, min, max, digits), std::make_tuple(10, 1, 239, 1));
    EXPECT_TRUE(mp.GetStationNumberRange(PqDevice{}, base, min, max, digits));
    EXPECT_EQ(std::tie(base, min, max, digits), std::make_tuple(10, 1, 64, 1));
    // The extension number is no part of the network address.
    EXPECT_TRUE(mp.IsNetworkUnset(Dev(175, 0, 'i')));
    for (const pqcore::DeviceSegment s : {pqcore::DeviceSegment{0, 0, 5}, {0, 1, 0}, {1, 0, 0}}) {
        PqDevice d = Dev(175, 0, 'i');
        d.mSegment = s;
        EXPECT_EQ(mp.IsNetworkUnset(d), s.mExtNo != 0);
    }
}

}  // namespace
