#include "preview/win32/preview_renderer.h"

#include <algorithm>
#include <cstring>

#include "math/matrix.h"
#include "preview/cpu_skinning.h"
#include "preview/texture_conversion.h"

namespace zam {
namespace {

static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX), "matrices are handed to the device as they are");

const D3DMATRIX* AsD3D(const Matrix4& matrix) { return reinterpret_cast<const D3DMATRIX*>(&matrix); }

const Matrix4 kIdentity = IdentityMatrix();

// The states every frame sets before drawing.
constexpr struct {
  D3DRENDERSTATETYPE state;
  DWORD value;
} kFrameStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL},
    {D3DRS_ALPHAREF, 32},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_DITHERENABLE, FALSE},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_SPECULARENABLE, TRUE},
};

// Triangles of a list, or of a strip; nothing for fewer indices than one needs.
UINT PrimitiveCount(int32_t primitiveType, size_t indexCount) {
  if (primitiveType == kTriangleStrip) return indexCount >= 3 ? static_cast<UINT>(indexCount - 2) : 0;
  return static_cast<UINT>(indexCount / 3);
}

// Copies `rows` rows of `rowSize` bytes into a locked surface of any pitch.
void CopyRows(const D3DLOCKED_RECT& locked, const uint8_t* from, size_t rowSize, size_t rows) {
  const size_t copied = std::min(rowSize, static_cast<size_t>(locked.Pitch));
  for (size_t r = 0; r < rows; ++r) {
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + r * static_cast<size_t>(locked.Pitch), from + r * rowSize,
                copied);
  }
}

}  // namespace

void PreviewRenderer::SetAspect(int width, int height) {
  aspectWidth_ = width;
  aspectHeight_ = height;
}

void PreviewRenderer::SetupScene(IDirect3DDevice9* device, int width, int height) {
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DVIEWPORT9 viewport{0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0.0f, 1.0f};
  device->SetViewport(&viewport);
  device->SetTransform(D3DTS_PROJECTION, AsD3D(PreviewProjection(aspectWidth_, aspectHeight_)));
  device->SetTransform(D3DTS_WORLD, AsD3D(kIdentity));
}

void PreviewRenderer::SetCharacter(IDirect3DDevice9* device, const SkinnedModelData* character) {
  character_ = character;
  characterMesh_ = {};
  characterVertices_.reset();
  if (device) UploadCharacter(device);
}

void PreviewRenderer::SetWeapon(IDirect3DDevice9* device, const WeaponModelData* weapon) {
  weapon_ = weapon;
  weaponMesh_ = {};
  weaponVertices_.reset();
  if (device) UploadWeapon(device);
}

void PreviewRenderer::UploadMesh(IDirect3DDevice9* device, const MeshData& mesh, MeshBuffers& buffers) {
  buffers.textures.resize(mesh.textures.size());
  for (size_t t = 0; t < mesh.textures.size(); ++t) {
    const TextureImage& image = mesh.textures[t];
    win32::ComPtr<IDirect3DTexture9>& texture = buffers.textures[t];
    D3DLOCKED_RECT locked{};
    // One level: only the first is stored, and the sampler never reads others.
    if (OffersStoredFormat(image) &&
        SUCCEEDED(device->CreateTexture(image.width, image.height, 1, 0, static_cast<D3DFORMAT>(image.format),
                                        D3DPOOL_MANAGED, texture.put(), nullptr)) &&
        SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
      CopyRows(locked, image.level0.data(), image.rowSize, image.rowCount);
      texture->UnlockRect(0);
      continue;
    }
    texture.reset();
    if (ConvertToA8R8G8B8(image, convertedPixels_) &&
        SUCCEEDED(device->CreateTexture(image.width, image.height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                        texture.put(), nullptr)) &&
        SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
      CopyRows(locked, reinterpret_cast<const uint8_t*>(convertedPixels_.data()), size_t{image.width} * 4,
               image.height);
      texture->UnlockRect(0);
      continue;
    }
    texture.reset();
    ++refusedTextures_;
  }
  buffers.indices.resize(mesh.materials.size());
  for (size_t m = 0; m < mesh.materials.size(); ++m) {
    const std::vector<uint32_t>& indices = mesh.materials[m].indices;
    if (indices.empty()) continue;
    const UINT bytes = static_cast<UINT>(indices.size() * sizeof(uint32_t));
    void* to = nullptr;
    win32::ComPtr<IDirect3DIndexBuffer9>& buffer = buffers.indices[m];
    if (SUCCEEDED(device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED, buffer.put(),
                                            nullptr)) &&
        SUCCEEDED(buffer->Lock(0, bytes, &to, 0))) {
      std::memcpy(to, indices.data(), bytes);
      buffer->Unlock();
    } else {
      buffer.reset();
    }
  }
}

bool PreviewRenderer::CreateCharacterVertices(IDirect3DDevice9* device) {
  const UINT bytes = static_cast<UINT>(character_->vertices.size() * sizeof(WeaponVertex));
  return SUCCEEDED(device->CreateVertexBuffer(bytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kWeaponVertexFvf,
                                              D3DPOOL_DEFAULT, characterVertices_.put(), nullptr));
}

void PreviewRenderer::UploadCharacter(IDirect3DDevice9* device) {
  if (!character_ || !IsDrawable(*character_)) return;
  UploadMesh(device, character_->mesh, characterMesh_);
  if (!CreateCharacterVertices(device)) characterVertices_.reset();
}

void PreviewRenderer::UploadWeapon(IDirect3DDevice9* device) {
  if (!weapon_ || !IsDrawable(*weapon_)) return;
  UploadMesh(device, weapon_->mesh, weaponMesh_);
  const UINT bytes = static_cast<UINT>(weapon_->vertices.size() * sizeof(WeaponVertex));
  void* to = nullptr;
  if (SUCCEEDED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, kWeaponVertexFvf, D3DPOOL_MANAGED,
                                           weaponVertices_.put(), nullptr)) &&
      SUCCEEDED(weaponVertices_->Lock(0, bytes, &to, 0))) {
    std::memcpy(to, weapon_->vertices.data(), bytes);
    weaponVertices_->Unlock();
  } else {
    weaponVertices_.reset();
  }
}

void PreviewRenderer::ReleaseDeviceObjects(bool everything) {
  // The dynamic vertex buffer lives in the default pool and goes before any
  // reset; the managed buffers and textures survive resets.
  characterVertices_.reset();
  if (everything) {
    characterMesh_ = {};
    weaponMesh_ = {};
    weaponVertices_.reset();
  }
}

void PreviewRenderer::RestoreDeviceObjects(IDirect3DDevice9* device, int width, int height, bool everything) {
  SetupScene(device, width, height);
  if (everything) {
    UploadCharacter(device);
    UploadWeapon(device);
  } else if (character_ && IsDrawable(*character_)) {
    CreateCharacterVertices(device);
  }
}

void PreviewRenderer::SkinCharacter(const Pose& pose) {
  const size_t count = character_->vertices.size();
  void* to = nullptr;
  if (FAILED(characterVertices_->Lock(0, 0, &to, D3DLOCK_DISCARD))) return;
  SkinVertices(character_->vertices.data(), count, pose.skinningMatrices.data(), pose.skinningMatrices.size(),
               static_cast<WeaponVertex*>(to));
  characterVertices_->Unlock();
}

void PreviewRenderer::DrawMesh(IDirect3DDevice9* device, const MeshData& mesh, const MeshBuffers& buffers,
                               UINT vertexCount) {
  for (size_t m = 0; m < mesh.materials.size() && m < buffers.indices.size(); ++m) {
    const MaterialMesh& material = mesh.materials[m];
    const UINT primitives = PrimitiveCount(mesh.primitiveType, material.indices.size());
    if (!buffers.indices[m] || primitives == 0) continue;
    const size_t t = static_cast<size_t>(material.textureIndex);
    IDirect3DTexture9* texture = material.textureIndex >= 0 && t < buffers.textures.size()
                                     ? buffers.textures[t].get()
                                     : nullptr;
    device->SetTexture(0, texture);
    device->SetIndices(buffers.indices[m].get());
    device->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(mesh.primitiveType), 0, 0, vertexCount, 0,
                                 primitives);
  }
  device->SetTexture(0, nullptr);
}

bool PreviewRenderer::Render(PreviewDevice& previewDevice, HWND window, const PreviewFrameInput& input) {
  if (!previewDevice.BeginFrame(input.options.backgroundColor)) return false;
  IDirect3DDevice9* device = previewDevice.device();
  for (const auto& entry : kFrameStates) device->SetRenderState(entry.state, entry.value);
  device->SetRenderState(D3DRS_CULLMODE, input.options.cullingDisabled ? D3DCULL_NONE : D3DCULL_CW);

  PlanPreviewFrame(input, pose_, frame_);
  device->SetTransform(D3DTS_VIEW, AsD3D(frame_.view));
  device->SetTransform(D3DTS_WORLD, AsD3D(kIdentity));
  device->SetFVF(kLineVertexFvf);
  device->SetTexture(0, nullptr);
  for (int r = 0; r < frame_.lines.count; ++r) {
    const LineRun& run = frame_.lines.runs[static_cast<size_t>(r)];
    const LineVertex* vertices = run.set == LineSet::Grid ? lines_.grid.data() : lines_.axes.data();
    device->DrawPrimitiveUP(D3DPT_LINELIST, static_cast<UINT>(run.lineCount), vertices + run.firstVertex,
                            sizeof(LineVertex));
  }

  if (frame_.drawCharacter && characterVertices_) {
    SkinCharacter(pose_);
    device->SetFVF(kWeaponVertexFvf);
    device->SetStreamSource(0, characterVertices_.get(), 0, sizeof(WeaponVertex));
    DrawMesh(device, character_->mesh, characterMesh_, static_cast<UINT>(character_->vertices.size()));
  }

  // Bones in front of everything: the whole depth range collapsed to the
  // nearest depth. One call draws them all, placed by their bone matrices.
  BuildPyramidLines(lines_.pyramid, frame_.pyramids, pose_.boneMatrices, pyramidVertices_, pyramidIndices_);
  if (!pyramidVertices_.empty()) {
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    D3DVIEWPORT9 nearest = viewport;
    nearest.MinZ = nearest.MaxZ = 0.0f;
    device->SetViewport(&nearest);
    device->SetFVF(kLineVertexFvf);  // the world transform is still the identity the lines used
    device->DrawIndexedPrimitiveUP(D3DPT_LINELIST, 0, static_cast<UINT>(pyramidVertices_.size()),
                                   static_cast<UINT>(pyramidIndices_.size() / 2), pyramidIndices_.data(),
                                   D3DFMT_INDEX16, pyramidVertices_.data(), sizeof(LineVertex));
    device->SetViewport(&viewport);
  }

  if (frame_.drawWeapon && weaponVertices_) {
    device->SetTransform(D3DTS_WORLD, AsD3D(frame_.weaponWorld));
    device->SetFVF(kWeaponVertexFvf);
    device->SetStreamSource(0, weaponVertices_.get(), 0, sizeof(WeaponVertex));
    DrawMesh(device, weapon_->mesh, weaponMesh_, static_cast<UINT>(weapon_->vertices.size()));
  }
  device->SetTransform(D3DTS_WORLD, AsD3D(kIdentity));
  previewDevice.EndFrame(window);
  return true;
}

}  // namespace zam
