// zam model: loads a character or weapon DFF with its dictionary as the
// editor does and prints what the loader made of it as JSON: the library
// version, the bones, the mesh and each texture with the format it is
// stored in and whether its texels decode.

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "base/fourcc.h"
#include "base/messages.h"
#include "commands.h"
#include "model/dictionary_path.h"
#include "model/model_data.h"
#include "model/rw_chunk.h"
#include "model/skinned_model_loader.h"
#include "model/texture_dictionary.h"
#include "model/weapon_model_loader.h"
#include "platform/file_system.h"
#include "preview/texture_conversion.h"

namespace zam::cli {
namespace {

constexpr char kSynopsis[] = "zam model DFF [TXD] [--weapon]";

// The library version of a stamp as "3.4.0.3"; null for none.
std::string VersionJson(uint32_t stamp) {
  if (stamp == 0) return "null";
  const uint32_t v = RwLibraryVersion(stamp);
  return "\"" + std::to_string(v >> 16) + "." + std::to_string(v >> 12 & 0xF) + "." + std::to_string(v >> 8 & 0xF) +
         "." + std::to_string(v & 0xFF) + "\"";
}

// A raster format as the library names it: its palette, then its pixel
// format (in hexadecimal when it is none of the colour formats).
std::string RasterJson(uint32_t raster) {
  static const char* const kPixelFormats[] = {"DEFAULT", "1555",  "565",   "4444",  "LUM8", "8888",
                                              "888",     nullptr, nullptr, nullptr, "555"};
  const uint32_t pixel = (raster & kRasterPixelFormat) >> 8;
  char name[8];
  std::snprintf(name, sizeof name, "0x%X00", pixel);
  const char* known = pixel < std::size(kPixelFormats) ? kPixelFormats[pixel] : nullptr;
  std::string text = raster & kRasterPalette8 ? "PAL8 " : raster & kRasterPalette4 ? "PAL4 " : "";
  return JsonString(text + (known ? known : name));
}

std::string TextureJson(const TextureImage* texture) {
  if (texture == nullptr) return "null";
  std::string format = IsPrintableFourCC(texture->format) ? JsonString(FourCCText(texture->format))
                                                 : std::to_string(texture->format);
  std::vector<uint32_t> pixels;
  const bool decoded = ConvertToA8R8G8B8(*texture, pixels);
  return "{\"name\": " + JsonString(texture->name) + ", \"format\": " + format +
         ", \"width\": " + std::to_string(texture->width) + ", \"height\": " + std::to_string(texture->height) +
         ", \"platform\": " + std::to_string(texture->platform) + ", \"raster\": " + RasterJson(texture->rasterFormat) +
         ", \"decoded\": " + (decoded ? "true" : "false") + "}";
}

void PrintMesh(const MeshData& mesh, size_t vertexCount, bool complete) {
  std::printf("  \"vertexCount\": %zu,\n  \"primitiveType\": %d,\n  \"complete\": %s,\n  \"materials\": [\n",
              vertexCount, mesh.primitiveType, complete ? "true" : "false");
  for (size_t m = 0; m < mesh.materials.size(); ++m) {
    const MaterialMesh& material = mesh.materials[m];
    std::printf("    {\"index\": %zu, \"indexCount\": %zu, \"texture\": %s}%s\n", m, material.indices.size(),
                TextureJson(mesh.TextureOf(material)).c_str(), m + 1 == mesh.materials.size() ? "" : ",");
  }
  std::printf("  ],\n");
}

void PrintBones(const SkinnedModelData& model) {
  std::printf("  \"bones\": [\n");
  for (size_t b = 0; b < model.boneNames.size(); ++b) {
    int32_t node = model.boneNodeIndex[b];
    std::printf("    {\"index\": %zu, \"name\": %s, \"id\": %d, \"parent\": %d, \"nodeIndex\": %d}%s\n", b,
                JsonString(model.boneNames[b]).c_str(), model.boneIds[static_cast<size_t>(node)], model.boneParent[b],
                node, b + 1 == model.boneNames.size() ? "" : ",");
  }
  std::printf("  ],\n  \"weaponBoneIndex\": %d,\n", model.weaponBoneIndex);
}

}  // namespace

int RunModel(const Args& args) {
  bool weapon = false;
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg == "--weapon") {
      weapon = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage(kSynopsis);
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty() || paths.size() > 2) return Usage(kSynopsis);

  std::vector<uint8_t> dff, txd;
  FileResult model = ReadWholeFile(paths[0], dff);
  if (!model.ok()) return FailFile(paths[0], model.reason);
  // Without a dictionary named, the one beside the model is used when it can
  // be read, and the model is untextured otherwise, as in the editor.
  std::string dictionary = paths.size() == 2 ? paths[1] : DictionaryPathFor(paths[0]);
  FileResult dictionaryRead = dictionary.empty() ? FileResult{FileStatus::CannotOpen, {}} : ReadWholeFile(dictionary, txd);
  bool hasDictionary = dictionaryRead.ok();
  if (paths.size() == 2 && !hasDictionary) return FailFile(dictionary, dictionaryRead.reason);
  const uint8_t* txdBytes = hasDictionary ? txd.data() : nullptr;

  ModelLoadResult result;
  std::printf("{\n  \"model\": \"%s\",\n  \"dictionary\": %s,\n", weapon ? "weapon" : "skinned",
              hasDictionary ? JsonString(dictionary).c_str() : "null");
  if (weapon) {
    WeaponModelData model;
    result = LoadWeaponModel(dff.data(), dff.size(), txdBytes, txd.size(), model);
    std::printf("  \"version\": %s,\n", VersionJson(model.libraryStamp).c_str());
    PrintMesh(model.mesh, model.vertices.size(), model.hasVertexBuffer);
  } else {
    SkinnedModelData model;
    result = LoadSkinnedModel(dff.data(), dff.size(), txdBytes, txd.size(), model);
    std::printf("  \"version\": %s,\n", VersionJson(model.libraryStamp).c_str());
    PrintBones(model);
    PrintMesh(model.mesh, model.vertices.size(), model.hasVertexBuffer);
  }
  std::printf("  \"message\": %s\n}\n", result.ok ? "null" : JsonString(MessageText(result.message)).c_str());
  return result.ok ? kExitOk : Fail(MessageText(result.message));
}

}  // namespace zam::cli
