#pragma once
// A fresh folder per test that also serves as the process's temporary
// folder (and, on POSIX, holds the state folder where temporaries are
// noted), so tests can see every temporary file the code under test leaves
// behind without being disturbed by other programs. Names and paths are
// UTF-8, as the program's.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_system.h"

namespace zam::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() /
              ("zam-img-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder_);
    for (const auto* name : kTempVariables) {
      const auto* old = GetVariable(name);
      saved_.emplace_back(old != nullptr, old ? old : Native());
    }
    SetTemporaryFolder("");
#if !defined(_WIN32)
    const char* state = std::getenv("XDG_STATE_HOME");
    savedState_.emplace(state != nullptr, state ? state : "");
    setenv("XDG_STATE_HOME", At(kStateFolder).c_str(), 1);
#endif
  }
  ~ScratchFolder() {
    for (size_t i = 0; i < saved_.size(); ++i) SetVariable(kTempVariables[i], saved_[i].second, saved_[i].first);
#if !defined(_WIN32)
    SetVariable("XDG_STATE_HOME", savedState_->second, savedState_->first);
#endif
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path(const std::string& name) const { return At(name).u8string(); }

  // The same path as the program writes it: on POSIX through drive Z:, the
  // root of the file system, with "\" between components.
  std::string ProgramPath(const std::string& name) const {
    std::string path = Path(name);
    std::replace(path.begin(), path.end(), '/', '\\');
#if !defined(_WIN32)
    path = "Z:" + path;
#endif
    return path;
  }

  void MakeFolder(const std::string& name) const { std::filesystem::create_directories(At(name)); }

  // The temporary folder becomes the folder `name` in this one ("" for this
  // one itself), until the end of the test.
  void SetTemporaryFolder(const std::string& name) const {
    for (const auto* variable : kTempVariables) SetVariable(variable, (name.empty() ? folder_ : At(name)).native());
  }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    File file = File::Create(Path(name));
    EXPECT_TRUE(file.IsOpen() && file.Write(bytes.data(), bytes.size())) << name;
    return Path(name);
  }

  std::vector<uint8_t> Read(const std::string& name) const { return ReadPath(Path(name)); }
  static std::vector<uint8_t> ReadPath(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), FileStatus::Ok) << path;
    return bytes;
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(At(name)); }

  // Points the temporary folder at one that does not exist, so that no
  // temporary file can be made until the object goes away.
  void LoseTemporaryFolder() const {
    for (const auto* variable : kTempVariables) SetVariable(variable, At("missing").native());
  }

  // Names of the files made by the temporary-file service ("ifp", "dff" and
  // "txd" prefixes); the tests never give their own files such names.
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder_)) {
      std::string name = item.path().filename().u8string();
      if (name.rfind("ifp", 0) == 0 || name.rfind("dff", 0) == 0 || name.rfind("txd", 0) == 0) names.push_back(name);
    }
    return names;
  }

 private:
  // Environment variables in the system's own text: wide on Windows, where
  // the 8-bit forms would lose names outside the code page.
  using Native = std::filesystem::path::string_type;

  std::filesystem::path At(const std::string& name) const { return folder_ / std::filesystem::u8path(name); }

 public:
  // Where notes of temporaries go on POSIX (on Windows, into the temporary folder).
  static constexpr const char kStateFolder[] = "state";

 private:

  // POSIX reads TMPDIR; Windows reads TMP, then TEMP.
#if defined(_WIN32)
  static constexpr const wchar_t* kTempVariables[] = {L"TMPDIR", L"TMP", L"TEMP"};
  static const wchar_t* GetVariable(const wchar_t* name) { return _wgetenv(name); }
  static void SetVariable(const wchar_t* name, const Native& value, bool set = true) {
    _wputenv_s(name, set ? value.c_str() : L"");
  }
#else
  static constexpr const char* kTempVariables[] = {"TMPDIR", "TMP", "TEMP"};
  static const char* GetVariable(const char* name) { return std::getenv(name); }
  static void SetVariable(const char* name, const Native& value, bool set = true) {
    set ? setenv(name, value.c_str(), 1) : unsetenv(name);
  }
#endif

  std::filesystem::path folder_;
  std::vector<std::pair<bool, Native>> saved_;
#if !defined(_WIN32)
  std::optional<std::pair<bool, Native>> savedState_;
#endif
};

// The bytes of an extracted or written-back entry as a reader sees them.
inline std::vector<uint8_t> ReadAll(File& file) {
  std::vector<uint8_t> bytes;
  std::optional<uint64_t> size = file.Size();
  if (!size || !file.Seek(0)) return bytes;
  bytes.resize(static_cast<size_t>(*size));
  bytes.resize(file.Read(bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace zam::test
