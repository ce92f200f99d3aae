// The recording host. Every service the gauge may call is a callee-cleans
// function that records its arguments; any other entry of the table records
// itself as unexpected, so a call through a wrong entry shows up by number.
#include "GaugeHost.h"

#include "ProgramFolder.h"

#include <string.h>

extern "C" int32_t CallMeasuringStack(const void* routine, const uint32_t* words, int32_t count,
                                      double* floatResult, uint32_t* integerResult);

namespace {

GaugeHost* Current = nullptr;

constexpr uint32_t TableEntries = 64;
constexpr uint32_t UnexpectedEntry = 0x80000000;

} // namespace

struct HostServices {
    static void Record(uint32_t entry, std::vector<uint32_t> args)
    {
        if (Current)
            Current->calls_.push_back({entry, std::move(args)});
    }

    static void __stdcall ElementOnly(uint32_t entry, uint32_t element) { Record(entry, {element}); }

    static void __stdcall Query(uint32_t element) { ElementOnly(24, element); }
    static void __stdcall Initialize(uint32_t element) { ElementOnly(26, element); }
    static void __stdcall Update(uint32_t element) { ElementOnly(27, element); }
    static void __stdcall Draw(uint32_t element) { ElementOnly(29, element); }
    static void __stdcall Release(uint32_t element) { ElementOnly(31, element); }

    // The host fills its own fields of the tree here: the background's
    // pointer and the readout's text buffer.
    static void __stdcall Install(uint32_t element, uint32_t value)
    {
        Record(25, {element, value});
        if (!Current)
            return;
        *reinterpret_cast<uint32_t*>(element + GaugeHost::BackgroundHostFilled) = GaugeHost::HostFilledValue;
        for (uint32_t e : Current->Chain())
            if (GaugeHost::Word(e, GaugeHost::ElementKind) == 2)
                *reinterpret_cast<uint32_t*>(e + GaugeHost::TextBuffer) =
                    reinterpret_cast<uint32_t>(Current->textBuffer_);
    }

    static void __stdcall Generate(uint32_t element, uint32_t value) { Record(28, {element, value}); }

    static void __stdcall AreasInstall(uint32_t areas, uint32_t header, uint32_t place)
    {
        Record(32, {areas, header, place});
    }

    static void __stdcall AreasRegister(uint32_t areas, uint32_t header)
    {
        Record(33, {areas, header});
        if (Current)
            Current->mouseAreas_ = areas;
    }

    static void __stdcall AreasUnregister(uint32_t areas, uint32_t header)
    {
        Record(34, {areas, header});
        if (Current && Current->mouseAreas_ == areas)
            Current->mouseAreas_ = 0;
    }

    static void __stdcall Lookup(uint32_t record)
    {
        Record(40, {record, GaugeHost::Word(record, 0)});
        if (Current)
            memcpy(reinterpret_cast<void*>(record + 12), &Current->airspeed, sizeof(double));
    }

    template <uint32_t N>
    static void __stdcall Unexpected()
    {
        Record(UnexpectedEntry | N, {});
    }

    template <uint32_t... N>
    static void FillUnexpected(void** table, std::integer_sequence<uint32_t, N...>)
    {
        ((table[N] = reinterpret_cast<void*>(&Unexpected<N>)), ...);
    }

    static void** Table()
    {
        static void* table[TableEntries];
        FillUnexpected(table, std::make_integer_sequence<uint32_t, TableEntries>());
        table[24] = reinterpret_cast<void*>(&Query);
        table[25] = reinterpret_cast<void*>(&Install);
        table[26] = reinterpret_cast<void*>(&Initialize);
        table[27] = reinterpret_cast<void*>(&Update);
        table[28] = reinterpret_cast<void*>(&Generate);
        table[29] = reinterpret_cast<void*>(&Draw);
        table[31] = reinterpret_cast<void*>(&Release);
        table[32] = reinterpret_cast<void*>(&AreasInstall);
        table[33] = reinterpret_cast<void*>(&AreasRegister);
        table[34] = reinterpret_cast<void*>(&AreasUnregister);
        table[40] = reinterpret_cast<void*>(&Lookup);
        return table;
    }
};

bool PanelState::operator==(const PanelState& other) const
{
    return memcmp(Lamps, other.Lamps, sizeof Lamps) == 0 && memcmp(Marks, other.Marks, sizeof Marks) == 0 &&
           Readout == other.Readout;
}

GaugeHost::GaugeHost()
{
    memset(textBuffer_, '#', sizeof textBuffer_);
    Current = this;
}

GaugeHost::~GaugeHost()
{
    Unload();
    if (Current == this)
        Current = nullptr;
}

bool GaugeHost::Load(const char* fileName)
{
    module_ = LoadLibraryA((ProgramFolder() + fileName).c_str());
    if (!module_)
        return false;
    linkage_ = reinterpret_cast<uint32_t>(GetProcAddress(module_, "Linkage"));
    importTable_ = reinterpret_cast<uint32_t>(GetProcAddress(module_, "ImportTable"));
    return linkage_ && importTable_;
}

void GaugeHost::Unload()
{
    if (module_)
        FreeLibrary(module_);
    module_ = nullptr;
    linkage_ = importTable_ = mouseAreas_ = 0;
}

void GaugeHost::ConnectServices()
{
    *reinterpret_cast<uint32_t*>(importTable_ + 4) = reinterpret_cast<uint32_t>(HostServices::Table());
}

uint32_t GaugeHost::Word(uint32_t address, uint32_t offset)
{
    uint32_t value;
    memcpy(&value, reinterpret_cast<const void*>(address + offset), sizeof value);
    return value;
}

double GaugeHost::Float(uint32_t address, uint32_t offset)
{
    double value;
    memcpy(&value, reinterpret_cast<const void*>(address + offset), sizeof value);
    return value;
}

uint32_t GaugeHost::Header() const
{
    return Word(linkage_, 24);
}

uint32_t GaugeHost::Background() const
{
    return Word(Word(Header(), HeaderElementList), 0);
}

std::vector<uint32_t> GaugeHost::Chain() const
{
    std::vector<uint32_t> chain;
    for (uint32_t element = Background(); element && chain.size() < 32;) {
        chain.push_back(element);
        uint32_t next = Word(element, ElementNext);
        element = next ? Word(next, 0) : 0;
    }
    return chain;
}

void GaugeHost::Measure(const char* name, int32_t drift)
{
    if (drift != 0)
        stackFaults_.push_back(std::string(name) + " moved the stack by " + std::to_string(drift));
}

void GaugeHost::CallRoutine(uint32_t offset, const char* name, const uint32_t* args, int count)
{
    const void* routine = reinterpret_cast<const void*>(Word(Header(), offset));
    Measure(name, CallMeasuringStack(routine, args, count, nullptr, nullptr));
}

void GaugeHost::Query()
{
    CallRoutine(12, "query", nullptr, 0);
}

void GaugeHost::Install(uint32_t value)
{
    CallRoutine(16, "install", &value, 1);
}

void GaugeHost::Initialize()
{
    CallRoutine(20, "initialize", nullptr, 0);
}

void GaugeHost::Update()
{
    CallRoutine(24, "update", nullptr, 0);
}

void GaugeHost::Generate(uint32_t value)
{
    CallRoutine(28, "generate", &value, 1);
}

void GaugeHost::Draw()
{
    CallRoutine(32, "draw", nullptr, 0);
}

void GaugeHost::Kill()
{
    CallRoutine(36, "kill", nullptr, 0);
}

double GaugeHost::CallIcon(uint32_t element, const char* name)
{
    double result = 0;
    const void* callback = reinterpret_cast<const void*>(Word(element, IconCallback));
    Measure(name, CallMeasuringStack(callback, &element, 1, &result, nullptr));
    return result;
}

PanelState GaugeHost::Pass(double value)
{
    airspeed = value;
    PanelState state = {};
    std::vector<uint32_t> chain = Chain();
    static const char* const names[] = {"lamp 1", "lamp 2", "lamp 3", "bottom mark", "middle mark", "top mark"};
    for (size_t i = 1; i < chain.size(); ++i) {
        uint32_t element = chain[i];
        if (Word(element, ElementKind) == 4) {
            double result = CallIcon(element, i - 1 < 6 ? names[i - 1] : "icon");
            if (i <= 3)
                state.Lamps[i - 1] = result;
            else if (i <= 6)
                state.Marks[i - 4] = result;
        } else if (Word(element, ElementKind) == 2) {
            // The text callback takes one double: 8 bytes, low word first.
            double argument = 0.5;
            uint32_t words[2];
            memcpy(words, &argument, sizeof words);
            const void* callback = reinterpret_cast<const void*>(Word(element, TextCallback));
            Measure("readout", CallMeasuringStack(callback, words, 2, &state.ReadoutResult, nullptr));
            state.Readout.assign(textBuffer_, strnlen(textBuffer_, sizeof textBuffer_));
        }
    }
    return state;
}

uint32_t GaugeHost::HandlerAt(int x, int y, bool left) const
{
    if (!mouseAreas_ || !left)
        return 0;
    // The group start record's empty box stands for the whole gauge.
    if (x < 0 || y < 0 || x >= 100 || y >= 70)
        return 0;
    for (uint32_t record = mouseAreas_;; record += AreaRecordBytes) {
        int32_t type = int32_t(Word(record, 0));
        if (type == 0)
            return 0;
        if (type != 2)
            continue;
        int32_t ax = int32_t(Word(record, 4)), ay = int32_t(Word(record, 8));
        int32_t aw = int32_t(Word(record, 12)), ah = int32_t(Word(record, 16));
        if (x >= ax && x < ax + aw && y >= ay && y < ay + ah && (Word(record, 28) & 0x20000000))
            return record;
    }
}

bool GaugeHost::Press(int x, int y, bool left, int repeats)
{
    uint32_t record = HandlerAt(x, y, left);
    if (!record)
        return false;
    const void* handler = reinterpret_cast<const void*>(Word(record, 36));
    if (!(Word(record, 28) & 0x00200000))
        repeats = 0;
    for (int i = 0; i <= repeats; ++i) {
        uint32_t args[2] = {uint32_t(x) | uint32_t(y) << 16, Word(record, 28)};
        uint32_t result = 0;
        Measure("area handler", CallMeasuringStack(handler, args, 2, nullptr, &result));
        if (result != 1)
            stackFaults_.push_back("area handler returned " + std::to_string(result));
    }
    return true;
}
