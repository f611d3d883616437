#include "gltf/texture_rgba.h"

#include <cstring>

#include "base/fourcc.h"
#include "preview/texture_conversion.h"

namespace zam {
namespace {

struct Rgba {
  uint8_t r, g, b, a;
};

Rgba FromRgb565(uint16_t c) {
  const uint32_t r = c >> 11 & 0x1F, g = c >> 5 & 0x3F, b = c & 0x1F;
  return {static_cast<uint8_t>((r * 255 + 15) / 31), static_cast<uint8_t>((g * 255 + 31) / 63),
          static_cast<uint8_t>((b * 255 + 15) / 31), 255};
}

Rgba Mix(const Rgba& a, const Rgba& b, int weightA, int weightB) {
  const int total = weightA + weightB;
  return {static_cast<uint8_t>((a.r * weightA + b.r * weightB) / total),
          static_cast<uint8_t>((a.g * weightA + b.g * weightB) / total),
          static_cast<uint8_t>((a.b * weightA + b.b * weightB) / total), 255};
}

// The 16 colours of a DXT colour block (8 bytes). DXT1 blocks whose first
// colour is not above the second hold three colours and transparent black;
// the colour blocks of DXT2 to DXT5 always hold four colours.
void DecodeColorBlock(const uint8_t* block, bool allowTransparent, Rgba (&out)[16]) {
  uint16_t c0, c1;
  uint32_t indices;
  std::memcpy(&c0, block, 2);
  std::memcpy(&c1, block + 2, 2);
  std::memcpy(&indices, block + 4, 4);
  Rgba palette[4] = {FromRgb565(c0), FromRgb565(c1), {}, {}};
  if (c0 > c1 || !allowTransparent) {
    palette[2] = Mix(palette[0], palette[1], 2, 1);
    palette[3] = Mix(palette[0], palette[1], 1, 2);
  } else {
    palette[2] = Mix(palette[0], palette[1], 1, 1);
    palette[3] = {0, 0, 0, 0};
  }
  for (int i = 0; i < 16; ++i) out[i] = palette[indices >> (2 * i) & 3];
}

// DXT2 and DXT3: sixteen 4-bit alphas.
void DecodeExplicitAlpha(const uint8_t* block, Rgba (&out)[16]) {
  for (int i = 0; i < 16; ++i) {
    const uint8_t nibble = block[i / 2] >> (4 * (i % 2)) & 0xF;
    out[i].a = static_cast<uint8_t>(nibble * 17);
  }
}

// DXT4 and DXT5: two alphas and sixteen 3-bit indices between them.
void DecodeInterpolatedAlpha(const uint8_t* block, Rgba (&out)[16]) {
  const int a0 = block[0], a1 = block[1];
  int palette[8] = {a0, a1};
  if (a0 > a1) {
    for (int i = 1; i <= 6; ++i) palette[i + 1] = (a0 * (7 - i) + a1 * i) / 7;
  } else {
    for (int i = 1; i <= 4; ++i) palette[i + 1] = (a0 * (5 - i) + a1 * i) / 5;
    palette[6] = 0;
    palette[7] = 255;
  }
  uint64_t indices = 0;
  for (int i = 0; i < 6; ++i) indices |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) out[i].a = static_cast<uint8_t>(palette[indices >> (3 * i) & 7]);
}

bool DecodeBlocks(const TextureImage& image, std::vector<uint8_t>& rgba) {
  const bool dxt1 = image.format == FourCC("DXT1");
  const bool explicitAlpha = image.format == FourCC("DXT2") || image.format == FourCC("DXT3");
  const bool interpolatedAlpha = image.format == FourCC("DXT4") || image.format == FourCC("DXT5");
  if (!dxt1 && !explicitAlpha && !interpolatedAlpha) return false;
  const size_t blockBytes = dxt1 ? 8 : 16;
  const size_t blocksWide = (image.width + 3) / 4, blocksHigh = (image.height + 3) / 4;
  if (image.rowSize < blocksWide * blockBytes || image.rowCount < blocksHigh ||
      image.level0.size() < static_cast<size_t>(image.rowSize) * blocksHigh) {
    return false;
  }
  rgba.assign(static_cast<size_t>(image.width) * image.height * 4, 0);
  for (size_t by = 0; by < blocksHigh; ++by) {
    for (size_t bx = 0; bx < blocksWide; ++bx) {
      const uint8_t* block = image.level0.data() + by * image.rowSize + bx * blockBytes;
      Rgba texels[16];
      DecodeColorBlock(block + blockBytes - 8, dxt1, texels);
      if (explicitAlpha) DecodeExplicitAlpha(block, texels);
      if (interpolatedAlpha) DecodeInterpolatedAlpha(block, texels);
      for (size_t i = 0; i < 16; ++i) {
        const size_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
        if (x >= image.width || y >= image.height) continue;
        uint8_t* pixel = &rgba[(y * image.width + x) * 4];
        pixel[0] = texels[i].r;
        pixel[1] = texels[i].g;
        pixel[2] = texels[i].b;
        pixel[3] = texels[i].a;
      }
    }
  }
  return true;
}

}  // namespace

bool TextureToRgba(const TextureImage& image, std::vector<uint8_t>& rgba) {
  if (DecodeBlocks(image, rgba)) return true;
  std::vector<uint32_t> argb;
  if (!ConvertToA8R8G8B8(image, argb)) return false;
  rgba.resize(argb.size() * 4);
  for (size_t i = 0; i < argb.size(); ++i) {
    rgba[4 * i] = static_cast<uint8_t>(argb[i] >> 16);
    rgba[4 * i + 1] = static_cast<uint8_t>(argb[i] >> 8);
    rgba[4 * i + 2] = static_cast<uint8_t>(argb[i]);
    rgba[4 * i + 3] = static_cast<uint8_t>(argb[i] >> 24);
  }
  return true;
}

}  // namespace zam
