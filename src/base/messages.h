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

}  // namespace zam::msg
