#pragma once
// tinygltf's model records, declared alike wherever they are used. Images
// reach the library already encoded, so it is built without an image
// library of its own, and files are written by the program's own atomic
// replacement, not by the library.

#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include <tiny_gltf.h>
