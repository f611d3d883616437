#pragma once
// An editor's model on a scratch folder and settings in memory, with the
// user's clicks on the lists as calls.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "app/editor.h"
#include "support/memory_settings_store.h"
#include "support/scratch_folder.h"
#include "support/test_package.h"

namespace zam::test {

class EditorTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const AnimPackage& package) {
    std::vector<uint8_t> bytes;
    WriteIfp(package, bytes);
    folder_.Write(name, bytes);
    return folder_.ProgramPath(name);
  }
  AnimPackage Saved(const std::string& name) {
    std::vector<uint8_t> bytes = folder_.Read(name);
    AnimPackage package{};
    EXPECT_EQ(ReadIfp(bytes.data(), bytes.size(), package), IfpReadStatus::Ok);
    return package;
  }
  void Open(const AnimPackage& package) {
    EditorChanges changes = editor_.OpenFile(Write("walk.ifp", package));
    ASSERT_FALSE(changes.message);
  }
  // Clicks: the first row alone, the others added to the selection.
  void Select(const std::vector<int>& rows) {
    editor_.SetAnimationSelected(-1, false);
    for (int row : rows) editor_.SetAnimationSelected(row, true);
  }
  void SelectTracks(const std::vector<int>& rows) {
    editor_.SetTrackSelected(-1, false);
    for (int row : rows) editor_.SetTrackSelected(row, true);
  }
  std::string Title() const { return DocumentTitle(editor_.document()); }

  test::ScratchFolder folder_;
  test::MemoryStore store_;
  Editor editor_{store_};
};

}  // namespace zam::test
