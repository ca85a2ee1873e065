// Stand-in for the host's core library: it owns the label-map pointer that records consult.
#include "pqcore/PqDevice.h"

namespace pqcore {

project::PqLabelMapIF* PqDevice::mLabelMap = nullptr;

}  // namespace pqcore
