#include "plc/Factory.h"

#include <new>
#include <string_view>

#include "families/ZorvikanGL.h"
#include "families/ZorvikanH.h"
#include "families/ZorvikanMP.h"
#include "families/ZorvikanMS.h"
#include "families/ZorvikanSH.h"

namespace {

template <class Family>
pqcore::PqPlcIF* Create() {
    return new (std::nothrow) Family();
}

template <class Family>
bool FreeIf(pqcore::PqPlcIF* plc) {
    if (auto* object = dynamic_cast<Family*>(plc)) {
        delete object;
        return true;
    }
    return false;
}

struct PlcType {
    std::wstring_view id;
    pqcore::PqPlcIF* (*create)();
};

// The one order every list of the module uses.
constexpr PlcType kPlcTypes[] = {
    {ZorvikanGL::kPlcId, &Create<ZorvikanGL>}, {ZorvikanSH::kPlcId, &Create<ZorvikanSH>},
    {ZorvikanH::kPlcId, &Create<ZorvikanH>},   {ZorvikanMS::kPlcId, &Create<ZorvikanMS>},
    {ZorvikanMP::kPlcId, &Create<ZorvikanMP>},
};

}  // namespace

std::wstring PlcIdNames() {
    std::wstring names;
    for (const PlcType& type : kPlcTypes) {
        if (!names.empty()) names += L',';
        names += type.id;
    }
    return names;
}

pqcore::PqPlcIF* CreatePlcObject(const std::wstring& id) {
    for (const PlcType& type : kPlcTypes) {
        if (id == type.id) return type.create();
    }
    return nullptr;
}

void FreePlcObject(pqcore::PqPlcIF* plc) {
    if (plc == nullptr) return;
    FreeIf<ZorvikanGL>(plc) || FreeIf<ZorvikanSH>(plc) || FreeIf<ZorvikanH>(plc) ||
        FreeIf<ZorvikanMS>(plc) || FreeIf<ZorvikanMP>(plc);
}
