// The one translation unit that compiles the bodies of the stb headers the
// bench uses; everything else includes them for their declarations only.
// Their warnings are theirs, so this file is compiled without ours.
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
