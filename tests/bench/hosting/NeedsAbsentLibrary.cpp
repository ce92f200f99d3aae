// A module that needs a library no system has, for the test that the bench
// names that library instead of failing obscurely. Built against a stand-in
// that the test program never gets to see.
extern "C" int AbsentFunction(void);

#ifdef _WIN32
extern "C" __declspec(dllexport) int Probe(void)
#else
extern "C" __attribute__((visibility("default"))) int Probe(void)
#endif
{
    return AbsentFunction();
}
