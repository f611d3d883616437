// Archives larger than 4 GB, made as sparse files: entries past the 32-bit
// byte range are found, copied out and put at the right positions
// (which also holds the file service to 64-bit positions).

#include <gtest/gtest.h>

#include "img/img_archive.h"
#include "img/img_edit.h"
#include "img_builder.h"
#include "platform/temp_file.h"
#include "support/scratch_folder.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using gen::PatternData;
using test::RawBytes;
using test::ReadAll;
using test::ScratchFolder;

constexpr uint32_t kFarSector = 0x200001;  // 4 GB + 2048 bytes

class ImgLargeArchive : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    GTEST_SKIP() << "files are not sparse there: this would write 4 GB";
#else
    RawBytes header;
    header.Tag("VER2").U32(2);
    header.U32(kFarSector).U32(2).Text("far.ifp", 24);
    header.U32(1).U32(kFarSector - 1).Text("near.ifp", 24);  // no hole before far.ifp
    header.Fill(2048 - header.size(), 0);
    header.Raw(PatternData(2048, 1).data(), 2048);
    archive_ = scratch_.Write("big.img", header.bytes());
    File file = File::OpenReadWrite(archive_);
    ASSERT_TRUE(file.Seek(ImgSectorPosition(kFarSector)));
    ASSERT_TRUE(file.Write(far_.data(), far_.size()));
#endif
  }

  ScratchFolder scratch_;
  std::string archive_;
  const std::vector<uint8_t> far_ = PatternData(4096, 2);
};

// far.ifp is copied out from beyond 4 GB; a put into it goes after its
// sectors, there being no hole before them, and a put into near.ifp then
// fills the hole far.ifp left.
TEST_F(ImgLargeArchive, ExtractsAndPutsBeyondFourGigabytes) {
  auto extract = [&](const char* name) {
    TempFile out = TempFile::Create("ifp");
    EXPECT_EQ(ExtractImgEntry(archive_, name, out.file()), ImgExtractResult::Extracted) << name;
    return ReadAll(out.file());
  };
  EXPECT_EQ(extract("far.ifp"), far_);
  const std::vector<uint8_t> package = PatternData(3000, 3);  // 2 sectors
  std::vector<uint8_t> expected = package;
  expected.resize(2 * 2048, 0);
  for (const char* name : {"far.ifp", "near.ifp"}) {
    EXPECT_EQ(PutImgEntry(archive_, name, package), ImgEditResult::Done);
    EXPECT_EQ(extract(name), expected);
  }
  std::vector<ImgEntry> entries;
  ASSERT_EQ(ListImgEntries(archive_, entries), ImgListResult::Listed);
  EXPECT_EQ(entries[0].offset, kFarSector + 2);
  EXPECT_EQ(entries[1].offset, kFarSector);
  EXPECT_EQ(entries[1].size, 2u);
}

}  // namespace
}  // namespace zam
