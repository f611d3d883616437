#pragma once
// Changes to files of one folder that must all be made or none: the records
// of an archive's directory moving up after a deleted one, or a pair of files
// renamed into place. They are written whole into a journal beside the files
// and made durable before the first of them is made. A process killed while
// it makes them leaves the journal behind, noted as a temporary
// (temporary_notes.h); the next start makes them all again, before it
// removes any other temporary, so the files end as the changes leave them.

#include <cstdint>
#include <string>
#include <vector>

namespace zam {

class WriteJournal {
 public:
  // Each change names a file of the folder by its name alone.
  void Write(const std::string& file, uint64_t position, const std::vector<uint8_t>& bytes);
  void SetSize(const std::string& file, uint64_t size);
  // A source that no longer exists counts as renamed already.
  void Rename(const std::string& from, const std::string& to);

  enum class Outcome {
    Made,
    NothingMade,  // the journal could not be written (a full disk): no file was touched
    Pending,      // not every change could be made: the next start makes them
  };
  // Makes the changes in the files of `folder` (ending with its separator,
  // or empty for the working folder). The files must not be open.
  Outcome Commit(const std::string& folder) const;

 private:
  std::vector<uint8_t> encoded_;
};

// Makes the changes of a complete journal at `path` again and deletes it;
// one cut short (its writer killed while writing it) is deleted with none
// made, as its writer had made none. False, and nothing done, for a file
// that is no journal.
bool ReplayWriteJournal(const std::string& path);

}  // namespace zam
