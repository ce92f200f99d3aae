// The bench's calls into a gauge, one per routine form, in both builds: each
// hands its routine exactly the words it was given, in order, brings back
// the routine's integer or x87 result, and (where the stack is measured)
// reports a routine that leaves its arguments behind. The routines here are
// stand-ins that note what they were handed; nothing is loaded.
#include "bench/hosting/GaugeCalls.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

namespace {

// The caller-cleans convention, which a gauge built wrongly would use; a
// 64-bit build has no other convention to get wrong.
#if defined(_WIN32) && !defined(_WIN64)
#define CALLER_CLEANS __cdecl
#else
#define CALLER_CLEANS
#endif

struct Handed {
    int Calls;
    uint32_t Words[2];
    void* Element;
    double Real;
};
Handed handed;

void Note(uint32_t a, uint32_t b = 0)
{
    ++handed.Calls;
    handed.Words[0] = a;
    handed.Words[1] = b;
}

void GAUGE_STDCALL Routine() { Note(0); }
void GAUGE_STDCALL RoutineWithValue(uint32_t value) { Note(value); }
double GAUGE_STDCALL Icon(void* element) { Note(0); handed.Element = element; return 3.25; }
double GAUGE_STDCALL Text(double value) { Note(0); handed.Real = value; return value * 2 + 0.5; }
int32_t GAUGE_STDCALL Handler(uint32_t point, uint32_t events) { Note(point, events); return int32_t(point ^ ~events); }

void CALLER_CLEANS WrongRoutine() { Note(0); }
void CALLER_CLEANS WrongRoutineWithValue(uint32_t value) { Note(value); }
double CALLER_CLEANS WrongIcon(void* element) { Note(0); handed.Element = element; return 3.25; }
double CALLER_CLEANS WrongText(double value) { Note(0); handed.Real = value; return value * 2 + 0.5; }
int32_t CALLER_CLEANS WrongHandler(uint32_t point, uint32_t events) { Note(point, events); return int32_t(point ^ ~events); }

// A routine of the wrong form, as a host finds it in a record: typed as the
// form says, built otherwise.
template <typename Form, typename Wrong>
Form AsForm(Wrong routine)
{
    return reinterpret_cast<Form>(routine);
}

} // namespace

TEST(GaugeCalls, HandEachRoutineItsWordsAndBringBackItsResult)
{
    const struct {
        uint32_t word1, word2;
        double real;
    } values[] = {
        {0, 0, 0.0},
        {1, 0x80000000u, -1.5},
        {0xFFFFFFFFu, 0x7FFFFFFFu, 1e300},
        {0x00280019u, 0x2000u, 123456789.125},
        {0x80000000u, 1, -3.0517578125e-05},
    };
    for (const bool wrong : {false, true}) {
        // What a routine that leaves its arguments behind is seen to leave:
        // each 4-byte word, where the stack is measured.
        const int32_t perWord = wrong && StackBalanceMeasured ? -4 : 0;
        const char* form = wrong ? "caller-cleans" : "callee-cleans";
        for (const auto& v : values) {
            SCOPED_TRACE(testing::Message() << form << ", words " << v.word1 << " and " << v.word2 << ", double "
                                            << v.real);
            memset(&handed, 0, sizeof handed);
            EXPECT_EQ(CallGaugeRoutine(wrong ? AsForm<GaugeRoutine>(&WrongRoutine) : &Routine), 0);
            EXPECT_EQ(handed.Calls, 1);

            memset(&handed, 0, sizeof handed);
            EXPECT_EQ(CallGaugeRoutine(wrong ? AsForm<GaugeRoutineWithValue>(&WrongRoutineWithValue)
                                             : &RoutineWithValue, v.word1), perWord);
            EXPECT_EQ(handed.Calls, 1);
            EXPECT_EQ(handed.Words[0], v.word1) << "the value handed on";

            memset(&handed, 0, sizeof handed);
            double result = -7;
            void* element = reinterpret_cast<void*>(uintptr_t(v.word1) | 1);
            EXPECT_EQ(CallIconCallback(wrong ? AsForm<IconCallback>(&WrongIcon) : &Icon, element, &result), perWord);
            EXPECT_EQ(handed.Element, element) << "the element handed on";
            EXPECT_EQ(result, 3.25) << "the icon's image";

            memset(&handed, 0, sizeof handed);
            result = -7;
            EXPECT_EQ(CallTextCallback(wrong ? AsForm<TextCallback>(&WrongText) : &Text, v.real, &result),
                2 * perWord);
            EXPECT_EQ(memcmp(&handed.Real, &v.real, sizeof v.real), 0) << "the double handed on, both words";
            EXPECT_EQ(result, v.real * 2 + 0.5) << "the text callback's result";

            memset(&handed, 0, sizeof handed);
            int32_t answer = -7;
            EXPECT_EQ(CallAreaHandler(wrong ? AsForm<AreaHandler>(&WrongHandler) : &Handler, v.word1, v.word2, &answer),
                2 * perWord);
            EXPECT_EQ(handed.Words[0], v.word1) << "the point, first";
            EXPECT_EQ(handed.Words[1], v.word2) << "the events, second";
            EXPECT_EQ(answer, int32_t(v.word1 ^ ~v.word2)) << "the handler's result";
        }
    }
}
