#pragma once
// Every text the program shows the user, in one place. Each message is
// listed once below, as its name and its text; format code reports a
// Message, and the window and zam show MessageText of it. Code that shows a
// message itself may use its text by name (msg::kName). Tests compare
// against both the codes and the literal texts.

#include <cstddef>

// Each message as its name and its text. The comments are /* */ because the
// table is one macro.
#define ZAM_MESSAGES(X)                                                                                                \
  X(FileCannotOpen, "File cannot open.")                                                                               \
  X(UnknownFormat, "Unknown Format String.")                                                                           \
  X(DiscardQuestion, "Current editing will be lost.\nDo you want to continue?")                                        \
  X(InvalidPath, "Invalid Path / File")                                                                                \
  X(InvalidExtension, "Invalid File Extension")                                                                        \
  /* Why a file was not replaced: the user marked it read-only. */                                                     \
  X(FileReadOnly, "The file is read-only.")                                                                            \
  X(FailedToInitializeDirect3D, "Failed to InitializeDirect3D")                                                        \
  /* A package that ends before all it declares: shown with the number of */                                           \
  /* animations that could be read.                                       */                                           \
  X(FileEndedEarly, "The file ends early: only what it holds was read.\nAnimations read: %d")                          \
  /* A package that declares a negative count: shown with the number of   */                                           \
  /* animations read before it.                                           */                                           \
  X(FileDamaged, "The file is damaged: it declares a negative count. Only what comes before it was read.\n"            \
                 "Animations read: %d")                                                                                \
  X(About,                                                                                                             \
    "Zelcor Animation Manager 0.20\n\n"                                                                                \
    "Edits IFP animation packages; keep copies of the game files you change.")                                         \
  /* The Change Speed dialog's factor. */                                                                              \
  X(SpeedFactorInvalid, "The speed factor must be a number above 0 with at most 4 significant digits.")                \
  /* Saving into an archive entry when the data could not be written (a full */                                        \
  /* disk): the archive is as it was.                                         */                                       \
  X(ArchiveUnchanged, "The package could not be written into the archive; the archive is unchanged.")                  \
  /* An archive change that reached the disk whole but could not be made in */                                         \
  /* the archive at once: kept in a journal that the next start completes.  */                                         \
  X(ArchivePending,                                                                                                    \
    "The archive could not be changed at once; the change is kept and is completed when the program starts next.")     \
  /* Adding, deleting, renaming and rebuilding entries of an archive. */                                               \
  X(ArchiveNotChanged, "The archive could not be changed; it is as it was.")                                           \
  X(ArchiveDamaged, "The archive's directory is damaged; the archive was not changed.")                                \
  X(EntryNameTaken, "The archive already has an entry of that name.")                                                  \
  X(EntryNameInvalid, "An entry's name has 1 to 23 characters, none of them \\ or /.")                                 \
  X(EntryTooLarge, "The file is too large for an archive entry.")                                                      \
  /* Dropping or importing a file whose name an entry has: the name below. */                                          \
  X(ReplaceEntryQuestion, "The archive already has an entry of this name. Do you want to replace it?")                 \
  /* Delete Entry: the entry's name below. */                                                                          \
  X(DeleteEntryQuestion, "Do you want to delete this entry from the archive?")                                         \
  /* Rebuild Archive without room for the new archive beside the old: the */                                           \
  /* megabytes it needs and those free below.                             */                                           \
  X(RebuildNoSpace, "There is not enough free space beside the archive to rebuild it; the archive is unchanged.")      \
  X(RebuildFailed, "The archive could not be rebuilt; it is as it was.")                                               \
  /* A save in ANP3 of a package with KRTS tracks: shown with how many, */                                             \
  /* the tracks named below it.                                          */                                            \
  X(ScaleLeftOut,                                                                                                      \
    "The package was saved as ANP3, which stores no scale: these KRTS tracks were written as KRT0, without their "     \
    "scale (%d in all):")                                                                                              \
  /* Before a save in ANP3 or ANP2 that would clamp values: shown with how */                                          \
  /* many, the first track holding one named below it.                   */                                          \
  X(ValuesClamped,                                                                                                     \
    "%d values of this package lie beyond what the layout's compressed keys hold (translations in [-32, 32) m, "       \
    "times up to 546.1 s, rotations in [-8, 8)). Saving stores the nearest values they hold.\nSave anyway? The "       \
    "first is in:")                                                                                                    \
  /* Export to glTF without a character, or with one whose load stopped early. */                                      \
  X(NoCharacterToExport, "Export to glTF needs a character model that loaded completely.")                             \
  /* RenderWare model loading: a section the loader searched for and did not find. */                                  \
  X(RwClumpNotFound, "RW Section Clump not found.")                                                                    \
  X(RwClumpStructNotFound, "RW Section Clump\\Struct not found.")                                                      \
  X(RwAtomicStructNotFound, "RW Section Clump\\Atomic\\Struct not found.")                                             \
  X(RwFrameListNotFound, "RW Section Clump\\FrameList not found.")                                                     \
  X(RwFrameListStructNotFound, "RW Section Clump\\FrameList\\Struct not found.")                                       \
  X(RwFrameExtensionNotFound, "RW Section Clump\\FrameList\\Extension not found.")                                     \
  X(RwHAnimNotFound, "RW Section Clump\\FrameList\\Extension\\HAnimPLG not found.")                                    \
  X(RwFrameNameNotFound, "RW Section Clump\\FrameList\\Extension\\Frame not found.")                                   \
  X(RwGeometryListNotFound, "RW Section Clump\\Geometry List not found.")                                              \
  X(RwGeometryNotFound, "RW Section Clump\\Geometry List\\Geometry not found.")                                        \
  X(RwGeometryStructNotFound, "RW Section Clump\\Geometry List\\Geometry\\Struct not found.")                          \
  X(RwMaterialListNotFound, "RW Section Clump\\Geometry List\\Geometry\\MaterialList not found.")                      \
  X(RwMaterialListStructNotFound, "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Struct not found.")        \
  X(RwMaterialNotFound, "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material not found.")                \
  X(RwMaterialStructNotFound, "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Struct not found.")  \
  X(RwTextureNotFound, "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture not found.")        \
  X(RwTextureStringNotFound,                                                                                           \
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String not found.")                   \
  X(RwGeometryExtensionNotFound, "RW Section Clump\\Geometry List\\Geometry\\Extension not found.")                    \
  X(RwBinMeshNotFound, "RW Section Clump\\Geometry List\\Geometry\\Extension\\BinMeshPLG not found.")                  \
  X(RwSkinNotFound, "RW Section Clump\\Geometry List\\Geometry\\Extension\\SkinPLG not found.")                        \
  X(RwTextureDictionaryNotFound, "RW Section TextureDictionary not found.")                                            \
  X(RwTextureDictionaryStructNotFound, "RW Section TextureDictionary\\Struct not found.")                              \
  X(RwTextureNativeStructNotFound, "RW Section TextureDictionary\\TextureNative\\Struct not found.")                   \
  X(RwUnknownVersion, "Unknown RW Version ID.")                                                                        \
  X(RwUnknownTexturePlatform, "Unknown Texture Platform.")                                                             \
  /* RenderWare model loading: a section whose contents break the loader's   */                                        \
  /* limits (counts beyond the bytes that hold them, names longer than their */                                        \
  /* fields, references to things that do not exist).                        */                                        \
  X(RwClumpStructDamaged, "RW Section Clump\\Struct is damaged.")                                                      \
  X(RwAtomicStructDamaged, "RW Section Clump\\Atomic\\Struct is damaged.")                                             \
  X(RwFrameListStructDamaged, "RW Section Clump\\FrameList\\Struct is damaged.")                                       \
  X(RwHAnimDamaged, "RW Section Clump\\FrameList\\Extension\\HAnimPLG is damaged.")                                    \
  X(RwFrameNameTooLong, "RW Section Clump\\FrameList\\Extension\\Frame is too long.")                                  \
  X(RwGeometryStructDamaged, "RW Section Clump\\Geometry List\\Geometry\\Struct is damaged.")                          \
  X(RwMaterialListStructDamaged, "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Struct is damaged.")        \
  X(RwMaterialStructDamaged, "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Struct is damaged.")  \
  X(RwTextureStringDamaged,                                                                                            \
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String is damaged.")                  \
  X(RwTextureStringTooLong,                                                                                            \
    "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String is too long.")                 \
  X(RwBinMeshDamaged, "RW Section Clump\\Geometry List\\Geometry\\Extension\\BinMeshPLG is damaged.")                  \
  X(RwSkinDamaged, "RW Section Clump\\Geometry List\\Geometry\\Extension\\SkinPLG is damaged.")                        \
  X(RwTextureDictionaryStructDamaged, "RW Section TextureDictionary\\Struct is damaged.")                              \
  X(RwTextureNativeStructDamaged, "RW Section TextureDictionary\\TextureNative\\Struct is damaged.")

namespace zam {

enum class Message {
  None,  // nothing to report: a load that succeeded
#define ZAM_MESSAGE_NAME(name, text) name,
  ZAM_MESSAGES(ZAM_MESSAGE_NAME)
#undef ZAM_MESSAGE_NAME
};

namespace msg {

#define ZAM_MESSAGE_CONSTANT(name, text) inline constexpr const char k##name[] = text;
ZAM_MESSAGES(ZAM_MESSAGE_CONSTANT)
#undef ZAM_MESSAGE_CONSTANT

// Each message's text, in Message order.
inline constexpr const char* kTexts[] = {
    "",
#define ZAM_MESSAGE_TEXT(name, text) k##name,
    ZAM_MESSAGES(ZAM_MESSAGE_TEXT)
#undef ZAM_MESSAGE_TEXT
};

inline constexpr const char kCaption[] = "Zelcor Animation Manager";

// The child that lets a folder or archive of the browser tree expand.
inline constexpr const char kTreePlaceholder[] = "Loading...";

// File dialog filters: description and pattern, each ending in a zero, and a final zero.
inline constexpr char kIfpFilter[] = "Zelcor:HV IFP (*.ifp)\0*.ifp\0";
inline constexpr char kDffFilter[] = "Zelcor:HV DFF\0*.dff\0";
inline constexpr char kImportFilter[] = "Packages, models and dictionaries\0*.ifp;*.dff;*.txd\0All files\0*.*\0";
inline constexpr char kGlbFilter[] = "glTF binary (*.glb)\0*.glb\0";

// After the tracks a message names, the number of those it leaves out.
inline constexpr const char kMoreTracks[] = "and %d more";

// The play button while stopped and while playing.
inline constexpr const char kPlayCaption[] = "|>";
inline constexpr const char kPauseCaption[] = "||";

}  // namespace msg

// The text of a message; empty for Message::None.
constexpr const char* MessageText(Message message) { return msg::kTexts[static_cast<size_t>(message)]; }

}  // namespace zam
