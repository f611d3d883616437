#include "format_textures.h"

#include <algorithm>

#include "demo_models.h"

namespace zam::gen {
namespace {

constexpr uint32_t kTransparent = 0x00000000;

// Bits `bits` of the 8-bit channel at `shift` of an A8R8G8B8 value: its top ones.
uint32_t Top(uint32_t argb, int shift, int bits) { return bits == 0 ? 0 : (argb >> shift & 0xFF) >> (8 - bits); }

uint16_t To565(uint32_t argb) {
  return static_cast<uint16_t>(Top(argb, 16, 5) << 11 | Top(argb, 8, 6) << 5 | Top(argb, 0, 5));
}

void Append(std::vector<uint8_t>& bytes, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A format of whole pixels: its channels' widths from alpha down to blue,
// packed from the top bit of `bytes`; a format without alpha leaves its
// top bits 0.
struct PackedFormat {
  const char* name;
  uint32_t raster;
  uint32_t format;
  int bytes;
  int aBits, rBits, gBits, bBits;
};

constexpr PackedFormat kPackedFormats[] = {
    {"1555", 0x0100, kD3dFormatA1R5G5B5, 2, 1, 5, 5, 5}, {"565", 0x0200, kD3dFormatR5G6B5, 2, 0, 5, 6, 5},
    {"4444", 0x0300, kD3dFormatA4R4G4B4, 2, 4, 4, 4, 4}, {"555", 0x0A00, kD3dFormatX1R5G5B5, 2, 0, 5, 5, 5},
    {"888", 0x0600, kD3dFormatX8R8G8B8, 4, 0, 8, 8, 8},  {"8888", 0x0500, kD3dFormatA8R8G8B8, 4, 8, 8, 8, 8},
};

std::vector<uint8_t> Packed(const std::vector<uint32_t>& image, const PackedFormat& f) {
  std::vector<uint8_t> level;
  for (uint32_t argb : image) {
    uint64_t value = Top(argb, 24, f.aBits);
    value = value << f.rBits | Top(argb, 16, f.rBits);
    value = value << f.gBits | Top(argb, 8, f.gBits);
    value = value << f.bBits | Top(argb, 0, f.bBits);
    Append(level, value, f.bytes);
  }
  return level;
}

// The image's 4 x 4 blocks as DXT1, DXT3 (`explicitAlpha`) or DXT5. Each
// block's colours are its end points; DXT1 gives transparent texels index 3
// of a three-colour block, the others colour them black and store alpha.
std::vector<uint8_t> Dxt(const std::vector<uint32_t>& image, bool dxt1, bool explicitAlpha) {
  std::vector<uint8_t> level;
  for (int by = 0; by < kFormatImageSize / 4; ++by) {
    for (int bx = 0; bx < kFormatImageSize / 4; ++bx) {
      uint32_t texels[16];
      for (int i = 0; i < 16; ++i)
        texels[i] = image[static_cast<size_t>((by * 4 + i / 4) * kFormatImageSize + bx * 4 + i % 4)];
      const bool transparent = std::any_of(texels, texels + 16, [](uint32_t t) { return t >> 24 == 0; });
      std::vector<uint16_t> colours;
      for (uint32_t t : texels) {
        if (dxt1 && t >> 24 == 0) continue;
        if (std::find(colours.begin(), colours.end(), To565(t)) == colours.end()) colours.push_back(To565(t));
      }
      uint16_t c0 = colours[0], c1 = colours.size() > 1 ? colours[1] : colours[0];
      // DXT1 has four colours when c0 is above c1, else three and transparency.
      if (dxt1 && (transparent ? c0 > c1 : c0 < c1)) std::swap(c0, c1);
      uint32_t indices = 0;
      for (int i = 0; i < 16; ++i) {
        uint32_t index = dxt1 && texels[i] >> 24 == 0 ? 3 : To565(texels[i]) == c0 ? 0 : 1;
        indices |= index << (2 * i);
      }
      if (!dxt1 && explicitAlpha) {
        uint64_t alphas = 0;
        for (int i = 0; i < 16; ++i) alphas |= uint64_t{Top(texels[i], 24, 4)} << (4 * i);
        Append(level, alphas, 8);
      } else if (!dxt1) {
        uint64_t alphas = 0;  // end points 255 and 0: index 0 opaque, 1 transparent
        for (int i = 0; i < 16; ++i) alphas |= uint64_t{texels[i] >> 24 == 0 ? 1u : 0u} << (3 * i);
        Append(level, 0xFF, 1);
        Append(level, 0x00, 1);
        Append(level, alphas, 6);
      }
      Append(level, c0, 2);
      Append(level, c1, 2);
      Append(level, indices, 4);
    }
  }
  return level;
}

// The image's colours as a palette of `colours` entries (red, green, blue,
// alpha; alpha 0 throughout when `opaquePalette`, whose format has none)
// and one index byte a texel.
void Paletted(const std::vector<uint32_t>& image, size_t colours, bool opaquePalette, TextureDesc& t) {
  std::vector<uint32_t> distinct;
  for (uint32_t argb : image) {
    if (std::find(distinct.begin(), distinct.end(), argb) == distinct.end()) distinct.push_back(argb);
  }
  distinct.resize(colours, 0);
  for (uint32_t argb : distinct) {
    t.palette.insert(t.palette.end(),
                     {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb),
                      static_cast<uint8_t>(opaquePalette ? 0 : argb >> 24)});
  }
  for (uint32_t argb : image) {
    t.level0.push_back(static_cast<uint8_t>(std::find(distinct.begin(), distinct.end(), argb) - distinct.begin()));
  }
}

TextureDesc Texture(uint32_t platform, const char* name, uint32_t raster, uint32_t format) {
  TextureDesc t;
  t.name = name;
  t.platform = platform;
  t.rasterFormat = raster;
  t.format = format;
  t.width = t.height = kFormatImageSize;
  return t;
}

}  // namespace

std::vector<uint32_t> FormatImage() {
  static const uint32_t kBlocks[2][2][2] = {{{0xFFFF0000, 0xFFFFFFFF}, {0xFF00FF00, kTransparent}},
                                            {{0xFF0000FF, 0xFFFFFF00}, {0xFF00FFFF, 0xFF000000}}};
  std::vector<uint32_t> image;
  for (int y = 0; y < kFormatImageSize; ++y) {
    for (int x = 0; x < kFormatImageSize; ++x) image.push_back(kBlocks[y / 4][x / 4][(x + y) % 2]);
  }
  return image;
}

DictionaryDesc FormatTextures(uint32_t platform) {
  const std::vector<uint32_t> image = FormatImage();
  DictionaryDesc dictionary;
  for (const PackedFormat& f : kPackedFormats) {
    dictionary.textures.push_back(Texture(platform, f.name, f.raster, f.format));
    dictionary.textures.back().level0 = Packed(image, f);
  }
  struct {
    const char* name;
    uint32_t raster, format;
    bool dxt1, explicitAlpha;
  } const kDxtFormats[] = {{"dxt1", 0x0100, kD3dFormatDxt1, true, false},  // 1555: DXT1 with alpha
                           {"dxt3", 0x0300, kD3dFormatDxt3, false, true},
                           {"dxt5", 0x0300, kD3dFormatDxt5, false, false}};
  for (const auto& f : kDxtFormats) {
    dictionary.textures.push_back(Texture(platform, f.name, f.raster, f.format));
    dictionary.textures.back().level0 = Dxt(image, f.dxt1, f.explicitAlpha);
  }
  dictionary.textures.push_back(Texture(platform, "pal8", 0x2500, kD3dFormatP8));
  Paletted(image, 256, false, dictionary.textures.back());
  dictionary.textures.push_back(Texture(platform, "pal4", 0x4600, kD3dFormatP8));
  Paletted(image, 16, true, dictionary.textures.back());
  // Direct3D 8 names no format for the default raster; V8U8 is no colour format.
  TextureDesc unknown = Texture(platform, "unknown", platform == kPlatformD3D8 ? 0x0000 : 0x0500, 60);
  unknown.level0.assign(size_t{kFormatImageSize} * kFormatImageSize * 2, 0x80);
  dictionary.textures.push_back(unknown);
  return dictionary;
}

bool FormatKeepsAlpha(const std::string& name) {
  return name != "565" && name != "555" && name != "888" && name != "pal4";
}

CharacterDesc FormatsCharacter() {
  CharacterDesc desc = SmallCharacter();
  desc.rootFrameName = "formats";
  desc.geometry = GeometryDesc{};
  desc.skin.boneIndices.clear();
  desc.skin.weights.clear();
  const DictionaryDesc textures = FormatTextures(kPlatformD3D9);
  for (uint32_t m = 0; m < textures.textures.size(); ++m) {
    desc.geometry.materials.push_back(MaterialDesc{textures.textures[m].name, {}});
    // Gaps of 0.06 between boxes 0.14 wide, and none across the Z axis.
    const float x = -1.27f + 0.2f * static_cast<float>(m) + (m >= 6 ? 0.2f : 0.0f);
    AddBox(desc.geometry, &desc.skin, m, {x, -0.07f, 0.1f}, {x + 0.14f, 0.07f, 0.24f}, 0);
  }
  return desc;
}

}  // namespace zam::gen
