// The tinygltf library's code, compiled once.
#define TINYGLTF_IMPLEMENTATION
#include "gltf/gltf_model.h"
