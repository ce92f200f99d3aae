// A stand-in for the simulator that loads a built Lumivane.gau and drives it
// only the way the host does: through the exported Linkage and ImportTable,
// the records they lead to (read by the host's byte offsets, never through the
// gauge's own headers), a service table of recording services, and calls made
// with the callee-cleans convention, measuring the stack around each one.
#ifndef LUMIVANE_TESTS_MODULE_GAUGEHOST_H
#define LUMIVANE_TESTS_MODULE_GAUGEHOST_H

#include <windows.h>

#include <stdint.h>
#include <string>
#include <vector>

// One call the gauge made to a host service.
struct ServiceCall {
    uint32_t Entry;
    std::vector<uint32_t> Args;
};

// What the gauge shows after one pass over its elements.
struct PanelState {
    double Lamps[3];   // lamp 1, 2, 3: 0.0 lit, -1.0 dark
    double Marks[3];   // bottom (Speed1), middle (Speed2), top (Speed3)
    std::string Readout;
    double ReadoutResult;
    bool operator==(const PanelState& other) const;
    bool operator!=(const PanelState& other) const { return !(*this == other); }
};

class GaugeHost {
public:
    // Host record offsets, in bytes.
    static constexpr uint32_t HeaderElementList = 8;
    static constexpr uint32_t ElementKind = 0, ElementBitmap = 4, ElementX = 8, ElementY = 12,
                              ElementGauge = 32, ElementNext = 40, ElementFailures = 44,
                              ElementFlags = 48;
    static constexpr uint32_t BackgroundHostFilled = 60;
    static constexpr uint32_t IconVariable = 60, IconCallback = 88, IconSettings = 92;
    static constexpr uint32_t TextCallback = 180, TextBuffer = 184, TextBoxWidth = 192,
                              TextBoxHeight = 196, TextColour = 208, TextBackground = 212,
                              TextHighlight = 216, TextFont = 248, TextWeight = 280,
                              TextCharSet = 284, TextFormat = 288, TextCharCount = 292;
    static constexpr uint32_t AreaRecordBytes = 44;

    GaugeHost();
    ~GaugeHost();

    // Loads the module by file name from the test program's folder.
    bool Load(const char* fileName);
    void Unload();
    // Writes the recording service table's address into ImportTable.
    void ConnectServices();

    uint32_t Linkage() const { return linkage_; }
    uint32_t ImportTable() const { return importTable_; }
    uint32_t Header() const;
    uint32_t Background() const;
    // The eight elements in chain order, following the next lists.
    std::vector<uint32_t> Chain() const;
    // The mouse area list the gauge registered (0 before install).
    uint32_t MouseAreas() const { return mouseAreas_; }

    // The gauge routines of the header, each called as the host calls it.
    void Query();
    void Install(uint32_t value);
    void Initialize();
    void Update();
    void Generate(uint32_t value);
    void Draw();
    void Kill();

    // One pass over the element tree at this airspeed: every callback in
    // chain order, the lamps asking for the airspeed through entry 40.
    PanelState Pass(double airspeed);

    // A mouse press at panel pixel x, y; true when a handler ran. A held
    // press repeats the handler where the area asks for repeats.
    bool Press(int x, int y, bool left = true, int repeats = 0);
    // The handler at x, y, or 0.
    uint32_t HandlerAt(int x, int y, bool left = true) const;

    // The recorded service calls, in order, and a way to forget them.
    const std::vector<ServiceCall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

    // Every host-to-gauge call whose stack pointer changed, by name; empty
    // when all of them removed exactly their own arguments.
    const std::vector<std::string>& StackFaults() const { return stackFaults_; }

    static uint32_t Word(uint32_t address, uint32_t offset);
    static double Float(uint32_t address, uint32_t offset);

    // The value entry 40 writes into the airspeed record.
    double airspeed = 0.0;
    // The value entry 25 writes into the background's host-filled pointer.
    static constexpr uint32_t HostFilledValue = 0x00C0FFEE;

private:
    double CallIcon(uint32_t element, const char* name);
    void CallRoutine(uint32_t offset, const char* name, const uint32_t* args, int count);
    void Measure(const char* name, int32_t drift);

    friend struct HostServices;
    HMODULE module_ = nullptr;
    uint32_t linkage_ = 0;
    uint32_t importTable_ = 0;
    uint32_t mouseAreas_ = 0;
    std::vector<ServiceCall> calls_;
    std::vector<std::string> stackFaults_;
    char textBuffer_[16];
};

#endif
