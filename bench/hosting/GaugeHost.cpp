// The bench's host. Every service the gauge may call is a callee-cleans
// function of the form host/RoutineForms.h gives it; every other entry of the
// table is a stub that reports its own number, so that a call through a wrong
// entry shows up as exactly that. The services reach the host through one
// module-wide pointer: the table is the host's, one per process, as in the
// simulator.
#include "bench/hosting/GaugeHost.h"

#include "bench/files/LittleEndian.h"
#include "bench/hosting/CallOrder.h"
#include "bench/hosting/GaugeCalls.h"
#include "bench/hosting/GaugeFaults.h"
#include "bench/hosting/ModuleResources.h"

#include <string.h>

#include <utility>

namespace {

GaugeHost* Current = nullptr;

constexpr uint32_t TableEntries = GaugeHost::ServiceEntries;

// What the lean table's entry 40 answers (GaugeHost::ConnectLeanServices).
double LeanAirspeed = 0.0;

} // namespace

struct HostServices {
    static void Record(uint32_t entry, std::initializer_list<uintptr_t> args)
    {
        if (!Current)
            return;
        ++Current->serviceCalls_[(entry & ~0x80000000u) % TableEntries];
        if (Current->trace_)
            Current->calls_.push_back({entry, std::vector<uintptr_t>(args), NextCallOrder()});
    }

    static uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

    static void GAUGE_STDCALL Query(ElementHeader* element) { Record(ElementTreeQuery, {Address(element)}); }
    static void GAUGE_STDCALL Initialize(ElementHeader* element)
    {
        Record(ElementTreeInitialize, {Address(element)});
    }
    static void GAUGE_STDCALL Update(ElementHeader* element) { Record(ElementTreeUpdate, {Address(element)}); }
    static void GAUGE_STDCALL Draw(ElementHeader* element) { Record(ElementTreeDraw, {Address(element)}); }
    static void GAUGE_STDCALL Release(ElementHeader* element) { Record(ElementTreeRelease, {Address(element)}); }

    // The host fills its own fields of the tree here: the background's
    // pointer, and for each text element a buffer of its own.
    static void GAUGE_STDCALL Install(ElementHeader* element, uint32_t value)
    {
        Record(ElementTreeInstall, {Address(element), value});
        if (!Current || !element)
            return;
        if (element->Kind == StaticImageKind)
            reinterpret_cast<StaticImageElement*>(element)->HostFilled =
                reinterpret_cast<uint8_t*>(GaugeHost::HostFilledValue);
        Current->LendTextBuffers();
    }

    static void GAUGE_STDCALL Generate(ElementHeader* element, uint32_t value)
    {
        Record(ElementTreeGenerate, {Address(element), value});
    }

    static void GAUGE_STDCALL AreasInstall(MouseArea* areas, GaugeHeader* gauge, void* place)
    {
        Record(MouseAreasInstall, {Address(areas), Address(gauge), Address(place)});
    }

    static void GAUGE_STDCALL AreasRegister(MouseArea* areas, GaugeHeader* gauge)
    {
        Record(MouseAreasRegister, {Address(areas), Address(gauge)});
        if (Current)
            Current->mouseAreas_ = areas;
    }

    static void GAUGE_STDCALL AreasUnregister(MouseArea* areas, GaugeHeader* gauge)
    {
        Record(MouseAreasUnregister, {Address(areas), Address(gauge)});
        if (Current && Current->mouseAreas_ == areas)
            Current->mouseAreas_ = nullptr;
    }

    static void GAUGE_STDCALL Lookup(VariableRecord* record)
    {
        Record(VariableLookup, {Address(record), record ? uintptr_t(uint32_t(record->Id)) : 0});
        if (!Current || !record)
            return;
        // The one variable this host knows; any other keeps what it holds.
        if (record->Id == AirspeedVariableNumber)
            record->Value = Current->Airspeed;
    }

    // The lean table's: a store, as cheap as a host can answer.
    static void GAUGE_STDCALL LeanLookup(VariableRecord* record) { record->Value = LeanAirspeed; }

    template <uint32_t N>
    static void GAUGE_STDCALL Unexpected()
    {
        Record(0x80000000u | N, {});
        if (Current)
            Current->serviceFaults_.push_back("the module called service entry " + std::to_string(N) +
                                              ", which the bench does not serve");
    }

    template <uint32_t... N>
    static void FillUnexpected(HostServiceAddress* table, std::integer_sequence<uint32_t, N...>)
    {
        ((table[N] = reinterpret_cast<HostServiceAddress>(&Unexpected<N>)), ...);
    }

    template <typename Form>
    static HostServiceAddress Entry(Form form)
    {
        return reinterpret_cast<HostServiceAddress>(form);
    }

    static HostServiceAddress* Table()
    {
        static HostServiceAddress table[TableEntries];
        FillUnexpected(table, std::make_integer_sequence<uint32_t, TableEntries>());
        table[ElementTreeQuery] = Entry<ElementService>(&Query);
        table[ElementTreeInstall] = Entry<ElementValueService>(&Install);
        table[ElementTreeInitialize] = Entry<ElementService>(&Initialize);
        table[ElementTreeUpdate] = Entry<ElementService>(&Update);
        table[ElementTreeGenerate] = Entry<ElementValueService>(&Generate);
        table[ElementTreeDraw] = Entry<ElementService>(&Draw);
        table[ElementTreeRelease] = Entry<ElementService>(&Release);
        table[MouseAreasInstall] = Entry<AreaInstallService>(&AreasInstall);
        table[MouseAreasRegister] = Entry<AreaService>(&AreasRegister);
        table[MouseAreasUnregister] = Entry<AreaService>(&AreasUnregister);
        table[VariableLookup] = Entry<VariableService>(&Lookup);
        return table;
    }

    static HostServiceAddress* LeanTable()
    {
        static HostServiceAddress table[TableEntries];
        memcpy(table, Table(), sizeof table);
        table[VariableLookup] = Entry<VariableService>(&LeanLookup);
        return table;
    }
};

bool PassResults::operator==(const PassResults& other) const
{
    if (Count != other.Count)
        return false;
    for (int i = 0; i < Count; ++i) {
        const ElementResult& a = Elements[i];
        const ElementResult& b = other.Elements[i];
        if (a.Kind != b.Kind || a.Image != b.Image || strcmp(a.Text, b.Text) != 0)
            return false;
    }
    return true;
}

GaugeHost::GaugeHost()
{
    memset(textBuffers_, 0, sizeof textBuffers_);
    memset(elements_, 0, sizeof elements_);
    Current = this;
}

GaugeHost::~GaugeHost()
{
    Unload();
    if (Current == this)
        Current = nullptr;
}

void GaugeHost::Serve()
{
    Current = this;
}

bool GaugeHost::Load(const std::string& path, std::string* error)
{
    Unload();
    std::string why;
    if (!LoadModule(path, &module_, &why)) {
        if (error)
            *error = why;
        return false;
    }
    CatchGaugeFaults(module_.Handle);
    FindElements();
    FindSize();
    return true;
}

void GaugeHost::Unload()
{
    TakeBack();
    UnloadModule(&module_);
    mouseAreas_ = nullptr;
    installed_ = false;
    elementCount_ = 0;
    width_ = height_ = 0;
    faulted_ = false;
    fault_.clear();
}

void GaugeHost::ConnectServices()
{
    module_.Imports->Services = connected_ = HostServices::Table();
}

void GaugeHost::ConnectLeanServices(double value)
{
    LeanAirspeed = value;
    module_.Imports->Services = connected_ = HostServices::LeanTable();
}

// A module linked into the program outlives the host's load of it: what the
// host wrote into its records, its table, the text buffers and the
// background's pointer, is taken back before the host lets go, so that
// nothing of the module points into a host that is gone and the next host
// finds the records as the module defines them. For a module loaded from a
// file this changes nothing anyone sees.
void GaugeHost::TakeBack()
{
    if (module_.Imports && module_.Imports->Services == connected_)
        module_.Imports->Services = nullptr;
    connected_ = nullptr;
    for (int i = 0; i < elementCount_; ++i) {
        ElementHeader* e = elements_[i];
        if (e->Kind == TextStringKind) {
            TextElement* text = reinterpret_cast<TextElement*>(e);
            if (uintptr_t(text->TextBuffer) - uintptr_t(textBuffers_) < sizeof textBuffers_)
                text->TextBuffer = nullptr;
        } else if (e->Kind == StaticImageKind) {
            StaticImageElement* image = reinterpret_cast<StaticImageElement*>(e);
            if (image->HostFilled == reinterpret_cast<uint8_t*>(HostFilledValue))
                image->HostFilled = nullptr;
        }
    }
}

void GaugeHost::LendTextBuffers()
{
    int text = 0;
    for (int i = 0; i < elementCount_; ++i)
        if (elements_[i]->Kind == TextStringKind)
            reinterpret_cast<TextElement*>(elements_[i])->TextBuffer = textBuffers_[text++];
}

GaugeHeader* GaugeHost::Header() const
{
    return module_.Linkage ? module_.Linkage->Gauges[0] : nullptr;
}

StaticImageElement* GaugeHost::Background() const
{
    GaugeHeader* header = Header();
    if (!header || !header->Elements)
        return nullptr;
    return reinterpret_cast<StaticImageElement*>(header->Elements[0]);
}

void GaugeHost::FindElements()
{
    elementCount_ = 0;
    StaticImageElement* background = Background();
    for (ElementHeader* e = background ? &background->Header : nullptr; e && elementCount_ < MaxElements;) {
        elements_[elementCount_++] = e;
        e = e->Next ? e->Next[0] : nullptr;
    }
}

// The bitmap resource (type 2) starts with its header, read byte by byte: a
// BITMAPINFOHEADER, or a later one, holds 32-bit sides at 4 and 8, its
// height negative for rows stored top down. The simulator draws no other.
void GaugeHost::FindSize()
{
    width_ = height_ = 0;
    const StaticImageElement* background = Background();
    ModuleResource bitmap;
    if (!background || background->Header.BitmapId < 0 || background->Header.BitmapId > 0xFFFF ||
        !FindModuleResource(module_.Handle, 2, uint16_t(background->Header.BitmapId), &bitmap) || bitmap.Size < 40 ||
        Little32(bitmap.Bytes) < 40)
        return;
    const int64_t width = int32_t(Little32(bitmap.Bytes + 4));
    int64_t height = int32_t(Little32(bitmap.Bytes + 8));
    height = height < 0 ? -height : height;
    if (width < 1 || height < 1 || width > MostGaugeSide || height > MostGaugeSide)
        return;
    width_ = int(width);
    height_ = int(height);
}

std::vector<ElementHeader*> GaugeHost::Chain() const
{
    return std::vector<ElementHeader*>(elements_, elements_ + elementCount_);
}

// After every call into the module: whether it faulted, which ends the
// module's part in the run, or else how it left the stack. `calledAs` adds
// what was called to the name in the fault ("install" + " routine").
void GaugeHost::Returned(const char* name, const char* calledAs, int32_t drift)
{
    std::string what;
    if (TakeGaugeFault(&what))
        Faulted(std::string(name) + calledAs, what);
    else
        Measure(name, drift);
}

void GaugeHost::Faulted(const std::string& call, const std::string& what)
{
    faulted_ = true;
    fault_ = call + " faulted: " + what;
}

void GaugeHost::Measure(const char* name, int32_t drift)
{
    if (drift != 0)
        stackFaults_.push_back(std::string(name) + " moved the stack by " + std::to_string(drift));
}

// An element is named by its place in the chain, counted from the
// background, 0; the name is made only when there is something to say.
void GaugeHost::ReturnedFromElement(int index, const char* kind, int32_t drift)
{
    std::string what;
    const bool faulted = TakeGaugeFault(&what);
    if (drift == 0 && !faulted)
        return;
    const std::string name = "element " + std::to_string(index) + " (" + kind + ")";
    if (faulted)
        Faulted(name + "'s callback", what);
    else
        Measure(name.c_str(), drift);
}

void GaugeHost::Query()
{
    if (!faulted_)
        Returned("query", " routine", CallGaugeRoutine(Header()->Query));
}

void GaugeHost::Install(uint32_t value)
{
    if (faulted_)
        return;
    Returned("install", " routine", CallGaugeRoutine(Header()->Install, value));
    installed_ = true;
}

void GaugeHost::Initialize()
{
    if (!faulted_)
        Returned("initialize", " routine", CallGaugeRoutine(Header()->Initialize));
}

void GaugeHost::Update()
{
    if (!faulted_)
        Returned("update", " routine", CallGaugeRoutine(Header()->Update));
}

void GaugeHost::Generate(uint32_t value)
{
    if (!faulted_)
        Returned("generate", " routine", CallGaugeRoutine(Header()->Generate, value));
}

void GaugeHost::Draw()
{
    if (!faulted_)
        Returned("draw", " routine", CallGaugeRoutine(Header()->Draw));
}

// A module that has faulted is not killed: its state is whatever the fault
// left, and its kill routine would run on it.
void GaugeHost::Kill()
{
    if (!faulted_)
        Returned("kill", " routine", CallGaugeRoutine(Header()->Kill));
    installed_ = false;
}

namespace {

// The image an icon's result picks among its images: image n for a result
// from n up to n + 1; none for -1, NaN or anything beyond the icon's count.
int32_t ChosenImage(const IconElement& icon, double result)
{
    // The sixth setting is the image count; an icon has at least its one.
    const double count = icon.Settings[5] > 1 ? double(icon.Settings[5]) : 1.0;
    return result >= 0.0 && result < count ? int32_t(result) : -1;
}

} // namespace

void GaugeHost::Pass(double value, PassResults* results)
{
    Airspeed = value;
    results->Count = elementCount_;
    for (int i = 0; i < elementCount_; ++i) {
        ElementHeader* e = elements_[i];
        ElementResult& out = results->Elements[i];
        out.Kind = e->Kind;
        out.BitmapId = e->BitmapId;
        out.Called = false;
        out.Argument = 0;
        out.Result = -1.0;
        out.Image = -1;
        out.Text[0] = 0;
        // Once a callback has faulted the module is called no more; the
        // elements after it keep no result.
        if (e->Kind == IconKind) {
            IconElement* icon = reinterpret_cast<IconElement*>(e);
            if (icon->Callback && !faulted_) {
                ReturnedFromElement(i, "icon", CallIconCallback(icon->Callback, e, &out.Result));
                out.Called = true;
            }
            out.Image = ChosenImage(*icon, out.Result);
        } else if (e->Kind == TextStringKind) {
            TextElement* text = reinterpret_cast<TextElement*>(e);
            out.Argument = TextArgument;
            if (text->Callback && !faulted_) {
                ReturnedFromElement(i, "text", CallTextCallback(text->Callback, TextArgument, &out.Result));
                out.Called = true;
            }
            if (text->TextBuffer) {
                const size_t length = strnlen(text->TextBuffer, TextBufferBytes);
                memcpy(out.Text, text->TextBuffer, length);
                out.Text[length] = 0;
            }
        }
    }
}

PassResults GaugeHost::Pass(double value)
{
    PassResults results;
    Pass(value, &results);
    return results;
}
