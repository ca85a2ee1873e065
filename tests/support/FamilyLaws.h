// Shared checks of the family tests: the ranges the contract test walks, table-driven checks of
// what each family decides for itself (texts, results, flat addresses, dialog texts and lists).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "Devices.h"
#include "Printers.h"
#include "plc/CPlcObject.h"
#include "pqcore/PqPlcIF.h"

namespace test_support {

using pqcore::PqDevice;
using R = DeviceResult;
using K = PlcDataKind;

inline constexpr int kDataTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

// The sanitizer build steps through the numbers with a stride that still visits both ends of
// every range; the normal build visits every number.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kLawStride = 61;
#else
inline constexpr int kLawStride = 1;
#endif

struct KindRange {
    int code;
    std::int32_t first;  // numbers [first, end) in the record's units
    std::int32_t end;
};

inline std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}
inline std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// A record of no device, only of the data type a dialog composes.
inline PqDevice Typed(int type) {
    return Dev(0, 0, type);
}

// Parsing `text` as `type` gives `result`; an accepted text gives `device`, which prints as
// `printed` (as `text` itself when left out). The parse keeps the record's channel, nothing else.
struct TextRow {
    const wchar_t* text;
    int type;
    R result;
    PqDevice device{};
    const wchar_t* printed = nullptr;
};

inline void CheckTexts(const pqcore::PqPlcIF& plc, std::span<const TextRow> rows) {
    for (const TextRow& r : rows) {
        SCOPED_TRACE(Narrow(r.text) + " as " + char(r.type));
        PqDevice d = Dev(999, 5, 'F', 1, 1), expected = r.device;
        d.mChannel = expected.mChannel = 7;
        EXPECT_EQ(plc.StringToDevice(r.text, r.type, d), r.result);
        if (r.result != R::Ok) continue;
        EXPECT_EQ(d, expected);
        std::wstring text;
        EXPECT_EQ(plc.DeviceToLocalString(r.device, text), R::Ok);
        EXPECT_EQ(text, r.printed ? r.printed : r.text);
    }
}

// The range check of a run of `count` devices; a refused device prints "??" with that result.
struct RangeRow {
    PqDevice device;
    R result;
    int count = 1;
};

inline void CheckRanges(const pqcore::PqPlcIF& plc, std::span<const RangeRow> rows) {
    for (const RangeRow& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.device) + " x" + std::to_string(r.count));
        EXPECT_EQ(plc.CheckDeviceRange(r.device, r.count), r.result);
        std::wstring text;
        if (r.count == 1 && r.result != R::Ok) {
            EXPECT_EQ(plc.DeviceToLocalString(r.device, text), r.result);
            EXPECT_EQ(text, L"??");
        }
    }
}

// A device's flat address, and back to the same device; the channel travels along.
struct FlatRow {
    PqDevice device;
    int code, address, bit;
    K kind;
    std::uint8_t network = 0, station = 255;
};

inline void CheckFlatAddresses(const pqcore::PqPlcIF& plc, std::span<const FlatRow> rows) {
    for (const FlatRow& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.device));
        PqDevice d = r.device, back;
        d.mChannel = 3;
        PlcAddress a;
        ASSERT_EQ(plc.DeviceToPlcAddress(d, a), R::Ok);
        EXPECT_EQ(std::tie(a.code, a.address, a.bit, a.kind, a.channel, a.network, a.station),
                  std::make_tuple(r.code, r.address, r.bit, r.kind, std::uint8_t{3}, r.network,
                                  r.station));
        EXPECT_EQ(plc.PlcAddressToDevice(a, back), R::Ok);
        EXPECT_EQ(back, d);
    }
}

// A flat address given to the family: the result and the record it leaves.
struct AddressRow {
    int code, address;
    K kind;
    R result;
    PqDevice device{};
    int bit = 0;
};

inline void CheckAddresses(const pqcore::PqPlcIF& plc, std::span<const AddressRow> rows) {
    for (const AddressRow& r : rows) {
        SCOPED_TRACE(std::to_string(r.code) + "/" + std::to_string(r.address));
        const PlcAddress a{.kind = r.kind, .code = r.code, .address = r.address, .bit = r.bit};
        PqDevice d = Dev(5, 5, 'F');
        EXPECT_EQ(plc.PlcAddressToDevice(a, d), r.result);
        EXPECT_EQ(d, r.device);
    }
}

// The flat codes that carry bit devices: only those, only in the bit kind, none on the compact
// terminal.
template <class Plc>
void CheckBitAddressCodes(Plc plc, std::initializer_list<int> codes,
                          std::initializer_list<int> bitCodes) {
    for (int terminal : {2, 1}) {
        plc.SetTerminalType(terminal);
        for (int code : codes) {
            const bool bitCode =
                std::find(bitCodes.begin(), bitCodes.end(), code) != bitCodes.end();
            for (K kind : {K::Bit, K::WordBit, K::Int16})
                EXPECT_EQ(plc.IsPlcBitAddress(PlcAddress{.kind = kind, .code = code}),
                          terminal != 1 && bitCode && kind == K::Bit)
                    << code;
        }
    }
}

// The host's name and code tables in the plc's terminal type, and the device order: the position
// in the tables (a code listed twice: its first place), -1 without a name table.
inline void CheckTables(const pqcore::PqPlcIF& plc, const std::vector<std::string>& names,
                        const std::vector<int>& codes, int which = 0) {
    int count = -1;
    const char* const* n = plc.GetDeviceNameTable(count, which);
    EXPECT_EQ(std::vector<std::string>(n, n + (n ? count : 0)), names);
    const int* c = plc.GetDeviceCodeTable(count);
    EXPECT_EQ(std::vector<int>(c, c + (c ? count : 0)), codes);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (std::find(codes.begin(), codes.begin() + i, codes[i]) != codes.begin() + i) continue;
        EXPECT_EQ(plc.GetDeviceOrder(Dev(codes[i], 0, 'b')), names.empty() ? -1 : int(i) + 1)
            << codes[i];
    }
    EXPECT_EQ(plc.GetDeviceOrder(PqDevice{}), 0);
    EXPECT_EQ(plc.GetDeviceOrder(Dev(999, 0, 'i')), -1);
}

// The dialog's kind lists, appended to what the caller holds: bit kinds under category 1, word
// kinds under 2, the same under 3 and 4 where `cross`, nothing else. Each listed code is the one
// its prefix selects, in a cleared record that keeps its channel unless internal.
inline void CheckKindLists(const CPlcObject& plc, const std::vector<std::wstring>& bits,
                           const std::vector<std::wstring>& words, bool cross) {
    for (int category = 0; category <= 5; ++category) {
        std::vector<std::wstring> names = {L"kept"}, expected = names;
        std::vector<int> codes = {0};
        plc.GetDeviceKinds(category, PqDevice{}, 'b', 0, names, codes);
        if (category == 1 || (category == 3 && cross))
            expected.insert(expected.end(), bits.begin(), bits.end());
        if (category == 2 || (category == 4 && cross))
            expected.insert(expected.end(), words.begin(), words.end());
        if (expected.size() == 1) expected.clear();
        EXPECT_EQ(names, expected) << "category " << category;
        ASSERT_EQ(names.size(), codes.size());
        for (std::size_t i = 1; i < names.size(); ++i) {
            PqDevice d = Dev(175, 160, 'F', 1, 2);
            d.mChannel = 9;
            EXPECT_TRUE(plc.SetDeviceByPrefix(names[i], 'u', d)) << Narrow(names[i]);
            const bool internal = codes[i] >= 12289 && codes[i] <= 12291;  // GD, GB, GS
            EXPECT_EQ(std::tie(d.mCode, d.mType, d.mChannel, d.mSegment),
                      std::make_tuple(codes[i], 'u', internal ? 0 : 9, pqcore::DeviceSegment{}));
        }
    }
}

// Prefixes that name no kind leave a cleared record of the data type.
inline void CheckRefusedPrefixes(const CPlcObject& plc,
                                 std::initializer_list<const wchar_t*> list) {
    for (const wchar_t* prefix : list) {
        PqDevice d = Dev(175, 160, 'F', 1, 2);
        d.mChannel = 9;
        EXPECT_FALSE(plc.SetDeviceByPrefix(prefix, 'u', d)) << Narrow(prefix);
        EXPECT_EQ(d, Typed('u')) << Narrow(prefix);
    }
}

// A family with tables on terminal types 0-7 but the compact one, and kind lists everywhere but
// on the compact terminal; the internal kinds follow the family's own (no GD for bit data on
// type 6).
template <class Plc>
void CheckTablesAndKindLists(const std::vector<std::string>& names, const std::vector<int>& codes,
                             std::vector<std::wstring> bits,
                             const std::vector<std::wstring>& words) {
    bits.push_back(L"GB");
    for (int terminal = -1; terminal <= 9; ++terminal) {
        SCOPED_TRACE("terminal " + std::to_string(terminal));
        Plc plc;
        plc.SetTerminalType(terminal);
        const int t = plc.TerminalType();
        const bool tables = t >= 0 && t <= 7 && t != 1;
        CheckTables(plc, tables ? names : std::vector<std::string>{},
                    tables ? codes : std::vector<int>{});
        std::vector<std::wstring> w = words;
        if (t != 6) w.push_back(L"GD");
        w.push_back(L"GS");
        CheckKindLists(plc, t == 1 ? std::vector<std::wstring>{} : bits,
                       t == 1 ? std::vector<std::wstring>{} : w, t != 1);
    }
}

// What the dialog shows of a device's kind (`kind` empty: a code of no kind). A device is a bit
// or a word device only while the range check accepts it.
struct KindRow {
    PqDevice device;
    const wchar_t* prefix;
    int base;  // -1: left alone
    const char* kind;
    int initial;  // -1: left alone
    bool bitOfWord;
};

template <class Plc>
void CheckKinds(const Plc& plc, std::span<const KindRow> rows) {
    for (const KindRow& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.device));
        std::wstring prefix;
        int base = -1;
        std::int32_t initial = -1;
        CString kind = "stale";
        EXPECT_EQ(plc.GetDevicePrefix(r.device, prefix), *r.kind != '\0');
        EXPECT_EQ(plc.GetNumberBase(r.device, base), *r.kind != '\0');
        plc.GetDeviceKindText(r.device, kind);
        plc.GetInitialNumber(r.device, initial);
        EXPECT_EQ(std::make_tuple(prefix, base, kind.str(), initial),
                  std::make_tuple(r.prefix, r.base, r.kind, r.initial));
        EXPECT_EQ(plc.CanUseBitOfWord(r.device, 'b'), r.bitOfWord);
        EXPECT_FALSE(plc.CanUseBitOfWord(r.device, 'i'));
        const bool ok = plc.CheckDeviceRange(r.device, 1) == R::Ok;
        EXPECT_EQ(plc.IsBitDevice(r.device), ok && kind == "BIT");
        EXPECT_EQ(plc.IsWordDevice(r.device), ok && kind == "WORD");
    }
}

// The number range texts of the kind and type of `device` under the edit flags, each list joined
// with ",".
struct RangeTextRow {
    PqDevice device;
    const char *lows, *highs;
    int flags = 0;
};

template <class Plc>
void CheckRangeTexts(Plc plc, std::span<const RangeTextRow> rows) {
    for (const RangeTextRow& r : rows) {
        plc.SetEditFlags(r.flags);
        std::vector<std::wstring> lows = {L"stale"}, highs = {L"stale"};
        plc.GetNumberRangeTexts(r.device, lows, highs);
        std::string joined[2];
        for (int i : {0, 1})
            for (const std::wstring& t : i ? highs : lows)
                joined[i] += (joined[i].empty() ? "" : ",") + Narrow(t);
        EXPECT_EQ(std::make_tuple(joined[0], joined[1]), std::make_tuple(r.lows, r.highs))
            << ::testing::PrintToString(r.device) << " flags " << r.flags;
    }
}

// Decimal kinds: every low and high text is a number the dialog accepts for the kind, type and
// flags; the numbers just outside each pair are not.
template <class Plc>
void CheckRangeTextsBoundTheDialog(Plc plc, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes) {
        for (int type : kDataTypes) {
            for (int flags : {0, 4}) {
                plc.SetEditFlags(flags);
                PqDevice kind;
                ASSERT_TRUE(plc.SetDeviceByPrefix(Widen(prefix), type, kind));
                std::vector<std::wstring> lows, highs;
                ASSERT_TRUE(plc.GetNumberRangeTexts(kind, lows, highs));
                auto accepts = [&](long number) {
                    DeviceFields fields;
                    fields.prefix = prefix;
                    fields.number = std::to_string(number).c_str();
                    PqDevice d = kind;
                    return plc.FieldsToDevice(d, fields) == R::Ok;
                };
                for (std::size_t i = 0; i < lows.size(); ++i) {
                    const long low = std::stol(lows[i]), high = std::stol(highs[i]);
                    SCOPED_TRACE(prefix + std::string(1, char(type)) + std::to_string(flags) + " " +
                                 std::to_string(low) + ".." + std::to_string(high));
                    EXPECT_TRUE(accepts(low) && accepts(high));
                    EXPECT_FALSE(accepts(low - 1) || accepts(high + 1));
                }
            }
        }
    }
}

// A device's dialog texts; FieldsToDevice composes the device from them in the record the dialog
// starts from (the kind the prefix selects, the device's data type).
struct FieldsRow {
    PqDevice device;
    R result;
    const char *prefix, *number, *bit;
    int flags = 0;
    const char *network = "", *station = "";
    int useNetwork = 0;
};

template <class Plc>
R Compose(const Plc& plc, const FieldsRow& r, PqDevice& d) {
    DeviceFields f{r.prefix, r.number, r.bit, {}, {}, r.network, r.station, {}, r.useNetwork};
    plc.SetDeviceByPrefix(Widen(r.prefix), r.device.mType, d);
    d.mType = r.device.mType;
    return plc.FieldsToDevice(d, f);
}

// Both ways; fields without a number are not composed back.
template <class Plc>
void CheckFields(Plc plc, std::span<const FieldsRow> rows) {
    for (const FieldsRow& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.device));
        plc.SetEditFlags(r.flags);
        DeviceFields f{"stale", "", "", {}, {}, "stale", "stale", {}, 7};
        EXPECT_EQ(plc.DeviceToFields(r.device, f), r.result);
        EXPECT_EQ(std::make_tuple(f.prefix.str(), f.number.str(), f.bit.str(), f.network.str(),
                                  f.station.str(), f.useNetwork),
                  std::make_tuple(r.prefix, r.number, r.bit, r.network, r.station, r.useNetwork));
        PqDevice back;
        if (*r.number != '\0') {
            EXPECT_EQ(Compose(plc, r, back), r.result);
            EXPECT_EQ(back, r.device);
        }
    }
}

// Texts typed by hand: the result, and the device when accepted.
template <class Plc>
void CheckCompose(Plc plc, std::span<const FieldsRow> rows) {
    for (const FieldsRow& r : rows) {
        SCOPED_TRACE(std::string(r.prefix) + "|" + r.number + "|" + r.bit);
        plc.SetEditFlags(r.flags);
        PqDevice d;
        EXPECT_EQ(Compose(plc, r, d), r.result);
        if (r.result == R::Ok) {
            EXPECT_EQ(d, r.device);
        }
    }
}

}  // namespace test_support
