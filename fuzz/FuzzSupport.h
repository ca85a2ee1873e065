// What the fuzz targets share: reading their selectors from the input and failing loudly when a
// contract breaks (libFuzzer keeps the input that made the process abort).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "plc/Factory.h"
#include "pqcore/PqPlcIF.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "contract broken: %s\n", what);
    std::abort();
}

inline void Require(bool holds, const char* what) {
    if (!holds) Fail(what);
}

// Bytes taken from the front of the input, then the rest.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}

    std::uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(mData) + mPos, mSize - mPos);
        mPos = mSize;
        return rest;
    }
    // The rest as 16-bit units: little-endian pairs when `wide`, else one unit per byte.
    std::wstring RestUnits(bool wide) {
        std::wstring units;
        if (!wide) {
            while (mPos < mSize)
                units.push_back(static_cast<wchar_t>(mData[mPos++]));
        } else {
            for (; mPos + 1 < mSize; mPos += 2)
                units.push_back(static_cast<wchar_t>(mData[mPos] | (mData[mPos + 1] << 8)));
            mPos = mSize;
        }
        return units;
    }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::size_t mPos = 0;
};

inline constexpr const wchar_t* kPlcIds[] = {L"ZORVIKAN-GL", L"ZORVIKAN-SH", L"ZORVIKAN-H",
                                             L"ZORVIKAN-MS", L"ZORVIKAN-MP"};
inline constexpr int kDataTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F', 'q', 0};

struct PlcDeleter {
    void operator()(pqcore::PqPlcIF* plc) const { FreePlcObject(plc); }
};
using Plc = std::unique_ptr<pqcore::PqPlcIF, PlcDeleter>;

// A family object of the kind and terminal type the input selects (-1 .. 9).
inline Plc MakePlc(Input& in) {
    Plc plc(CreatePlcObject(kPlcIds[in.Byte() % 5]));
    plc->SetTerminalType(static_cast<int>(in.Byte() % 11) - 1);
    return plc;
}

inline int DataType(Input& in) {
    return kDataTypes[in.Byte() % std::size(kDataTypes)];
}

inline bool IsResult(DeviceResult r) {
    return static_cast<int>(r) >= 0 && static_cast<int>(r) <= 9;
}

// A formatter's text is "??" exactly when it fails.
inline void RequireQuestionMarksOnFailure(DeviceResult r, const std::wstring& text) {
    Require(IsResult(r), "result code out of range");
    Require((r != DeviceResult::Ok) == (text == L"??"), "\"??\" must mark exactly a failure");
}

// Every formatter of the device keeps the "??" contract, and agrees with the range check.
inline void CheckFormatters(const pqcore::PqPlcIF& plc, const pqcore::PqDevice& device) {
    std::wstring text;
    RequireQuestionMarksOnFailure(plc.DeviceToLocalString(device, text), text);
    RequireQuestionMarksOnFailure(plc.DeviceToString(device, text), text);
    RequireQuestionMarksOnFailure(plc.DeviceToTypedString(device, text, true), text);
    const DeviceResult network = plc.NetworkToString(device, text);
    Require(IsResult(network), "result code out of range");
    Require(network == DeviceResult::Ok || text.empty(), "a failed network text must be empty");
}

}  // namespace fuzz
