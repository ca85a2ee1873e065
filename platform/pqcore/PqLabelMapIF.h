// The host's label map, reached by device records through PqDevice::mLabelMap.
#pragma once

#include <string>

namespace pqcore {
class PqDevice;

namespace project {

// Only the first two operations are used by the record; their results are ignored.
class PqLabelMapIF {
public:
    virtual bool ResolveLabel(const std::wstring& key, PqDevice* device) = 0;
    virtual bool UpdateLabel(PqDevice* device) = 0;

protected:
    ~PqLabelMapIF() = default;
};

}  // namespace project
}  // namespace pqcore
