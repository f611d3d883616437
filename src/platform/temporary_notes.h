#pragma once
// Notes of the temporary files the program is using: those written beside a
// file before they replace it, and those archive entries are copied into.
// While a temporary exists, a note naming it lies in a folder of the user's
// and is held by the process that made it. A process killed meanwhile leaves
// an unheld note behind, and the next start of the program removes the
// temporary it names, however old, wherever it is. Implemented once for
// POSIX (a lock on the note) and once for Win32 (the note open unshared).

#include <cstdint>
#include <string>

namespace zam {

class TemporaryNote {
 public:
  // An empty note, held from now on. Without a folder for notes (no home
  // folder) there is none, and the temporary is simply not noted.
  static TemporaryNote Begin();

  TemporaryNote() = default;
  ~TemporaryNote() { End(); }
  TemporaryNote(TemporaryNote&& other) noexcept;
  TemporaryNote& operator=(TemporaryNote&& other) noexcept;
  TemporaryNote(const TemporaryNote&) = delete;
  TemporaryNote& operator=(const TemporaryNote&) = delete;

  // Names the temporary about to be made (or just made), replacing any name
  // written before.
  void Name(const std::string& temporaryPath);
  // Removes the note: its temporary is gone or has become the file it was for.
  void End();
  // Lets go of the note without removing it, as a killed process would: the
  // next start deals with its temporary.
  void Abandon();

 private:
  static constexpr intptr_t kNoHandle = -1;
  std::string path_;
  intptr_t handle_ = kNoHandle;
};

// The folder of the notes, ending in its separator, made when missing: the
// user's state folder on POSIX (XDG_STATE_HOME, or ~/.local/state) and the
// user's temporary folder on Windows. Empty when there is none. A note is a
// file ending in ".note" that holds the temporary's path.
std::string TemporaryNotesFolder();

// Removes the temporaries named by notes no running process holds, and those
// notes. A note naming a file that is not one of the program's temporaries
// (by its name and place) removes only itself. Journals of changes that
// must all be made (write_journal.h) are made first, as their changes may
// rename other noted temporaries into place.
void RemoveAbandonedTemporaries();

// Whether `path` is named and placed as the program names and places its
// temporaries: ".zam-" and six letters or digits beside any file, or a
// temporary copy ("ifp", "dff", "txd" first) directly in the system's
// temporary folder.
bool IsProgramTemporary(const std::string& path);

}  // namespace zam
