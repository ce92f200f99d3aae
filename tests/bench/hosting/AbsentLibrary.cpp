// The stand-in the probe module is linked against natively; it is built into
// a folder of its own that no loader searches.
extern "C" __attribute__((visibility("default"))) int AbsentFunction(void)
{
    return 0;
}
