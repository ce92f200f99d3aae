// libFuzzer target for the search of a clip's data chunk in a module's wave
// resource: found data lies wholly inside the image and is touched byte by
// byte, so that a claim past the end is an AddressSanitizer report.
#include "bench/sound/ClipMatcher.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

namespace {

volatile uint8_t Sink;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const uint8_t* data = bytes; // not null, so that clearing it is seen
    uint32_t length = 1;
    if (!FindClipData(bytes, size, &data, &length)) {
        Require(data == nullptr && length == 0);
        return 0;
    }
    Require(data >= bytes + 20 && length <= size_t(bytes + size - data));
    uint8_t sum = 0;
    for (uint32_t i = 0; i < length; ++i)
        sum = uint8_t(sum + data[i]);
    Sink = sum;
    return 0;
}
