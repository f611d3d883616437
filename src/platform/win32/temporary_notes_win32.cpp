#include <windows.h>

#include <string>
#include <vector>

#include "platform/replace_temp_names.h"
#include "platform/temp_folder.h"
#include "platform/temporary_notes.h"
#include "platform/write_journal.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::string ReadNote(HANDLE file) {
  std::string text;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0 && text.size() < 65536) text.append(buffer, n);
  return text;
}

}  // namespace

// "zam-temporaries" in the user's temporary folder, made when missing.
std::string TemporaryNotesFolder() {
  std::string temp = SystemTempFolder();
  if (temp.empty()) return std::string();
  std::wstring folder = WideFromUtf8(temp) + L"zam-temporaries";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  return Utf8FromWide(folder) + "\\";
}

TemporaryNote TemporaryNote::Begin() {
  TemporaryNote note;
  std::wstring folder = WideFromUtf8(TemporaryNotesFolder());
  if (folder.empty()) return note;
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::wstring path = folder + WideFromUtf8(NewReplaceTempName().substr(kReplaceTempPrefixLength)) + L".note";
    // Open at all, it cannot be opened unshared: that is what holds it.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return note;
    }
    note.path_ = Utf8FromWide(path);
    note.handle_ = reinterpret_cast<intptr_t>(file);
    return note;
  }
  return note;
}

void TemporaryNote::Name(const std::string& temporaryPath) {
  if (handle_ == kNoHandle) return;
  HANDLE file = AsHandle(handle_);
  DWORD written = 0;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(file)) return;
  WriteFile(file, temporaryPath.data(), static_cast<DWORD>(temporaryPath.size()), &written, nullptr);
}

void TemporaryNote::End() {
  if (handle_ == kNoHandle) return;
  // Deleted while still held, so no start ever sees it unheld.
  DeleteFileW(WideFromUtf8(path_).c_str());
  CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
  path_.clear();
}

void TemporaryNote::Abandon() {
  if (handle_ == kNoHandle) return;
  CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
  path_.clear();
}

void RemoveAbandonedTemporaries() {
  std::wstring folder = WideFromUtf8(TemporaryNotesFolder());
  if (folder.empty()) return;
  struct Abandoned {
    HANDLE note;
    std::string temporary;
  };
  std::vector<Abandoned> abandoned;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*.note").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    // Fails while the process that wrote the note holds it; the note goes
    // when this handle closes.
    HANDLE note = CreateFileW((folder + found.cFileName).c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (note == INVALID_HANDLE_VALUE) continue;
    abandoned.push_back({note, ReadNote(note)});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (bool journals : {true, false}) {
    for (Abandoned& note : abandoned) {
      if (note.note == INVALID_HANDLE_VALUE) continue;
      bool present = false;
      if (IsProgramTemporary(note.temporary)) {
        DWORD attributes = GetFileAttributesW(WideFromUtf8(note.temporary).c_str());
        present = attributes != INVALID_FILE_ATTRIBUTES &&
                  !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
      }
      if (journals && !(present && ReplayWriteJournal(note.temporary))) continue;
      // A temporary some process still has open cannot be deleted and stays.
      if (!journals && present) DeleteFileW(WideFromUtf8(note.temporary).c_str());
      CloseHandle(note.note);
      note.note = INVALID_HANDLE_VALUE;
    }
  }
}

}  // namespace zam
