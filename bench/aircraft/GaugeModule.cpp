// Names are compared in lower case, as the simulator's file system finds
// files whatever their case.
#include "bench/aircraft/GaugeModule.h"

#include "bench/aircraft/PanelConfig.h"
#include "bench/aircraft/PanelEntry.h"

std::string EntryName(const GaugeModule& module)
{
    return WithoutGau(module.File);
}

bool NamesModule(const GaugeModule& module, const std::string& name)
{
    const std::string lower = LowerCase(name);
    const std::string file = lower.substr(0, lower.find('!'));
    return !file.empty() && (file == LowerCase(EntryName(module)) || file == LowerCase(module.File));
}

std::string ModuleEntry(const GaugeModule& module, int number, int x, int y)
{
    return GaugeKey(number) + "=" + EntryName(module) + ", " + std::to_string(x) + ", " + std::to_string(y);
}
