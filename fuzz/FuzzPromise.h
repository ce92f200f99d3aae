// A broken promise in a fuzz target: a trap, so that libFuzzer stops on it,
// keeps the input that broke it and names the line, in every target alike.
#ifndef LUMIVANE_FUZZ_FUZZPROMISE_H
#define LUMIVANE_FUZZ_FUZZPROMISE_H

inline void Require(bool promise)
{
    if (!promise)
        __builtin_trap();
}

#endif
