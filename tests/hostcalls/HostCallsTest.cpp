// The gauge's calls into the host, on their own: each reaches exactly its
// entry of the service table with its arguments in the entry's form, the
// table is read afresh at every call, and with no table, or an empty entry,
// nothing is called and the variable lookup says it could not ask. One row
// for each of the eleven entries the gauge uses.
#include "hostcalls/HostCalls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum Form { Element, ElementValue, Areas, AreasInPlace, Variable };

struct Call {
    Form What;
    const void* First;  // element, areas or variable
    const void* Second; // gauge
    const void* Place;
    uint32_t Value;
};

std::vector<Call> Calls;
int WrongEntries = 0;

void GAUGE_STDCALL ElementFake(ElementHeader* element)
{
    Calls.push_back({Element, element, nullptr, nullptr, 0});
}

void GAUGE_STDCALL ElementValueFake(ElementHeader* element, uint32_t value)
{
    Calls.push_back({ElementValue, element, nullptr, nullptr, value});
}

void GAUGE_STDCALL AreasFake(MouseArea* areas, GaugeHeader* gauge)
{
    Calls.push_back({Areas, areas, gauge, nullptr, 0});
}

void GAUGE_STDCALL AreasInPlaceFake(MouseArea* areas, GaugeHeader* gauge, void* place)
{
    Calls.push_back({AreasInPlace, areas, gauge, place, 0});
}

const double LookedUp = 123.5;

void GAUGE_STDCALL VariableFake(VariableRecord* variable)
{
    Calls.push_back({Variable, variable, nullptr, nullptr, 0});
    variable->Value = LookedUp;
}

// Every entry a row does not name: reaching one is reaching the wrong service.
void GAUGE_STDCALL WrongEntry()
{
    ++WrongEntries;
}

struct Row {
    HostService Entry;
    Form What;
};

const Row Rows[] = {
    {ElementTreeQuery, Element},
    {ElementTreeInstall, ElementValue},
    {ElementTreeInitialize, Element},
    {ElementTreeUpdate, Element},
    {ElementTreeGenerate, ElementValue},
    {ElementTreeDraw, Element},
    {ElementTreeRelease, Element},
    {MouseAreasInstall, AreasInPlace},
    {MouseAreasRegister, Areas},
    {MouseAreasUnregister, Areas},
    {VariableLookup, Variable},
};

HostServiceAddress FakeFor(Form what)
{
    switch (what) {
    case Element:
        return reinterpret_cast<HostServiceAddress>(&ElementFake);
    case ElementValue:
        return reinterpret_cast<HostServiceAddress>(&ElementValueFake);
    case Areas:
        return reinterpret_cast<HostServiceAddress>(&AreasFake);
    case AreasInPlace:
        return reinterpret_cast<HostServiceAddress>(&AreasInPlaceFake);
    case Variable:
        return reinterpret_cast<HostServiceAddress>(&VariableFake);
    }
    return nullptr;
}

ElementHeader SomeElement;
MouseArea SomeAreas[2];
GaugeHeader SomeGauge;
int SomePlace;
VariableRecord SomeVariable;

// Makes the call of the row's form; 1 when it says it asked (the lookup's
// result, and 1 for the forms that return nothing).
int32_t Make(const Row& row)
{
    switch (row.What) {
    case Element:
        CallHost(row.Entry, &SomeElement);
        return 1;
    case ElementValue:
        CallHost(row.Entry, &SomeElement, 0x262u);
        return 1;
    case Areas:
        CallHost(row.Entry, SomeAreas, &SomeGauge);
        return 1;
    case AreasInPlace:
        CallHost(row.Entry, SomeAreas, &SomeGauge, &SomePlace);
        return 1;
    case Variable:
        return LookUpVariable(&SomeVariable);
    }
    return 0;
}

Call Expected(Form what)
{
    switch (what) {
    case Element:
        return {Element, &SomeElement, nullptr, nullptr, 0};
    case ElementValue:
        return {ElementValue, &SomeElement, nullptr, nullptr, 0x262u};
    case Areas:
        return {Areas, SomeAreas, &SomeGauge, nullptr, 0};
    case AreasInPlace:
        return {AreasInPlace, SomeAreas, &SomeGauge, &SomePlace, 0};
    case Variable:
        return {Variable, &SomeVariable, nullptr, nullptr, 0};
    }
    return {};
}

class HostCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        Calls.clear();
        WrongEntries = 0;
        for (HostServiceAddress& entry : table_)
            entry = reinterpret_cast<HostServiceAddress>(&WrongEntry);
    }
    void TearDown() override { ImportTable.Services = nullptr; }

    HostServiceAddress table_[64];
};

} // namespace

TEST_F(HostCalls, EachCallReachesExactlyItsEntryWithItsArguments)
{
    for (const Row& row : Rows) {
        const std::string name = "entry " + std::to_string(row.Entry);
        SetUp();
        table_[row.Entry] = FakeFor(row.What);
        ImportTable.Services = table_;
        SomeVariable.Value = 0.0;
        EXPECT_EQ(Make(row), 1) << name;
        EXPECT_EQ(WrongEntries, 0) << name << " reached another entry";
        ASSERT_EQ(Calls.size(), 1u) << name;
        const Call want = Expected(row.What);
        EXPECT_EQ(Calls[0].What, want.What) << name << ": the form";
        EXPECT_EQ(Calls[0].First, want.First) << name << ": the element, areas or variable";
        EXPECT_EQ(Calls[0].Second, want.Second) << name << ": the gauge header";
        EXPECT_EQ(Calls[0].Place, want.Place) << name << ": the place";
        EXPECT_EQ(Calls[0].Value, want.Value) << name << ": the value";
        // Copied out: the host's record is packed, its value unaligned.
        const double value = SomeVariable.Value;
        if (row.What == Variable)
            EXPECT_EQ(value, LookedUp) << "the host's value in the record";
    }
}

TEST_F(HostCalls, WithoutATableOrAnEntryNothingIsCalledAndTheRecordKeepsItsValue)
{
    for (const Row& row : Rows) {
        const std::string name = "entry " + std::to_string(row.Entry);
        for (bool table : {false, true}) {
            SetUp();
            table_[row.Entry] = nullptr;
            ImportTable.Services = table ? table_ : nullptr;
            SomeVariable.Value = 7.0;
            const int32_t asked = Make(row);
            if (row.What == Variable) {
                EXPECT_EQ(asked, 0) << name << (table ? " empty" : " without a table") << ": could not ask";
                const double value = SomeVariable.Value;
                EXPECT_EQ(value, 7.0) << name << ": the record keeps what it held";
            }
            EXPECT_TRUE(Calls.empty()) << name << (table ? " empty" : " without a table");
            EXPECT_EQ(WrongEntries, 0) << name << (table ? " empty" : " without a table");
        }
    }
}

TEST_F(HostCalls, TheTableIsReadAfreshAtEveryCall)
{
    HostServiceAddress serving[64] = {};
    serving[VariableLookup] = reinterpret_cast<HostServiceAddress>(&VariableFake);
    HostServiceAddress empty[64] = {};
    const struct {
        HostServiceAddress* Table;
        int32_t Asked;
    } steps[] = {{nullptr, 0}, {serving, 1}, {empty, 0}, {serving, 1}, {nullptr, 0}};
    size_t calls = 0;
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        ImportTable.Services = steps[i].Table;
        EXPECT_EQ(LookUpVariable(&SomeVariable), steps[i].Asked) << "step " << i;
        calls += size_t(steps[i].Asked);
        EXPECT_EQ(Calls.size(), calls) << "step " << i;
    }
}
