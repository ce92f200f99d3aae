// libFuzzer target for the RIFF chunk walker, the one place where the gauge
// reads bytes it did not write. Every input is walked with each of the eight
// combinations of wanted outputs; AddressSanitizer catches a read past the
// image, UndefinedBehaviorSanitizer a wrapped or misaligned access, and the
// checks below a result or an output that breaks the walker's promises.
#include "sound/WaveResource.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

namespace {

// Touches every byte an output claims, so that a claim reaching past the
// image is an AddressSanitizer report and not a silent success.
volatile BYTE Sink;

void Touch(const BYTE* first, DWORD bytes)
{
    BYTE sum = 0;
    for (DWORD i = 0; i < bytes; ++i)
        sum = BYTE(sum + first[i]);
    Sink = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    const BYTE* image = bytes;
    const DWORD imageBytes = DWORD(size);
    const BYTE* end = image + imageBytes;

    for (int wanted = 0; wanted < 8; ++wanted) {
        const bool wantFormat = wanted & 1, wantData = wanted & 2, wantLength = wanted & 4;
        // Start from values the walk could never produce, to see that every
        // wanted output is cleared or set.
        WAVEFORMATEX* format = reinterpret_cast<WAVEFORMATEX*>(uintptr_t(1));
        BYTE* data = reinterpret_cast<BYTE*>(uintptr_t(1));
        DWORD length = 0xFFFFFFFFu;
        const int result = ParseWaveChunks(image, imageBytes, wantFormat ? &format : nullptr,
            wantData ? &data : nullptr, wantLength ? &length : nullptr);

        Require(result == 0 || result == 1);
        const BYTE* formatAt = reinterpret_cast<const BYTE*>(format);
        if (wantFormat) {
            Require(formatAt != reinterpret_cast<const BYTE*>(uintptr_t(1)));
            // A format record is at least 14 bytes, after the RIFF header and
            // its own chunk header.
            if (formatAt) {
                Require(formatAt >= image + 20 && formatAt <= end && end - formatAt >= 14);
                Touch(formatAt, 14);
            }
        }
        if (wantData) {
            Require(data != reinterpret_cast<BYTE*>(uintptr_t(1)));
            if (data)
                Require(data >= image + 20 && data <= end);
        }
        if (wantLength) {
            Require(length != 0xFFFFFFFFu || imageBytes == 0xFFFFFFFFu);
            Require(length <= imageBytes);
        }
        if (wantData && wantLength) {
            // Data and its length are found together or not at all.
            Require((data != nullptr) == (length != 0));
            if (data) {
                Require(length <= DWORD(end - data));
                Touch(data, length);
            }
        }

        // 1 exactly when something was wanted and everything wanted was set.
        const bool allSet = (!wantFormat || format) && (!wantData || data) && (!wantLength || length != 0);
        Require(result == (wanted != 0 && allSet));
    }
    return 0;
}
