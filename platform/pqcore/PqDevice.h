// The host's device-address record as both sides of the plug-in boundary carry it. Field order
// and the order of the virtual operations are a binary contract with the host.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "pqcore/Export.h"
#include "pqcore/PqLabelMapIF.h"

namespace pqcore {

// Text access of host values. No data, no virtual destructor.
class PqSetStringIF {
public:
    virtual std::wstring& ToWString(std::wstring& out) const = 0;
    virtual std::string& ToString(std::string& out) const = 0;
    virtual int FromWString(const std::wstring& text) = 0;
    virtual int FromString(const std::string& text) = 0;
    virtual void Clear() = 0;
    virtual bool IsEmpty() const = 0;

protected:
    ~PqSetStringIF() = default;
};

// Stream access of host values.
class PqStreamIoIF {
public:
    virtual std::istream& Read(std::istream& in) = 0;
    virtual std::ostream& Write(std::ostream& out) const = 0;

protected:
    ~PqStreamIoIF() = default;
};

// Base of host values: the string operations go through the stream operations.
class PqAtomADP : public PqSetStringIF, public PqStreamIoIF {
public:
    std::wstring& ToWString(std::wstring& out) const override;
    std::string& ToString(std::string& out) const override;
    int FromWString(const std::wstring& text) override;
    int FromString(const std::string& text) override;
    virtual ~PqAtomADP();

protected:
    PqAtomADP() = default;
    PqAtomADP(const PqAtomADP&) = default;
    PqAtomADP& operator=(const PqAtomADP&) = default;
};

// Network/station part of a device address.
struct DeviceSegment {
    std::int16_t mNetworkNo = 0;
    std::int16_t mStationNo = 0;
    std::int16_t mExtNo = 0;  // carried, compared and printed; this module only ever stores 0

    bool IsNull() const { return mNetworkNo == 0 && mStationNo == 0 && mExtNo == 0; }
    friend bool operator==(const DeviceSegment&, const DeviceSegment&) = default;
    friend bool operator<(const DeviceSegment& a, const DeviceSegment& b) {
        if (a.mNetworkNo != b.mNetworkNo) return a.mNetworkNo < b.mNetworkNo;
        if (a.mStationNo != b.mStationNo) return a.mStationNo < b.mStationNo;
        return a.mExtNo < b.mExtNo;
    }
};

class PqDevice : public PqAtomADP {
public:
    PqDevice() = default;
    PqDevice(const PqDevice&) = default;
    PqDevice& operator=(const PqDevice&) = default;
    PqDevice(PqDevice&&) = default;
    PqDevice& operator=(PqDevice&&) = default;

    // PqSetStringIF / PqStreamIoIF, in their fixed order.
    std::string& ToString(std::string& out) const override;
    void Clear() override;
    bool IsEmpty() const override;
    ~PqDevice() override;
    std::istream& Read(std::istream& in) override;
    std::ostream& Write(std::ostream& out) const override;
    // The stream-based reading of the base, with a direct path for the common plain form.
    int FromString(const std::string& text) override;

    bool IsNullDevice() const;
    int GetTypeBits() const;
    std::wstring GetLabelGroup() const;
    std::wstring GetDisplayName() const;

    // Text forms: the plain form ("9D.0/b") and the keyed form ("&N=...&A=...&&").
    std::istream& ParseDevice(std::istream& in);
    // What a keyed form gives, read from a stream or directly, then stored the same way.
    struct KeyedValues;
    void ApplyKeyedValues(const KeyedValues& values);
    std::string& ToDeviceString(std::string& out) const;
    std::string& ToKeyedString(std::string& out) const;
    std::wstring LabelKey() const;

    // mLabelId takes no part in equality or ordering.
    friend bool operator==(const PqDevice& a, const PqDevice& b);
    friend bool operator<(const PqDevice& a, const PqDevice& b);

    std::int32_t mChannel = 0;
    DeviceSegment mSegment;
    std::int32_t mCode = 0;
    std::int32_t mNumber = 0;
    std::int32_t mType = 'b';
    std::wstring mName;
    std::wstring mAuxText;
    // The host's label map assigns it while the record prints itself (a const operation), so it
    // must stay writable through const records.
    mutable std::uint32_t mLabelId = 0;

    // Defined by the host library; null means no label lookups.
    PQCORE1_API static project::PqLabelMapIF* mLabelMap;
};

}  // namespace pqcore
