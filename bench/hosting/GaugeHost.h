// A stand-in for the simulator that drives a loaded gauge module only the way
// the host does: through the exported Linkage and ImportTable, the records
// they lead to (read through host/Records.h), a service table of the bench's
// own, and calls made with the host's convention, each one's stack balance
// measured where that applies (bench/hosting/GaugeCalls.h). It knows nothing of the
// gauge's sources. A pass allocates nothing, so that the bench can fly long
// profiles quickly.
#ifndef LUMIVANE_BENCH_GAUGEHOST_H
#define LUMIVANE_BENCH_GAUGEHOST_H

#include "bench/hosting/ModuleFile.h"
#include "host/Records.h"
#include "host/Services.h"

#include <stdint.h>
#include <string>
#include <vector>

// One call the gauge made to a host service, kept while tracing is on.
struct ServiceCall {
    uint32_t Entry;
    std::vector<uintptr_t> Args;
    uint64_t Order; // on the count of bench/hosting/CallOrder.h
};

// What the host holds of one element after a pass, as it draws it: the
// element's kind, what its callback returned, the image that result picks
// and, for a text element, the text its buffer holds. Nothing here says what
// an element means to the gauge; that is the gauge's own reading.
struct ElementResult {
    static constexpr int TextBytes = 16; // the host's text buffer, as the gauge may fill it
    int32_t Kind = StaticImageKind;
    int32_t BitmapId = -1;  // as the element names it
    bool Called = false;    // a callback ran for it this pass
    double Argument = 0;    // what the host handed a text callback
    double Result = -1.0;   // the callback's result; -1.0 when none ran
    int32_t Image = -1;     // an icon's image shown, from 0; -1 for none
    char Text[TextBytes + 1] = {}; // a text element's buffer, cut at its zero
};

// One pass over the element chain: every element's result in chain order.
// Fixed in size, so that a pass allocates nothing.
struct PassResults {
    static constexpr int MostElements = 32;
    int Count = 0;
    ElementResult Elements[MostElements];
    // The same picture: every element shows the same image and text.
    bool operator==(const PassResults& other) const;
    bool operator!=(const PassResults& other) const { return !(*this == other); }
};

// Mouse buttons as a press names them.
enum class Button { Left, Right, Middle };

class GaugeHost {
public:
    // The largest side of a gauge the bench mounts, in pixels: a background
    // whose bitmap claims more is no size the host takes.
    static constexpr int MostGaugeSide = 4096;
    // How often the simulator evaluates its gauges: passes a second.
    static constexpr double PassesPerSecond = 18;
    // The value entry 25 writes into the background's host-filled pointer:
    // what it designates is the host's, and the gauge only hands it on.
    static constexpr uintptr_t HostFilledValue = 0x00C0FFEE;
    // Characters of the host's text buffer for each text element.
    static constexpr int TextBufferBytes = ElementResult::TextBytes;
    // What the host hands every text callback. A gauge hands it back or
    // returns something else, whose meaning is the gauge's own: a value no
    // whole number, so that a result that says something else is never it.
    static constexpr double TextArgument = 0.5;

    GaugeHost();
    ~GaugeHost();
    GaugeHost(const GaugeHost&) = delete;
    GaugeHost& operator=(const GaugeHost&) = delete;

    // Loads the module at `path` (bench/hosting/ModuleFile.h); false with `error`.
    bool Load(const std::string& path, std::string* error = nullptr);
    void Unload();
    bool Loaded() const { return module_.Handle != nullptr; }
    void* ModuleHandle() const { return module_.Handle; }
    // Writes the bench's service table's address into ImportTable.
    void ConnectServices();
    // Writes a lean table's address instead, for a program that measures what
    // a gauge's own callbacks cost and calls them itself, in chain order
    // (Chain()): its entry 40 only writes `airspeed` into the record it is
    // handed, whatever the variable and whatever a pass is given, and neither
    // records nor counts the call, so that the host's part in what is
    // measured is one store. Its other entries are the usual ones. The table
    // is the process's, as the usual one is, and so is the airspeed.
    void ConnectLeanServices(double airspeed);

    // The gauge's size, as the simulator mounts it: the size of its
    // background element's bitmap, from the module's resources, which the
    // area group's start record stands for. 0 x 0 while no module is loaded,
    // or when the bitmap cannot be read or is larger than MostGaugeSide.
    int Width() const { return width_; }
    int Height() const { return height_; }

    ModuleLinkage* Linkage() const { return module_.Linkage; }
    ModuleImports* ImportTable() const { return module_.Imports; }
    GaugeHeader* Header() const;
    StaticImageElement* Background() const;
    // The elements in chain order, following the next lists (at most 32).
    std::vector<ElementHeader*> Chain() const;
    // The mouse area list the gauge registered, null while none is.
    MouseArea* MouseAreas() const { return mouseAreas_; }
    bool Installed() const { return installed_; }

    // The gauge routines of the header, each called as the host calls it.
    void Query();
    void Install(uint32_t value);
    void Initialize();
    void Update();
    void Generate(uint32_t value);
    void Draw();
    void Kill();

    // One pass over the element tree at this airspeed: every element's
    // callback in chain order, each result kept as the host draws it, any
    // variable lookup through entry 40 answered with `airspeed`. Fills
    // `results`; allocates nothing.
    void Pass(double airspeed, PassResults* results);
    PassResults Pass(double airspeed);

    // The area a press at panel pixel x, y with this button lands in, or
    // null: only areas whose event bits name the left button going down
    // answer, only the left button, and only inside the whole gauge.
    MouseArea* AreaAt(int x, int y, Button button = Button::Left) const;
    // The cursor code (host/Records.h) a pointer at panel pixel x, y shows:
    // the first area of the registered group under it, elsewhere the group's
    // own; NoCursor while no group is registered.
    int32_t CursorCodeAt(int x, int y) const;
    // Runs the area's handler once for a press at x, y.
    void RunHandler(MouseArea* area, int x, int y);
    // A host fault: takes `areas` as the registered list without the gauge
    // registering it, for a test of presses that reach a gauge's handlers
    // before its install registered them, or with no service table to
    // register them through. The gauge's own register and unregister still
    // replace it.
    void RegisterAreas(MouseArea* areas) { mouseAreas_ = areas; }
    // A press at x, y; true when a handler ran. A held press repeats the
    // handler `repeats` more times where the area asks for repeats.
    bool Press(int x, int y, bool left = true, int repeats = 0);
    // The area's number in the registered list (the group start is 0).
    int AreaNumber(const MouseArea* area) const;

    // The host's text buffer of the n-th text element, TextBufferBytes long:
    // what it holds before a pass is the host's, and a gauge may not rely on
    // it, so a test may fill it with anything.
    char* TextBuffer(int n) { return textBuffers_[n]; }
    // Hands every text element of the chain its buffer, in chain order, as
    // the element tree install does; a host that shows a gauge before its
    // install (or without a service table to install through) calls it first.
    void LendTextBuffers();

    // Service calls, recorded while tracing is on (the default). A run turns
    // it off: a pass then records nothing.
    void TraceServices(bool on) { trace_ = on; }
    const std::vector<ServiceCall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // How often the module has called service entry `entry` (below
    // ServiceEntries) through this host, traced or not; not the lean table's
    // entry 40.
    static constexpr uint32_t ServiceEntries = 64;
    int ServiceCalls(uint32_t entry) const { return entry < ServiceEntries ? serviceCalls_[entry] : 0; }

    // Every host-to-gauge call whose stack pointer changed, by name; empty
    // when all of them removed exactly their own arguments. Also a handler
    // whose result was not 1.
    const std::vector<std::string>& StackFaults() const { return stackFaults_; }
    // Calls to service entries the bench does not serve, by number.
    const std::vector<std::string>& ServiceFaults() const { return serviceFaults_; }
    // Lets go of the stack and service faults said so far, for a caller that
    // has taken them, so that a long faulty run does not keep them all.
    void ForgetFaults()
    {
        stackFaults_.clear();
        serviceFaults_.clear();
    }

    // Whether a call into the module faulted (where the platform catches
    // that: bench/hosting/GaugeFaults.h), and which call and how: "element 1
    // (icon)'s callback faulted: an access violation ...". From then on the
    // module is called no more, not even to kill it, until it is loaded again.
    bool Faulted() const { return faulted_; }
    const std::string& Fault() const { return fault_; }

    // The value entry 40 writes into a variable record.
    double Airspeed = 0.0;

    // Makes this host the one the service table serves, as the newest host
    // is: a program that holds several modules at once (the pass measurement)
    // hands the table to each in turn before its calls.
    void Serve();

private:
    friend struct HostServices;
    void Returned(const char* name, const char* calledAs, int32_t drift);
    void ReturnedFromElement(int index, const char* kind, int32_t drift);
    void Faulted(const std::string& call, const std::string& what);
    void Measure(const char* name, int32_t drift);
    void FindElements();
    void FindSize();
    void TakeBack();

    LoadedModule module_;
    MouseArea* mouseAreas_ = nullptr;
    bool installed_ = false;
    bool faulted_ = false;
    std::string fault_;
    bool trace_ = true;
    std::vector<ServiceCall> calls_;
    int serviceCalls_[ServiceEntries] = {};
    HostServiceAddress* connected_ = nullptr; // the table this host wrote into ImportTable
    std::vector<std::string> stackFaults_;
    std::vector<std::string> serviceFaults_;

    // The chain, found once at load: the records are the module's static
    // data and do not move while it is loaded.
    static constexpr int MaxElements = PassResults::MostElements;
    ElementHeader* elements_[MaxElements];
    int elementCount_ = 0;
    int width_ = 0, height_ = 0;
    // A buffer for every element the chain may hold, so that a gauge with
    // text elements only is served as one with a single text element is.
    char textBuffers_[MaxElements][TextBufferBytes];
};

#endif
