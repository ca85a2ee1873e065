// A scriptable family for testing the shared host-side operations without any real family: it
// records what the shared code asks of it and answers what the test programs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "plc/CommonPlc.h"

class FakePlc final : public CommonPlc {
public:
    struct ParseCall {
        std::wstring text;
        int type;
    };

    // Programmable answers.
    std::function<DeviceResult(const std::wstring&, int, PqDevice&)> parse =
        [](const std::wstring&, int, PqDevice&) { return DeviceResult::Ok; };
    std::function<DeviceResult(const PqDevice&, std::wstring&)> local = [](const PqDevice& d,
                                                                           std::wstring& t) {
        t = L"X" + std::to_wstring(d.mNumber);
        return DeviceResult::Ok;
    };
    std::function<DeviceResult(const PqDevice&, std::wstring&)> network = [](const PqDevice& d,
                                                                             std::wstring& t) {
        t = std::to_wstring(d.mSegment.mNetworkNo) + L"-" + std::to_wstring(d.mSegment.mStationNo);
        return DeviceResult::Ok;
    };
    std::function<int(const PqDevice&)> order = [](const PqDevice& d) { return d.mCode; };

    mutable std::vector<ParseCall> parseCalls;
    mutable int networkCalls = 0;
    mutable int localCalls = 0;

    int GetPlcCode() const override { return 77; }
    std::wstring GetPlcId() const override { return L"FAKE"; }
    PqDevice GetDefaultBitDevice() const override { return {}; }
    PqDevice GetDefaultWordDevice() const override { return {}; }
    DeviceResult DeviceToString(const PqDevice& d, std::wstring& t) const override {
        return DeviceToLocalString(d, t);
    }
    DeviceResult DeviceToLocalString(const PqDevice& d, std::wstring& t) const override {
        ++localCalls;
        return local(d, t);
    }
    DeviceResult NetworkToString(const PqDevice& d, std::wstring& t) const override {
        ++networkCalls;
        return network(d, t);
    }
    DeviceResult StringToDevice(const std::wstring& text, int type, PqDevice& d) const override {
        parseCalls.push_back({text, type});
        return parse(text, type, d);
    }
    DeviceResult CheckDeviceRange(const PqDevice&, int) const override { return DeviceResult::Ok; }
    int SetTerminalType(int type) override {
        SetHostTerminalType(type);
        return 0;
    }
    // Flat address: the record's code and number, bit form.
    DeviceResult DeviceToPlcAddress(const PqDevice& d, PlcAddress& a) const override {
        a.code = d.mCode;
        a.address = d.mNumber;
        a.kind = PlcDataKind::Bit;
        return DeviceResult::Ok;
    }
    DeviceResult PlcAddressToDevice(const PlcAddress&, PqDevice&) const override {
        return DeviceResult::Ok;
    }
    bool IsPlcBitAddress(const PlcAddress&) const override { return false; }
    bool IsAvailableForTerminal(int) const override { return true; }
    bool IsAvailableForTerminalEx(int) const override { return true; }
    int GetInterfaceLevel() const override { return 3; }
    bool IsBitDevice(const PqDevice&) const override { return false; }
    bool IsWordDevice(const PqDevice&) const override { return false; }
    int GetDeviceOrder(const PqDevice& d) const override { return order(d); }
    const char* const* GetDeviceNameTable(int& count, int) const override {
        count = 0;
        return nullptr;
    }
    const int* GetDeviceCodeTable(int& count) const override {
        count = 0;
        return nullptr;
    }
    bool EditDevice(int, int, int, PqDevice&, int) override { return false; }
};
