#pragma once
// The preview's drawing: fixed states, the ground grid and axes, the
// character skinned on the CPU into a dynamic vertex buffer, its bones as
// wire pyramids in front of everything, and the weapon in its right hand.

#include <windows.h>
#include <d3d9.h>

#include <vector>

#include "model/model_data.h"
#include "platform/win32/unique_objects.h"
#include "preview/preview_frame.h"
#include "preview/win32/preview_device.h"

namespace zam {

class PreviewRenderer final : public DeviceObjects {
 public:
  // The projection's aspect: that of the main preview area, also when the
  // frames go to another window. Applied when the device is next restored,
  // as every change of the area's size also resizes the device.
  void SetAspect(int width, int height);

  // The models drawn from now on, uploaded at once; nullptr, or a model that
  // did not load completely, draws none. The records must stay where they
  // are while set: the device may need them again to restore its copies.
  void SetCharacter(IDirect3DDevice9* device, const SkinnedModelData* character);
  void SetWeapon(IDirect3DDevice9* device, const WeaponModelData* weapon);

  // One frame of `input` into `window`; false when the device could not draw.
  bool Render(PreviewDevice& device, HWND window, const PreviewFrameInput& input);

  void ReleaseDeviceObjects(bool everything) override;
  // Also the states, viewport and transforms every frame relies on.
  void RestoreDeviceObjects(IDirect3DDevice9* device, int width, int height, bool everything) override;

  // Textures the device did not take in their own format, nor as A8R8G8B8,
  // and those the loader could not read (those materials are drawn
  // untextured); for tests and diagnostics.
  int refusedTextures() const { return refusedTextures_; }

 private:
  struct MeshBuffers {
    std::vector<win32::ComPtr<IDirect3DIndexBuffer9>> indices;  // per material
    std::vector<win32::ComPtr<IDirect3DTexture9>> textures;     // per dictionary texture
  };

  void SetupScene(IDirect3DDevice9* device, int width, int height);
  void UploadCharacter(IDirect3DDevice9* device);
  void UploadWeapon(IDirect3DDevice9* device);
  bool CreateCharacterVertices(IDirect3DDevice9* device);
  void UploadMesh(IDirect3DDevice9* device, const MeshData& mesh, MeshBuffers& buffers);
  void DrawMesh(IDirect3DDevice9* device, const MeshData& mesh, const MeshBuffers& buffers, UINT vertexCount);
  void SkinCharacter(const Pose& pose);

  const SkinnedModelData* character_ = nullptr;
  const WeaponModelData* weapon_ = nullptr;
  MeshBuffers characterMesh_;
  MeshBuffers weaponMesh_;
  win32::ComPtr<IDirect3DVertexBuffer9> characterVertices_;  // dynamic: rewritten every frame
  win32::ComPtr<IDirect3DVertexBuffer9> weaponVertices_;
  PreviewLines lines_ = MakePreviewLines();
  Pose pose_;
  PreviewFrame frame_;
  std::vector<LineVertex> pyramidVertices_;  // every pyramid of a frame, in model space
  std::vector<uint16_t> pyramidIndices_;
  std::vector<uint32_t> convertedPixels_;
  int aspectWidth_ = 1;
  int aspectHeight_ = 1;
  int refusedTextures_ = 0;
};

}  // namespace zam
