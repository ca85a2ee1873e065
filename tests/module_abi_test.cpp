// The module as the screen editor sees it: loaded at run time, reached only through its three
// entry points, and driven through a declaration of the PLC interface written here on the host's
// side, independently of the module's own headers. A reordered, inserted or missing operation
// makes these calls land on the wrong function.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "pqcore/PqPlcIF.h"
#include "support/Devices.h"
#include "support/Printers.h"

namespace host_view {

using pqcore::PqDevice;

// The host's view of a PLC object: results are plain ints, operations in their fixed order.
class Plc {
public:
    virtual ~Plc() = default;
    virtual int GetPlcCode() const = 0;
    virtual int GetPlcGroupCode() const = 0;
    virtual std::wstring GetPlcId() const = 0;
    virtual PqDevice GetDefaultBitDevice() const = 0;
    virtual PqDevice GetDefaultWordDevice() const = 0;
    virtual int DeviceToString(const PqDevice&, std::wstring&) const = 0;
    virtual int DeviceToTypedString(const PqDevice&, std::wstring&, bool) const = 0;
    virtual int DeviceToLocalString(const PqDevice&, std::wstring&) const = 0;
    virtual int NetworkToString(const PqDevice&, std::wstring&) const = 0;
    virtual int StringToDevice(const std::wstring&, int, PqDevice&) const = 0;
    virtual int TypedStringToDevice(const std::wstring&, PqDevice&, std::wstring&, bool) const = 0;
    virtual int CheckDeviceRange(const PqDevice&, int) const = 0;
    virtual int SetCompactTerminal(bool) = 0;
    virtual int SetTerminalType(int) = 0;
    virtual bool IsNetworkAvailable() const = 0;
    virtual bool IsNetworkAvailableEx() const = 0;
    virtual bool IsOptionAvailable() const = 0;
    virtual int DeviceToPlcAddress(const PqDevice&, PlcAddress&) const = 0;
    virtual int PlcAddressToDevice(const PlcAddress&, PqDevice&) const = 0;
    virtual bool IsPlcBitAddress(const PlcAddress&) const = 0;
    virtual bool IsAvailableForTerminal(int) const = 0;
    virtual bool IsAvailableForTerminalEx(int) const = 0;
    virtual bool IsBitOffsetAddress(const PlcAddress&) const = 0;
    virtual int GetInterfaceLevel() const = 0;
    virtual bool IsBitDevice(const PqDevice&) const = 0;
    virtual bool IsWordDevice(const PqDevice&) const = 0;
    virtual int CompareDevices(const PqDevice&, const PqDevice&, bool) const = 0;
    virtual int GetDeviceOrder(const PqDevice&) const = 0;
    virtual const char* const* GetDeviceNameTable(int&, int) const = 0;
    virtual const int* GetDeviceCodeTable(int&) const = 0;
    virtual bool IsInternalDeviceValid(const PqDevice&) const = 0;
    virtual bool EditDevice(int, int, int, PqDevice&, int) = 0;
    // Behind the host's operations.
    virtual int GetDataTypeTag(const PqDevice&, std::wstring&, bool) const = 0;
};

// The network family adds four operations behind those.
class NetworkPlc : public Plc {
public:
    virtual bool GetNetworkNumberRange(const PqDevice&, int&, int&, int&, int&) const = 0;
    virtual bool GetStationNumberRange(const PqDevice&, int&, int&, int&, int&) const = 0;
    virtual bool IsNetworkUnset(const PqDevice&) const = 0;
    virtual bool CanHaveNetwork(const PqDevice&) const = 0;
};

}  // namespace host_view

namespace {

using pqcore::PqDevice;
using test_support::Dev;

// Every operation of the interface but the dialog, in several terminal settings, as one text:
// results, out-arguments and table addresses.
template <class P>
std::string Trace(P& plc) {
    std::ostringstream out;
    const auto put = [&](const auto&... v) {
        ((out << ::testing::PrintToString(v) << ' '), ...);
        out << '\n';
    };
    const auto i = [](auto result) { return static_cast<int>(result); };
    const PqDevice devices[] = {Dev(0, 0, 'b'), Dev(157, 31, 'b'), Dev(175, 1600, 'I', 1, 4),
                                Dev(12289, 1605, 'b'), Dev(12291, 16, 'q')};
    for (const int terminal : {0, 4, -1}) {  // -1: compact
        put(terminal < 0 ? plc.SetCompactTerminal(true) : plc.SetTerminalType(terminal));
        put(plc.GetPlcCode(), plc.GetPlcGroupCode(), plc.GetPlcId(), plc.GetDefaultBitDevice(),
            plc.GetDefaultWordDevice(), plc.GetInterfaceLevel(), plc.IsNetworkAvailable(),
            plc.IsNetworkAvailableEx(), plc.IsOptionAvailable(), plc.IsAvailableForTerminal(0),
            plc.IsAvailableForTerminalEx(0));
        for (const PqDevice& d : devices) {
            std::wstring t[5];
            PlcAddress a;
            PqDevice parsed[3];
            put(i(plc.DeviceToString(d, t[0])), i(plc.DeviceToLocalString(d, t[1])),
                i(plc.NetworkToString(d, t[2])), i(plc.DeviceToTypedString(d, t[3], true)), t[0],
                t[1], t[2], t[3], i(plc.CheckDeviceRange(d, 2)), i(plc.DeviceToPlcAddress(d, a)), a,
                i(plc.PlcAddressToDevice(a, parsed[0])), parsed[0], plc.IsPlcBitAddress(a),
                plc.IsBitOffsetAddress(a), plc.IsBitDevice(d), plc.IsWordDevice(d),
                plc.GetDeviceOrder(d), plc.IsInternalDeviceValid(d),
                plc.CompareDevices(d, devices[1], true), plc.CompareDevices(devices[1], d, false),
                i(plc.StringToDevice(t[1], d.mType, parsed[1])), parsed[1],
                i(plc.TypedStringToDevice(t[3], parsed[2], t[4], true)), parsed[2], t[4]);
        }
        for (const int which : {0, 1, 2}) {
            int count = -1;
            put(static_cast<const void*>(plc.GetDeviceNameTable(count, which)), count);
        }
        int count = -1;
        put(static_cast<const void*>(plc.GetDeviceCodeTable(count)), count);
    }
    put(plc.SetCompactTerminal(false), plc.SetTerminalType(0));
    return out.str();
}

struct Family {
    const wchar_t* id;
    int code;
    bool network;
};

// Through the three exports, each family answers in every slot as through the module's own
// declaration, and the operations behind the interface answer too.
TEST(LoadedModule, EveryFamilyAnswersInEverySlot) {
    void* const module = dlopen(ZV_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto create =
        reinterpret_cast<host_view::Plc* (*)(const std::wstring&)>(dlsym(module, "CreatePlc"));
    const auto idNames = reinterpret_cast<void (*)(std::wstring&)>(dlsym(module, "GetPlcIdNames"));
    const auto free = reinterpret_cast<void (*)(host_view::Plc*)>(dlsym(module, "FreePlc"));
    ASSERT_TRUE(create && idNames && free);
    std::wstring names = L"left over";
    idNames(names);
    EXPECT_EQ(names, L"ZORVIKAN-GL,ZORVIKAN-SH,ZORVIKAN-H,ZORVIKAN-MS,ZORVIKAN-MP");
    EXPECT_EQ(create(L"ZORVIKAN-mp"), nullptr);
    free(nullptr);

    for (const Family& f : {Family{L"ZORVIKAN-GL", 4, false}, Family{L"ZORVIKAN-SH", 8, false},
                            Family{L"ZORVIKAN-H", 10, false}, Family{L"ZORVIKAN-MS", 15, false},
                            Family{L"ZORVIKAN-MP", 25, true}}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(f.id)));
        host_view::Plc* plc = create(f.id);
        ASSERT_NE(plc, nullptr);
        EXPECT_EQ(plc->GetPlcCode(), f.code);
        EXPECT_EQ(plc->GetPlcId(), f.id);
        EXPECT_EQ(plc->IsNetworkAvailable(), f.network);
        EXPECT_EQ(Trace(*plc), Trace(*reinterpret_cast<pqcore::PqPlcIF*>(plc)));

        std::wstring tag;
        EXPECT_EQ(plc->GetDataTypeTag(Dev(157, 0, 'D'), tag, true), 0);
        EXPECT_EQ(tag, L"d32");
        EXPECT_EQ(plc->GetDataTypeTag(Dev(157, 0, 'q'), tag, true), 8);
        if (f.network) {
            auto* mp = static_cast<host_view::NetworkPlc*>(plc);
            const PqDevice a = Dev(175, 16, 'i'), b = Dev(175, 16, 'i', 1);
            int base = 0, min = 0, max = 0, digits = 0;
            EXPECT_TRUE(mp->GetNetworkNumberRange(a, base, min, max, digits));
            EXPECT_EQ(max, 239);
            EXPECT_TRUE(mp->GetStationNumberRange(a, base, min, max, digits));
            EXPECT_EQ(max, 64);
            EXPECT_TRUE(mp->IsNetworkUnset(a) && !mp->IsNetworkUnset(b));
            EXPECT_TRUE(mp->CanHaveNetwork(a) && !mp->CanHaveNetwork(Dev(12289, 0, 'i')));
        }
        free(plc);
    }
    dlclose(module);
}

}  // namespace
