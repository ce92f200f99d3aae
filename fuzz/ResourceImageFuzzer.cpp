// libFuzzer target for the walk over the native module's resource image:
// whatever a garbled .res image holds, a search ends with a found record
// inside the image or one of the three ways of finding nothing, and a found
// record reads the same again from its place. Both lookups the gauge makes
// are tried: a bitmap by number, a wave by name.
#include "platform/native/ResourceImage.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

namespace {

volatile uint8_t Sink;

void Check(const uint8_t* image, size_t size, uint16_t type, uint16_t id, const char* name)
{
    ResourceRecord found;
    const ResourceWalkEnd end = FindResourceInImage(image, size, type, id, name, &found);
    if (end != ResourceFound) {
        Require(end == ResourceWalkComplete || end == ResourceWalkTruncated || end == ResourceWalkGarbled);
        Require(found.Data == nullptr && found.Size == 0);
        return;
    }
    Require(found.At < size && found.Data > image + found.At && found.Data <= image + size);
    Require(found.Size <= size_t(image + size - found.Data));
    uint8_t sum = 0;
    for (uint32_t i = 0; i < found.Size; ++i)
        sum = uint8_t(sum + found.Data[i]);
    Sink = sum;
    ResourceRecord again;
    Require(ReadResourceRecord(image, size, found.At, &again));
    Require(again.At == found.At && again.Data == found.Data && again.Size == found.Size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    Check(bytes, size, 2, 1, nullptr);
    Check(bytes, size, 10, 0, "WAVE1");
    Check(bytes, size, 10, 0, "wave2");
    return 0;
}
