// Code a Pentium III decodes and a 486 does not, for the test that proves the
// instruction scan rejects it: a conditional move, an x87 compare into the
// flags, and an SSE register.
#include <xmmintrin.h>

extern "C" __declspec(dllexport) int Smaller(int a, int b)
{
    return a < b ? a : b;
}

extern "C" __declspec(dllexport) int Below(double a, double b)
{
    return a < b;
}

extern "C" __declspec(dllexport) void AddFour(float* sums, const float* a, const float* b)
{
    _mm_storeu_ps(sums, _mm_add_ps(_mm_loadu_ps(a), _mm_loadu_ps(b)));
}
