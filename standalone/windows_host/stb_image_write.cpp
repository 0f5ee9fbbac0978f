// The code of the header-only PNG/BMP writer that the demo scene uses.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
