#pragma once
// One small image in every raster format and palette depth the loaders
// read, for both texture platforms, and a character that wears each of them:
// the project's own data for checking decoded texels exactly.

#include <cstdint>
#include <string>
#include <vector>

#include "dff_builder.h"
#include "txd_builder.h"

namespace zam::gen {

inline constexpr uint16_t kFormatImageSize = 8;

// 8 x 8 texels 0xAARRGGBB, row by row: four 4 x 4 blocks of two colours each
// (red and white, green and transparent black, blue and yellow, cyan and
// black), every channel 0 or 255, so that every format stores them exactly
// and each DXT block needs only its two end points.
std::vector<uint32_t> FormatImage();

// The image in each format `platform` (8 or 9) stores, each texture named
// after its format: "1555", "565", "4444", "555", "888", "8888", "dxt1",
// "dxt3", "dxt5", "pal8" (a palette of 8888 colours) and "pal4" (of 888
// colours); then "unknown", whose format no loader knows.
DictionaryDesc FormatTextures(uint32_t platform);

// Whether texture `name` of FormatTextures keeps the image's alpha; the
// others hold every texel opaque.
bool FormatKeepsAlpha(const std::string& name);

// The small character's bones wearing one box per texture of FormatTextures,
// in that order, side by side along X facing +Y, clear of the origin.
CharacterDesc FormatsCharacter();

}  // namespace zam::gen
