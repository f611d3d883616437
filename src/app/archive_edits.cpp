#include "app/archive_edits.h"

namespace zam {

std::optional<Message> ArchiveEditMessage(ImgEditResult result) {
  switch (result) {
    case ImgEditResult::Done:
    case ImgEditResult::EntryNotFound:
      break;
    case ImgEditResult::ArchiveCannotOpen:
      return Message::FileCannotOpen;
    case ImgEditResult::NotImgArchive:
    case ImgEditResult::DirectoryDamaged:
      return Message::ArchiveDamaged;
    case ImgEditResult::NameTaken:
      return Message::EntryNameTaken;
    case ImgEditResult::NameInvalid:
      return Message::EntryNameInvalid;
    case ImgEditResult::TooLarge:
      return Message::EntryTooLarge;
    case ImgEditResult::WriteFailed:
      return Message::ArchiveNotChanged;
    case ImgEditResult::Pending:
      return Message::ArchivePending;
  }
  return std::nullopt;
}

std::optional<Message> RebuildMessage(ImgRebuildResult result) {
  switch (result) {
    case ImgRebuildResult::Done:
    case ImgRebuildResult::Cancelled:
      break;
    case ImgRebuildResult::ArchiveCannotOpen:
      return Message::FileCannotOpen;
    case ImgRebuildResult::NotImgArchive:
    case ImgRebuildResult::DirectoryDamaged:
      return Message::ArchiveDamaged;
    case ImgRebuildResult::NoSpace:
      return Message::RebuildNoSpace;
    case ImgRebuildResult::WriteFailed:
      return Message::RebuildFailed;
    case ImgRebuildResult::Pending:
      return Message::ArchivePending;
  }
  return std::nullopt;
}

std::string RebuildSpaceLine(const ImgRebuildOutcome& outcome) {
  auto megabytes = [](uint64_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20); };
  return "Needed: " + megabytes(outcome.newBytes) + " MB, free: " + megabytes(outcome.freeBytes) + " MB.";
}

}  // namespace zam
