// Building device records in tests.
#pragma once

#include <cstdint>

#include "pqcore/PqDevice.h"

namespace test_support {

inline pqcore::PqDevice Dev(int code, int number, int type = 'i', int network = 0,
                            int station = 0) {
    pqcore::PqDevice d;
    d.mCode = code;
    d.mNumber = number;
    d.mType = type;
    d.mSegment.mNetworkNo = static_cast<std::int16_t>(network);
    d.mSegment.mStationNo = static_cast<std::int16_t>(station);
    return d;
}

}  // namespace test_support
