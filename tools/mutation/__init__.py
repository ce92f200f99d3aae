"""tools/mutate's parts: C++ read (cpp), faults made (operators), chosen (catalogue), tried (runner), reported."""
