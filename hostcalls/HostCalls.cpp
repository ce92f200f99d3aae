// The service table reached through ImportTable, with the argument forms of
// each entry. ImportTable is one of the module's two exports: the DLL names
// it in module/Lumivane.def, the native shared object marks it
// LUMIVANE_EXPORT (cmake/LumivaneGauge.cmake).
#include "hostcalls/HostCalls.h"

extern "C" {

LUMIVANE_EXPORT ModuleImports ImportTable = {0x0F, nullptr, 0, nullptr};

} // extern "C"

namespace {

// The entry, or null while the host has not written its table address.
template <typename Service>
Service Entry(HostService entry)
{
    HostServiceAddress* table = ImportTable.Services;
    return table ? reinterpret_cast<Service>(table[entry]) : nullptr;
}

} // namespace

void CallHost(HostService entry, ElementHeader* element)
{
    if (ElementService service = Entry<ElementService>(entry))
        service(element);
}

void CallHost(HostService entry, ElementHeader* element, uint32_t value)
{
    if (ElementValueService service = Entry<ElementValueService>(entry))
        service(element, value);
}

void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge)
{
    if (AreaService service = Entry<AreaService>(entry))
        service(areas, gauge);
}

void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge, void* place)
{
    if (AreaInstallService service = Entry<AreaInstallService>(entry))
        service(areas, gauge, place);
}

int32_t LookUpVariable(VariableRecord* variable)
{
    VariableService service = Entry<VariableService>(VariableLookup);
    if (!service)
        return 0;
    service(variable);
    return 1;
}
