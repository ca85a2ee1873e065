// Readable failure messages for the module's value types.
#pragma once

#include <ostream>
#include <string>

#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

inline void PrintTo(DeviceResult r, std::ostream* os) {
    static const char* const kNames[] = {"Ok",
                                         "UnknownDeviceCode",
                                         "NumberOutOfRange",
                                         "NumberCrossRange",
                                         "SegmentOutOfRange",
                                         "InvalidDeviceName",
                                         "InvalidDeviceFormat",
                                         "InvalidDeviceNumber",
                                         "InvalidDeviceType",
                                         "NotAvailable"};
    const int v = static_cast<int>(r);
    *os << (v >= 0 && v <= 9 ? kNames[v] : "DeviceResult(?)") << "(" << v << ")";
}

inline void PrintTo(PlcDataKind k, std::ostream* os) {
    *os << "kind " << static_cast<int>(k);
}

inline void PrintTo(const PlcAddress& a, std::ostream* os) {
    *os << "{ch " << int(a.channel) << " net " << int(a.network) << " st " << int(a.station)
        << " kind " << int(a.kind) << " code " << a.code << " addr " << a.address << " bit "
        << a.bit << "}";
}

namespace pqcore {
inline void PrintTo(const PqDevice& d, std::ostream* os) {
    *os << "{code " << d.mCode << " number " << d.mNumber << " type ";
    if (d.mType > 32 && d.mType < 127)
        *os << static_cast<char>(d.mType);
    else
        *os << d.mType;
    *os << " ch " << d.mChannel << " seg " << d.mSegment.mNetworkNo << "/" << d.mSegment.mStationNo
        << "/" << d.mSegment.mExtNo << " name " << std::string(d.mName.begin(), d.mName.end())
        << " label " << d.mLabelId << "}";
}
}  // namespace pqcore
