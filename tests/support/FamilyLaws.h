// Laws every family obeys, checked over whole number ranges: a valid device prints, parses back
// to the same record, and travels through its flat address unchanged; no text makes a
// result-code operation throw.
#pragma once

#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "pqcore/PqPlcIF.h"
#include "Devices.h"
#include "Printers.h"

namespace test_support {

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

inline std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// Round trips of every device of the kinds that the family's range check accepts (and, for the
// internal devices, the internal check too), in the plc's current terminal type. The text is the
// full text, or the local one where the family shows a network text it does not read back.
// `decorate` may add fields (a segment) before the check; internal devices come back from their
// flat address without a channel. Returns how many devices were checked.
inline long CheckRoundTrips(const pqcore::PqPlcIF& plc, std::span<const KindRange> kinds,
                            const std::function<void(pqcore::PqDevice&)>& decorate = {},
                            bool fullText = true) {
    long checked = 0;
    for (const KindRange& k : kinds) {
        for (int type : kDataTypes) {
            const std::int32_t step = (type == 'b' ? 1 : 16) * kLawStride;
            const std::int32_t last = type == 'b' ? k.end - 1 : k.end - 16;
            for (std::int32_t n = k.first;; n = n + step < last ? n + step : last) {
                pqcore::PqDevice d = Dev(k.code, n, type);
                d.mChannel = static_cast<std::int32_t>(static_cast<std::uint32_t>(n) % 256);
                if (decorate) decorate(d);
                const bool internal = k.code >= 12289;
                if (plc.CheckDeviceRange(d, 1) == DeviceResult::Ok &&
                    (!internal || plc.IsInternalDeviceValid(d))) {
                    std::wstring text;
                    EXPECT_EQ(fullText ? plc.DeviceToString(d, text) : plc.DeviceToLocalString(d, text),
                              DeviceResult::Ok)
                        << ::testing::PrintToString(d);
                    pqcore::PqDevice back;
                    back.mChannel = d.mChannel;
                    EXPECT_EQ(plc.StringToDevice(text, type, back), DeviceResult::Ok) << Narrow(text);
                    EXPECT_EQ(back, d) << Narrow(text);
                    PlcAddress a;
                    EXPECT_EQ(plc.DeviceToPlcAddress(d, a), DeviceResult::Ok) << Narrow(text);
                    EXPECT_EQ(plc.PlcAddressToDevice(a, back), DeviceResult::Ok) << Narrow(text);
                    pqcore::PqDevice flat = d;
                    if (internal) flat.mChannel = 0;
                    EXPECT_EQ(back, flat) << Narrow(text);
                    if (::testing::Test::HasFailure()) return checked;
                    ++checked;
                }
                if (n >= last) break;
            }
        }
    }
    return checked;
}

// Random texts of any units, up to a few hundred long, in any terminal and data type: every
// result-code operation answers with a code, and a parsed device prints and reads back.
inline void CheckAnyTextGivesAResult(pqcore::PqPlcIF& plc, const std::wstring& alphabet) {
    const auto units = *rc::gen::container<std::vector<wchar_t>>(
        *rc::gen::inRange(0, 300),
        rc::gen::oneOf(rc::gen::map(rc::gen::inRange(0, 0x10000),
                                    [](int v) { return static_cast<wchar_t>(v); }),
                       rc::gen::elementOf(alphabet)));
    const std::wstring text(units.begin(), units.end());
    plc.SetTerminalType(*rc::gen::inRange(-1, 9));
    const int type = *rc::gen::elementOf(std::vector<int>{'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F', 'q'});
    pqcore::PqDevice d;
    const auto r = plc.StringToDevice(text, type, d);
    RC_ASSERT(static_cast<int>(r) >= 0 && static_cast<int>(r) <= 9);
    if (r == DeviceResult::Ok) {
        // Whatever is accepted prints, and its text reads back as the same device (the network
        // part, which only some terminal types read, aside).
        std::wstring out;
        RC_ASSERT(plc.DeviceToLocalString(d, out) == DeviceResult::Ok);
        pqcore::PqDevice again;
        RC_ASSERT(plc.StringToDevice(out, type, again) == DeviceResult::Ok);
        again.mSegment = d.mSegment;
        RC_ASSERT(again == d);
    }
    std::wstring tag;
    const auto t = plc.TypedStringToDevice(text, d, tag, *rc::gen::arbitrary<bool>());
    RC_ASSERT(static_cast<int>(t) >= 0 && static_cast<int>(t) <= 9);
}

}  // namespace test_support
