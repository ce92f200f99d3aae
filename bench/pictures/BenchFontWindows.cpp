// The bench's typeface for the windows build, carried inside the program so
// that the bench draws the same text under Wine and on a Windows machine that
// has no Liberation fonts. The assembler copies the font file in at build
// time (.incbin); LUMIVANE_BENCH_FONT_FILE is its path, or is left undefined
// when the build machine lacks the file, and then the bench says so.
#include "bench/pictures/BenchFont.h"

#ifdef LUMIVANE_BENCH_FONT_FILE

// Assembler names given outright, so that the i686 compiler's leading
// underscore on C names does not come between the label and the reference.
extern "C" const uint8_t BenchFontStart[] __asm__("lumivane_bench_font_start");
extern "C" const uint8_t BenchFontEnd[] __asm__("lumivane_bench_font_end");

__asm__(".section .rdata,\"dr\"\n"
        ".balign 4\n"
        "lumivane_bench_font_start:\n"
        ".incbin \"" LUMIVANE_BENCH_FONT_FILE "\"\n"
        "lumivane_bench_font_end:\n"
        ".text\n");

bool LoadBenchFont(std::vector<uint8_t>* bytes, std::string*)
{
    bytes->assign(BenchFontStart, BenchFontEnd);
    return true;
}

#else

bool LoadBenchFont(std::vector<uint8_t>* bytes, std::string* problem)
{
    bytes->clear();
    *problem = "this bench was built without its font (Debian package fonts-liberation2 was missing)";
    return false;
}

#endif
