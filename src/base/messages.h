#pragma once
// Every text the program shows the user, in one place. Code refers to these
// by name; tests compare against both the names and the literal texts.

namespace zam::msg {

inline constexpr const char kCaption[] = "Zelcor Animation Manager";

inline constexpr const char kFileCannotOpen[] = "File cannot open.";
inline constexpr const char kUnknownFormat[] = "Unknown Format String.";
inline constexpr const char kDiscardQuestion[] = "Current editing will be lost.\nDo you want to continue?";
inline constexpr const char kInvalidPath[] = "Invalid Path / File";
inline constexpr const char kInvalidExtension[] = "Invalid File Extension";
inline constexpr const char kFailedToInitializeDirect3D[] = "Failed to InitializeDirect3D";

// The child that lets a folder or archive of the browser tree expand.
inline constexpr const char kTreePlaceholder[] = "Loading...";

// A package that ends before all it declares: shown with the number of
// animations that could be read (FileEndedEarly).
inline constexpr const char kFileEndedEarly[] =
    "The file ends early: only what it holds was read.\nAnimations read: %d";

inline constexpr const char kAbout[] =
    "Zelcor Animation Manager 0.20\n\n"
    "Edits IFP animation packages; keep copies of the game files you change.";

// File dialog filters: description and pattern, each ending in a zero, and a final zero.
inline constexpr char kIfpFilter[] = "Zelcor:HV IFP (*.ifp)\0*.ifp\0";
inline constexpr char kDffFilter[] = "Zelcor:HV DFF\0*.dff\0";

// The play button while stopped and while playing.
inline constexpr const char kPlayCaption[] = "|>";
inline constexpr const char kPauseCaption[] = "||";

// Saving into an archive entry when the data could not be written (a full
// disk): whether the archive could be put back as it was.
inline constexpr const char kArchiveUnchanged[] =
    "The package could not be written into the archive; the archive is unchanged.";
inline constexpr const char kArchiveNotRestored[] =
    "The package could not be written into the archive, and the archive could not be put back as it was: "
    "the entry may be damaged.";

// RenderWare model loading: a section the loader searched for and did not find.
inline constexpr const char kRwClumpNotFound[] = "RW Section Clump not found.";
inline constexpr const char kRwClumpStructNotFound[] = "RW Section Clump\\Struct not found.";
inline constexpr const char kRwAtomicStructNotFound[] = "RW Section Clump\\Atomic\\Struct not found.";
inline constexpr const char kRwFrameListNotFound[] = "RW Section Clump\\FrameList not found.";
inline constexpr const char kRwFrameListStructNotFound[] = "RW Section Clump\\FrameList\\Struct not found.";
inline constexpr const char kRwFrameExtensionNotFound[] = "RW Section Clump\\FrameList\\Extension not found.";
inline constexpr const char kRwHAnimNotFound[] = "RW Section Clump\\FrameList\\Extension\\HAnimPLG not found.";
inline constexpr const char kRwFrameNameNotFound[] = "RW Section Clump\\FrameList\\Extension\\Frame not found.";
inline constexpr const char kRwGeometryListNotFound[] = "RW Section Clump\\Geometry List not found.";
inline constexpr const char kRwGeometryNotFound[] = "RW Section Clump\\Geometry List\\Geometry not found.";
inline constexpr const char kRwGeometryStructNotFound[] = "RW Section Clump\\Geometry List\\Geometry\\Struct not found.";
inline constexpr const char kRwMaterialListNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList not found.";
inline constexpr const char kRwMaterialListStructNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Struct not found.";
inline constexpr const char kRwMaterialNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material not found.";
inline constexpr const char kRwMaterialStructNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Struct not found.";
inline constexpr const char kRwTextureNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture not found.";
inline constexpr const char kRwTextureStringNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String not found.";
inline constexpr const char kRwGeometryExtensionNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\Extension not found.";
inline constexpr const char kRwBinMeshNotFound[] =
    "RW Section Clump\\Geometry List\\Geometry\\Extension\\BinMeshPLG not found.";
inline constexpr const char kRwSkinNotFound[] = "RW Section Clump\\Geometry List\\Geometry\\Extension\\SkinPLG not found.";
inline constexpr const char kRwTextureDictionaryNotFound[] = "RW Section TextureDictionary not found.";
inline constexpr const char kRwTextureDictionaryStructNotFound[] = "RW Section TextureDictionary\\Struct not found.";
inline constexpr const char kRwTextureNativeStructNotFound[] =
    "RW Section TextureDictionary\\TextureNative\\Struct not found.";
inline constexpr const char kRwUnknownVersion[] = "Unknown RW Version ID.";
inline constexpr const char kRwUnknownTexturePlatform[] = "Unknown Texture Platform.";

// RenderWare model loading: a section whose contents break the loader's
// limits (counts beyond the bytes that hold them, names longer than their
// fields, references to things that do not exist).
inline constexpr const char kRwClumpStructDamaged[] = "RW Section Clump\\Struct is damaged.";
inline constexpr const char kRwAtomicStructDamaged[] = "RW Section Clump\\Atomic\\Struct is damaged.";
inline constexpr const char kRwFrameListStructDamaged[] = "RW Section Clump\\FrameList\\Struct is damaged.";
inline constexpr const char kRwHAnimDamaged[] = "RW Section Clump\\FrameList\\Extension\\HAnimPLG is damaged.";
inline constexpr const char kRwFrameNameTooLong[] = "RW Section Clump\\FrameList\\Extension\\Frame is too long.";
inline constexpr const char kRwGeometryStructDamaged[] = "RW Section Clump\\Geometry List\\Geometry\\Struct is damaged.";
inline constexpr const char kRwMaterialListStructDamaged[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Struct is damaged.";
inline constexpr const char kRwMaterialStructDamaged[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Struct is damaged.";
inline constexpr const char kRwTextureStringDamaged[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String is damaged.";
inline constexpr const char kRwTextureStringTooLong[] =
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String is too long.";
inline constexpr const char kRwBinMeshDamaged[] =
    "RW Section Clump\\Geometry List\\Geometry\\Extension\\BinMeshPLG is damaged.";
inline constexpr const char kRwSkinDamaged[] = "RW Section Clump\\Geometry List\\Geometry\\Extension\\SkinPLG is damaged.";
inline constexpr const char kRwTextureDictionaryStructDamaged[] = "RW Section TextureDictionary\\Struct is damaged.";
inline constexpr const char kRwTextureNativeStructDamaged[] =
    "RW Section TextureDictionary\\TextureNative\\Struct is damaged.";
inline constexpr const char kRwUnknownTextureFormat[] = "Unknown Texture Format.";

}  // namespace zam::msg
