#include "families/ZorvikanMP.h"

namespace {

// Terminal types whose records carry no network part.
bool WithoutNetwork(int terminalType) {
    return terminalType == 1 || terminalType == 3 || terminalType == 6;
}

bool SetRange(int& base, int& min, int& max, int& digits, int high) {
    base = 10;
    min = 1;
    max = high;
    digits = 1;
    return true;
}

}  // namespace

bool ZorvikanMP::IsNetworkAvailable() const {
    switch (TerminalType()) {
        case 0:
        case 2:
        case 4:
        case 5:
        case 7: return true;
        default: return false;
    }
}

bool ZorvikanMP::IsNetworkAvailableEx() const { return IsNetworkAvailable(); }

bool ZorvikanMP::IsOptionAvailable() const { return false; }

bool ZorvikanMP::GetNetworkNumberRange(const PqDevice&, int& base, int& min, int& max,
                                       int& digits) const {
    return SetRange(base, min, max, digits, 239);
}

bool ZorvikanMP::GetStationNumberRange(const PqDevice&, int& base, int& min, int& max,
                                       int& digits) const {
    return SetRange(base, min, max, digits, 64);
}

bool ZorvikanMP::IsNetworkUnset(const PqDevice& device) const {
    return device.mSegment.mNetworkNo == 0 && device.mSegment.mStationNo == 0;
}

bool ZorvikanMP::CanHaveNetwork(const PqDevice& device) const {
    return !IsInternalDevice(device) && !WithoutNetwork(TerminalType());
}
