// Lumivane.gau as the simulator finds it: the exported records, the services
// each gauge routine calls and in which order, the element chain and mouse
// areas as the host reads them, and every call leaving the stack as it found
// it. Runs the built DLL itself under Wine.
#include "bench/hosting/GaugeHost.h"
#include "PanelView.h"
#include "bench/hosting/ImportHooks.h"
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/sound/SoundTap.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

extern "C" int32_t CallMeasuringStack(const void*, const uint32_t*, int32_t, double*, uint32_t*);

namespace {

// The host's record offsets in bytes, written out here rather than taken
// from host/Records.h, so that the DLL's layout is checked independently of
// the structures the bench reads it with.
constexpr uint32_t HeaderElementList = 8;
constexpr uint32_t ElementKind = 0, ElementBitmap = 4, ElementX = 8, ElementY = 12, ElementGauge = 32,
                   ElementNext = 40, ElementFailures = 44, ElementFlags = 48;
constexpr uint32_t IconVariable = 60, IconCallbackAt = 88, IconSettings = 92;
constexpr uint32_t TextCallbackAt = 180, TextBuffer = 184, TextBoxWidth = 192, TextBoxHeight = 196,
                   TextColour = 208, TextBackground = 212, TextHighlight = 216, TextFont = 248, TextWeight = 280,
                   TextCharSet = 284, TextFormat = 288, TextCharCount = 292;
constexpr uint32_t AreaRecordBytes = 44;

uint32_t Address(const void* p)
{
    return reinterpret_cast<uint32_t>(p);
}

uint32_t Word(uint32_t address, uint32_t offset)
{
    uint32_t value;
    memcpy(&value, reinterpret_cast<const void*>(address + offset), sizeof value);
    return value;
}

uint32_t Word(const void* record, uint32_t offset)
{
    return Word(Address(record), offset);
}

using Args = std::vector<uintptr_t>;
using Names = std::vector<std::string>;

// What the module's GetActiveWindow answers, as the simulator's panel window
// would be: a value no other call could give by chance.
HWND WINAPI ActivePanelWindow()
{
    return reinterpret_cast<HWND>(uintptr_t(0x00AC71BE));
}

// The host entries by number and the DirectSound calls, each unbroken run
// of them as one "dsound", in the order the gauge made them.
Names HostAndSound(const std::vector<ServiceCall>& calls, const std::vector<SoundEvent>& sound)
{
    std::vector<std::pair<uint64_t, std::string>> all;
    for (const ServiceCall& call : calls)
        all.push_back({call.Order, std::to_string(call.Entry)});
    for (const SoundEvent& event : sound)
        all.push_back({event.Order, "dsound"});
    std::sort(all.begin(), all.end());
    Names merged;
    for (const auto& call : all)
        if (merged.empty() || call.second != "dsound" || merged.back() != "dsound")
            merged.push_back(call.second);
    return merged;
}

DWORD WINAPI DoNothing(LPVOID)
{
    return 0;
}

const char* const SettingsFiles[] = {"C:\\pelmo", "C:\\pelmo1", "C:\\pelmo2"};

class GaugeModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* path : SettingsFiles)
            remove(path);
        std::string error;
        ASSERT_TRUE(host.Load(ProgramFolder() + "Lumivane.gau", &error)) << error;
    }

    void TearDown() override
    {
        EXPECT_TRUE(host.StackFaults().empty()) << host.StackFaults().front();
        host.Unload();
        for (const char* path : SettingsFiles)
            remove(path);
    }

    void InstallConnected()
    {
        host.ConnectServices();
        host.Install(0x1234);
        host.ClearCalls();
    }

    std::vector<uint32_t> Entries() const
    {
        std::vector<uint32_t> entries;
        for (const ServiceCall& call : host.Calls())
            entries.push_back(call.Entry);
        return entries;
    }

    // Which of the eight mouse area records a left press at x, y lands in.
    int AreaAt(int x, int y) const
    {
        MouseArea* record = host.AreaAt(x, y);
        return record ? int((Address(record) - Address(host.MouseAreas())) / AreaRecordBytes) : -1;
    }

    GaugeHost host;
};

// Callees of both conventions, taking 0, 1, 2 and 5 words: each notes the
// words it was handed, in order, and answers with a value made of them, so
// that a word pushed out of order or not at all changes what comes back.
uint32_t Seen[5];

template <int N>
void See(const uint32_t (&words)[N])
{
    for (int i = 0; i < N; ++i)
        Seen[i] = words[i];
}

uint32_t Mixed(uint32_t salt, std::initializer_list<uint32_t> words)
{
    uint32_t value = salt;
    for (uint32_t w : words)
        value = value * 31 + w;
    return value;
}

// The same four callees in each convention, told apart by their salt.
#define CALLEES(Convention, Prefix, Salt)                                                                  \
    int32_t Convention Prefix##0() { return int32_t(Mixed(Salt, {})); }                                   \
    int32_t Convention Prefix##1(uint32_t a) { See({a}); return int32_t(Mixed(Salt + 1, {a})); }          \
    int32_t Convention Prefix##2(uint32_t a, uint32_t b) { See({a, b}); return int32_t(Mixed(Salt + 2, {a, b})); } \
    int32_t Convention Prefix##5(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e)               \
    {                                                                                                     \
        See({a, b, c, d, e});                                                                             \
        return int32_t(Mixed(Salt + 5, {a, b, c, d, e}));                                                 \
    }
CALLEES(__stdcall, Std, 0xC0)
CALLEES(__cdecl, Cdecl, 0xD0)
#undef CALLEES
// Doubles come back on the x87 stack, whatever the convention.
double __stdcall StdDouble0() { return 2.5; }
double __stdcall StdDouble2(uint32_t a, uint32_t b) { See({a, b}); return a + b / 4.0; }
double __cdecl CdeclDouble1(uint32_t a) { See({a}); return -double(a) / 8; }

TEST(StackProbe, TellsTheConventionsApart)
{
    // The probe itself must see the fault the gauge is checked for: a callee
    // that removes what it was given leaves 0, one that removes nothing
    // leaves every word (-4 each), one that removes more than it was given
    // takes the difference from above the arguments (+4 each).
    const uint32_t words[5] = {0x01020304u, 0x80000000u, 7, 0xFFFFFFFFu, 0};
    // What a row can say of the result: a callee handed fewer words than it
    // takes computes from whatever lies above them.
    enum Result { Integer, Real, Unknown };
    const struct {
        const char* what;
        const void* callee;
        int32_t given;   // words pushed
        int32_t checked; // words the callee must have seen as pushed
        int32_t drift;
        Result kind;
        uint32_t integer;
        double real;
    } rows[] = {
        {"stdcall of none", (const void*)&Std0, 0, 0, 0, Integer, Mixed(0xC0, {}), 0},
        {"stdcall of one", (const void*)&Std1, 1, 1, 0, Integer, Mixed(0xC1, {words[0]}), 0},
        {"stdcall of two", (const void*)&Std2, 2, 2, 0, Integer, Mixed(0xC2, {words[0], words[1]}), 0},
        {"stdcall of five", (const void*)&Std5, 5, 5, 0, Integer,
            Mixed(0xC5, {words[0], words[1], words[2], words[3], words[4]}), 0},
        {"stdcall of one given none", (const void*)&Std1, 0, 0, 4, Unknown, 0, 0},
        {"stdcall of two given one", (const void*)&Std2, 1, 1, 4, Unknown, 0, 0},
        {"stdcall of five given two", (const void*)&Std5, 2, 2, 12, Unknown, 0, 0},
        {"stdcall of none given two", (const void*)&Std0, 2, 0, -8, Integer, Mixed(0xC0, {}), 0},
        {"cdecl of none", (const void*)&Cdecl0, 0, 0, 0, Integer, Mixed(0xD0, {}), 0},
        {"cdecl of one", (const void*)&Cdecl1, 1, 1, -4, Integer, Mixed(0xD1, {words[0]}), 0},
        {"cdecl of two", (const void*)&Cdecl2, 2, 2, -8, Integer, Mixed(0xD2, {words[0], words[1]}), 0},
        {"cdecl of five", (const void*)&Cdecl5, 5, 5, -20, Integer,
            Mixed(0xD5, {words[0], words[1], words[2], words[3], words[4]}), 0},
        {"stdcall double of none", (const void*)&StdDouble0, 0, 0, 0, Real, 0, 2.5},
        {"stdcall double of two", (const void*)&StdDouble2, 2, 2, 0, Real, 0, words[0] + words[1] / 4.0},
        {"cdecl double of one", (const void*)&CdeclDouble1, 1, 1, -4, Real, 0, -double(words[0]) / 8},
    };
    // Three rounds, so that a result left on the x87 stack would fill its
    // eight registers and spoil the doubles after it.
    for (int round = 0; round < 3; ++round) {
        for (const auto& row : rows) {
            for (const bool wantInteger : {false, true}) {
                memset(Seen, 0xEE, sizeof Seen);
                uint32_t integer = 0x5A5A5A5A;
                double real = -123.0;
                // A double's result must be taken off the x87 stack, so a
                // double callee is always given a place for it.
                const bool wantReal = row.kind == Real || wantInteger;
                const int32_t drift = CallMeasuringStack(row.callee, words, row.given, wantReal ? &real : nullptr,
                    wantInteger ? &integer : nullptr);
                EXPECT_EQ(drift, row.drift) << row.what;
                for (int32_t i = 0; i < row.checked; ++i)
                    EXPECT_EQ(Seen[i], words[i]) << row.what << ": word " << i;
                if (row.kind == Integer && wantInteger)
                    EXPECT_EQ(integer, row.integer) << row.what << ": the integer result";
                if (!wantInteger)
                    EXPECT_EQ(integer, 0x5A5A5A5Au) << row.what << ": no place for an integer, none written";
                if (row.kind == Real)
                    EXPECT_EQ(real, row.real) << row.what << ": the double result, round " << round;
                if (!wantReal)
                    EXPECT_EQ(real, -123.0) << row.what << ": no place for a double, none written";
            }
        }
    }
    volatile double three = 3;
    EXPECT_EQ(three * 1.5, 4.5) << "the x87 stack after every call";
}

TEST_F(GaugeModule, ExportsLinkageAndImportTable)
{
    uint32_t linkage = Address(host.Linkage());
    EXPECT_EQ(Word(linkage, 0), 0x13u);
    EXPECT_NE(Word(linkage, 4), 0u) << "module init routine";
    EXPECT_NE(Word(linkage, 8), 0u) << "module deinit routine";
    for (uint32_t offset : {12u, 16u, 20u, 28u})
        EXPECT_EQ(Word(linkage, offset), 0u) << "Linkage offset " << offset;

    uint32_t imports = Address(host.ImportTable());
    EXPECT_EQ(Word(imports, 0), 0x0Fu);
    EXPECT_EQ(Word(imports, 4), 0u) << "the table address is the host's to write";
    EXPECT_EQ(Word(imports, 8), 0u);
    EXPECT_EQ(Word(imports, 12), 0u);

    uint32_t header = Address(host.Header());
    EXPECT_EQ(Word(header, 0), 0x262u);
    EXPECT_STREQ(reinterpret_cast<const char*>(Word(header, 4)), "Lumivane.gau");
    uint32_t list = Word(header, HeaderElementList);
    EXPECT_NE(Word(list, 0), 0u);
    EXPECT_EQ(Word(list, 4), 0u) << "one element in the header's list";
    for (uint32_t offset = 12; offset <= 36; offset += 4)
        EXPECT_NE(Word(header, offset), 0u) << "gauge routine at " << offset;
    EXPECT_EQ(Word(header, 40), 0u);
    EXPECT_EQ(Word(header, 44), 40u);
    for (uint32_t offset = 48; offset < 88; offset += 4)
        EXPECT_EQ(Word(header, offset), 0u) << "header offset " << offset;

    // The module routines take nothing and change nothing.
    EXPECT_EQ(CallMeasuringStack(reinterpret_cast<const void*>(Word(linkage, 4)), nullptr, 0,
                                 nullptr, nullptr), 0);
    EXPECT_EQ(CallMeasuringStack(reinterpret_cast<const void*>(Word(linkage, 8)), nullptr, 0,
                                 nullptr, nullptr), 0);
}

TEST_F(GaugeModule, RoutinesForwardToTheHostInOrder)
{
    host.ConnectServices();
    uint32_t background = Address(host.Background());
    uint32_t header = Address(host.Header());
    ImportHook window = {"user32.dll", "GetActiveWindow", reinterpret_cast<void*>(&ActivePanelWindow), nullptr,
                         false};
    ASSERT_EQ(HookImports(host.ModuleHandle(), &window, 1), 1);

    // The sounds are loaded between the element tree install and the mouse
    // area install, and released before anything else of the kill. Without
    // a device (none is configured for this program, so Wine's DirectSound
    // refuses one) install goes on; on the software device the whole load
    // and release run, the cooperative level set for the active window.
    const struct {
        bool softSound;
        Names install, kill;
    } devices[] = {
        {false, {"25", "dsound", "32", "33"}, {"34", "31"}},
        {true, {"25", "dsound", "32", "33"}, {"dsound", "34", "31"}},
    };
    for (const auto& device : devices) {
        ASSERT_TRUE(TapGaugeSound(host.ModuleHandle(), device.softSound, &LumivaneDescription()));
        ClearSoundEvents();
        host.ClearCalls();
        host.Install(0x1234);
        EXPECT_EQ(HostAndSound(host.Calls(), SoundEvents()), device.install) << "soft sound " << device.softSound;
        ASSERT_EQ(Entries(), (std::vector<uint32_t>{25, 32, 33}));
        EXPECT_EQ(host.Calls()[0].Args, (Args{background, 0x1234}));
        uintptr_t areas = host.Calls()[1].Args[0];
        EXPECT_EQ(host.Calls()[1].Args, (Args{areas, header, GaugeHost::HostFilledValue + 4}))
            << "mouse areas install gets the pointer entry 25 filled, advanced by 4 bytes";
        EXPECT_EQ(host.Calls()[2].Args, (Args{areas, header}));
        int levels = 0;
        for (const SoundEvent& event : SoundEvents()) {
            if (event.What != SoundEvent::CooperativeLevel)
                continue;
            ++levels;
            EXPECT_EQ(event.Window, uintptr_t(ActivePanelWindow())) << "the level is set for the active window";
            EXPECT_EQ(event.Flags, 1u) << "DSSCL_NORMAL";
        }
        EXPECT_EQ(levels, device.softSound ? 1 : 0);

        host.ClearCalls();
        host.Query();
        host.Initialize();
        host.Update();
        host.Generate(77);
        host.Draw();
        ASSERT_EQ(Entries(), (std::vector<uint32_t>{24, 26, 27, 28, 29}));
        for (const ServiceCall& call : host.Calls())
            EXPECT_EQ(call.Args[0], background) << "entry " << call.Entry;
        EXPECT_EQ(host.Calls()[3].Args[1], 77u) << "generate passes its value on";

        ClearSoundEvents();
        host.ClearCalls();
        host.Kill();
        EXPECT_EQ(HostAndSound(host.Calls(), SoundEvents()), device.kill) << "soft sound " << device.softSound;
        ASSERT_EQ(Entries(), (std::vector<uint32_t>{34, 31}));
        EXPECT_EQ(host.Calls()[0].Args, (Args{areas, header}));
        EXPECT_EQ(host.Calls()[1].Args, (Args{background}));
    }
}

TEST_F(GaugeModule, LampsLookUpTheAirspeedAtEveryEvaluation)
{
    InstallConnected();
    host.Pass(85.0);
    std::vector<uintptr_t> lookups;
    for (const ServiceCall& call : host.Calls()) {
        EXPECT_EQ(call.Entry, 40u) << "a pass calls no service but the variable lookup";
        EXPECT_EQ(call.Args[1], 61u) << "the record names host variable 61";
        lookups.push_back(call.Args[0]);
    }
    ASSERT_EQ(lookups.size(), 3u) << "one lookup per lamp";
    EXPECT_EQ(lookups[0], lookups[1]);
    EXPECT_EQ(lookups[1], lookups[2]);
}

TEST_F(GaugeModule, ElementChainAsTheHostReadsIt)
{
    std::vector<uint32_t> chain;
    for (ElementHeader* element : host.Chain())
        chain.push_back(Address(element));
    ASSERT_EQ(chain.size(), 8u);
    EXPECT_EQ(Word(chain[7], ElementNext), 0u) << "the readout ends the chain";

    const struct {
        int32_t kind, bitmap, x, y;
        uint32_t flags;
    } expected[8] = {
        {0, 4096, 0, 0, 0x4001},   {4, 8192, 22, 7, 0x4003},  {4, 8195, 47, 7, 0x4003},
        {4, 8198, 72, 7, 0x4003},  {4, 12288, 7, 51, 0x4003}, {4, 12291, 7, 32, 0x4003},
        {4, 12294, 7, 13, 0x4003}, {2, -1, 25, 35, 0x4003},
    };
    uint32_t failures = Word(chain[1], ElementFailures);
    for (int i = 0; i < 8; ++i) {
        uint32_t e = chain[i];
        SCOPED_TRACE("element " + std::to_string(i));
        EXPECT_EQ(int32_t(Word(e, ElementKind)), expected[i].kind);
        EXPECT_EQ(int32_t(Word(e, ElementBitmap)), expected[i].bitmap);
        EXPECT_EQ(int32_t(Word(e, ElementX)), expected[i].x);
        EXPECT_EQ(int32_t(Word(e, ElementY)), expected[i].y);
        EXPECT_EQ(Word(e, ElementFlags), expected[i].flags);
        EXPECT_EQ(Word(e, ElementGauge), Address(host.Header()));
        for (uint32_t offset : {16u, 20u, 24u, 28u, 36u, 52u, 56u})
            EXPECT_EQ(Word(e, offset), 0u) << "offset " << offset;
        bool icon = expected[i].kind == 4;
        EXPECT_EQ(Word(e, ElementFailures), icon ? failures : 0u)
            << "the icons share one failure list; the others have none";
        if (icon) {
            EXPECT_EQ(Word(e, IconVariable), 5u);
            EXPECT_NE(Word(e, IconCallbackAt), 0u);
            for (uint32_t s = 0; s < 11; ++s)
                EXPECT_EQ(Word(e, IconSettings + 4 * s), s == 5 ? 1u : 0u)
                    << "icon setting " << s;
        }
    }
    for (uint32_t offset = 0; offset < 24; offset += 4)
        EXPECT_EQ(Word(failures, offset), offset == 0 ? 2u : 0u) << "failure list word " << offset / 4;

    uint32_t readout = chain[7];
    EXPECT_EQ(Word(readout, 60), 1u);
    EXPECT_EQ(Word(readout, 88), 0u);
    EXPECT_EQ(Word(readout, 116), 0u);
    EXPECT_NE(Word(readout, TextCallbackAt), 0u);
    EXPECT_EQ(Word(readout, TextBuffer), 0u) << "the host fills the text buffer";
    EXPECT_EQ(Word(readout, TextBoxWidth), 62u);
    EXPECT_EQ(Word(readout, TextBoxHeight), 25u);
    EXPECT_EQ(Word(readout, TextColour), 0xEFEFEFu);
    EXPECT_EQ(Word(readout, TextBackground), 0u);
    EXPECT_EQ(Word(readout, TextHighlight), 0u);
    char font[33] = {};
    memcpy(font, reinterpret_cast<const void*>(readout + TextFont), 32);
    EXPECT_STREQ(font, "Courier New");
    for (int i = 11; i < 32; ++i)
        EXPECT_EQ(font[i], 0) << "font name padding at " << i;
    EXPECT_EQ(Word(readout, TextWeight), 400u);
    EXPECT_EQ(Word(readout, TextCharSet), 1u);
    EXPECT_EQ(Word(readout, TextFormat), 0x25u);
    EXPECT_EQ(Word(readout, TextCharCount), 3u);

    // Past the common words, every word the description does not name is 0
    // there: the host's own fields and the variables' host-filled words.
    const struct {
        int32_t kind;
        uint32_t bytes;
        std::vector<uint32_t> named;
    } layouts[] = {
        {0, 80, {}},
        {4, 136, {IconVariable, IconCallbackAt, IconSettings + 4 * 5}},
        {2, 312,
            {60, TextCallbackAt, TextBoxWidth, TextBoxHeight, TextColour, TextFont, TextFont + 4, TextFont + 8,
                TextWeight, TextCharSet, TextFormat, TextCharCount}},
    };
    for (int i = 0; i < 8; ++i)
        for (const auto& layout : layouts)
            if (layout.kind == expected[i].kind)
                for (uint32_t offset = 60; offset < layout.bytes; offset += 4)
                    if (std::find(layout.named.begin(), layout.named.end(), offset) == layout.named.end())
                        EXPECT_EQ(Word(chain[i], offset), 0u) << "element " << i << ", offset " << offset;

    // The host loads each bitmap from the module by its id.
    HMODULE module = GetModuleHandleA("Lumivane.gau");
    for (int i = 0; i < 7; ++i)
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(expected[i].bitmap), MAKEINTRESOURCEA(2)), nullptr)
            << "bitmap " << expected[i].bitmap;
}

TEST_F(GaugeModule, MouseAreasAsTheHostReadsThem)
{
    InstallConnected();
    uint32_t areas = Address(host.MouseAreas());
    ASSERT_NE(areas, 0u);
    const int32_t expected[8][9] = {
        // type, x, y, w, h, cursor, help, events, event id
        {1, 0, 0, 0, 0, -1, 0, 0, 0},
        {2, 25, 35, 30, 38, 2, 0, 0x20200000, 0},
        {2, 57, 25, 30, 38, 1, 0, 0x20200000, 0},
        {2, 3, 12, 14, 14, 5, 0, 0x20000000, 0},
        {2, 3, 31, 14, 14, 5, 0, 0x20000000, 0},
        {2, 3, 50, 14, 14, 5, 0, 0x20000000, 0},
        {3, 0, 0, 0, 0, -1, 0, 0, 0},
        {0, 0, 0, 0, 0, -1, 0, 0, 0},
    };
    for (uint32_t r = 0; r < 8; ++r) {
        uint32_t record = areas + r * AreaRecordBytes;
        for (uint32_t w = 0; w < 9; ++w)
            EXPECT_EQ(int32_t(Word(record, 4 * w)), expected[r][w]) << "record " << r << " word " << w;
        bool area = expected[r][0] == 2;
        EXPECT_EQ(Word(record, 36) != 0, area) << "record " << r << " handler";
        EXPECT_EQ(Word(record, 40), 0u) << "record " << r << " last word";
    }

    // Click points and the records they land in: 1 decrease, 2 increase,
    // 3 top, 4 middle, 5 bottom selector.
    const struct {
        int x, y, area;
    } clicks[] = {
        {25, 35, 1}, {54, 69, 1}, {57, 25, 2}, {86, 62, 2}, {55, 40, -1}, {56, 40, -1}, {87, 40, -1},
        {57, 24, -1}, {3, 12, 3}, {16, 25, 3}, {3, 31, 4}, {16, 63, 5}, {3, 26, -1}, {3, 30, -1}, {17, 20, -1},
    };
    for (const auto& click : clicks)
        EXPECT_EQ(AreaAt(click.x, click.y), click.area) << "left press at " << click.x << "," << click.y;
    EXPECT_EQ(host.AreaAt(30, 40, Button::Right), nullptr) << "only the left button acts";
}

TEST_F(GaugeModule, ClicksReachTheHandlers)
{
    InstallConnected();
    PanelView state = ViewOf(host.Pass(0.0));
    EXPECT_EQ(state.Readout, "100");
    EXPECT_EQ(state.Marks[2], 0.0) << "Speed3 is selected at load";
    EXPECT_EQ(state.Marks[1], -1.0);
    EXPECT_EQ(state.Marks[0], -1.0);

    ASSERT_TRUE(host.Press(3, 31)); // middle selector
    state = ViewOf(host.Pass(0.0));
    EXPECT_EQ(state.Readout, " 90");
    EXPECT_EQ(state.Marks[1], 0.0);
    EXPECT_EQ(state.Marks[2], -1.0);

    ASSERT_TRUE(host.Press(86, 62, true, 4)); // increase, held for four repeats
    EXPECT_EQ(ViewOf(host.Pass(0.0)).Readout, " 95");
    ASSERT_TRUE(host.Press(25, 35)); // decrease
    EXPECT_EQ(ViewOf(host.Pass(0.0)).Readout, " 94");

    ASSERT_TRUE(host.Press(16, 63, true, 4)); // bottom selector: held, acts once
    state = ViewOf(host.Pass(0.0));
    EXPECT_EQ(state.Readout, " 80");
    EXPECT_EQ(state.Marks[0], 0.0);
    EXPECT_FALSE(host.Press(55, 40));
    EXPECT_FALSE(host.Press(30, 40, false));
}

TEST_F(GaugeModule, LampWindowsThroughTheHost)
{
    InstallConnected();
    const struct {
        double airspeed;
        double lamps[3];
    } passes[] = {
        {0.0, {-1, -1, -1}},   {79.9, {-1, -1, -1}}, {80.0, {0, -1, -1}},    {90.0, {0, 0, -1}},
        {100.0, {0, 0, 0}},    {110.0, {0, 0, 0}},   {110.001, {-1, -1, -1}}, {150.0, {-1, -1, -1}},
        {105.0, {0, 0, 0}},
    };
    for (const auto& pass : passes) {
        PanelView state = ViewOf(host.Pass(pass.airspeed));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(state.Lamps[i], pass.lamps[i]) << "lamp " << i + 1 << " at " << pass.airspeed;
    }
}

TEST_F(GaugeModule, KillAndInstallAgainKeepTheSettings)
{
    InstallConnected();
    host.Press(16, 63);            // select Speed1
    host.Press(57, 25, true, 2);   // three increases: 83
    host.Pass(95.0);
    host.Kill();
    host.ClearCalls();
    host.Install(0);
    ASSERT_EQ(Entries(), (std::vector<uint32_t>{25, 32, 33}));
    PanelView state = ViewOf(host.Pass(82.0));
    EXPECT_EQ(state.Readout, " 83") << "speed and selection survive kill and install";
    EXPECT_EQ(state.Marks[0], 0.0);
    EXPECT_EQ(state.Lamps[0], -1.0) << "82 is below the adjusted Speed1";
}

TEST_F(GaugeModule, WithoutAServiceTableNothingIsCalled)
{
    // A host that never wrote its table address: nothing may crash it.
    host.Query();
    host.Install(0);
    host.Initialize();
    host.Update();
    host.Generate(0);
    host.Draw();
    PanelView state = ViewOf(host.Pass(95.0));
    EXPECT_EQ(state.Lamps[0], -1.0) << "the airspeed record still holds 0";
    host.Kill();
    EXPECT_TRUE(host.Calls().empty());

    // Connected, the record takes the airspeed; cut off again, the lamps
    // judge the value it already holds.
    host.ConnectServices();
    host.Pass(95.0);
    host.ImportTable()->Services = nullptr;
    state = ViewOf(host.Pass(20.0));
    EXPECT_EQ(state.Lamps[0], 0.0);
    EXPECT_EQ(state.Lamps[1], 0.0);
    EXPECT_EQ(state.Lamps[2], -1.0);
}

TEST_F(GaugeModule, TheFirstReadoutIsRightWhateverTheHostBufferHolds)
{
    // The readout formats again only when its text is not already in the
    // buffer; the first pass after a load must not take that for granted,
    // whatever the host's buffer held: nothing, the text already right, or
    // the text of another speed, the one the readout starts out remembering
    // among them. Speed3, 100, is selected at load.
    const std::string starts[] = {
        std::string(16, '\0'), "  0", "100", " 90", "***", std::string(16, '\xFF'), std::string("  0\0garbage", 11),
    };
    for (const std::string& start : starts) {
        host.Unload();
        ASSERT_TRUE(host.Load(ProgramFolder() + "Lumivane.gau"));
        InstallConnected();
        memset(host.TextBuffer(0), 0, GaugeHost::TextBufferBytes);
        memcpy(host.TextBuffer(0), start.data(), std::min<size_t>(start.size(), GaugeHost::TextBufferBytes));
        EXPECT_EQ(ViewOf(host.Pass(0.0)).Readout, "100") << "the buffer held \"" << start.c_str() << "\"";
        host.Kill();
    }
}

TEST_F(GaugeModule, EntryPointAcceptsEveryReason)
{
    // Load and unload run process attach and detach; a thread start and end
    // in between run thread attach and detach. Each must succeed.
    HANDLE thread = CreateThread(nullptr, 0, DoNothing, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    host.Unload();
    EXPECT_TRUE(host.Load(ProgramFolder() + "Lumivane.gau")) << "a second load after unload";
}

} // namespace
