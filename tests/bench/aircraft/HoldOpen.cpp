// A program of the tests' own that holds a file open the way an editor or
// the simulator may: for reading, shared for reading only, so that no other
// program may write, rename or delete it while it is open. It makes MARKER
// once it holds the file, then holds it for SECONDS.
//   HoldOpen.exe FILE MARKER SECONDS
#include <windows.h>

#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(marker);
    Sleep(DWORD(atoi(argv[3])) * 1000);
    CloseHandle(file);
    return 0;
}
