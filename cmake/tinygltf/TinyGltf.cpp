// tinygltf built for a cross build: Debian ships it as a library for its own
// system only. Its picture readers and writers come from stb, kept inside
// this file (tiny_gltf.h includes them once).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC

#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
