#include "model/rw_chunk.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "model/rw_test_files.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using test::RawBytes;

constexpr uint32_t kOtherStamp = 0x0C02FFFF;  // library 3.3.0.2, whose Geometry differs

RawBytes& Header(RawBytes& b, uint32_t type, uint32_t size, uint32_t stamp = kRwLibraryStamp) {
  return b.U32(type).U32(size).U32(stamp);
}

int64_t Find(const RawBytes& file, uint32_t type, size_t from, size_t* positionAfter = nullptr) {
  ByteReader in(file.bytes().data(), file.size());
  in.SeekTo(from);
  int64_t result = FindChunk(in, type);
  if (positionAfter) *positionAfter = in.Position();
  return result;
}

TEST(FindChunk, StepsOverWholeSectionsIntoSiblingsAndStandsAtTheBodyFound) {
  RawBytes file;
  Header(file, kRwGeometry, 28);
  Header(file, kRwStruct, 4).U32(1);  // the Geometry's children, never seen from outside
  Header(file, kRwTexture, 0);
  Header(file, kRwAtomic, 0);  // a sibling of the Geometry
  Header(file, kRwExtension, 8).U32(0xAB).U32(0xCD);
  Header(file, kRwTexture, 0);
  size_t position = 0;
  EXPECT_EQ(Find(file, kRwGeometry, 0, &position), 28);
  EXPECT_EQ(position, 12u);
  EXPECT_EQ(Find(file, kRwTexture, 0, &position), 0);  // an empty section
  EXPECT_EQ(position, file.size());
  EXPECT_EQ(Find(file, kRwExtension, 12, &position), 8);  // from the Geometry's body on, past its end
  EXPECT_EQ(position, file.size() - 20);
  EXPECT_EQ(Find(file, kRwClump, 0, &position), kRwEndOfFile);
  EXPECT_EQ(position, file.size());
}

TEST(FindChunk, DoesNotTestTheFoundStampButRefusesToStepOverAnother) {
  RawBytes file;
  Header(file, kRwClump, 28, kOtherStamp);
  Header(file, kRwStruct, 4, kOtherStamp).U32(1);
  Header(file, kRwFrameList, 0, kOtherStamp);
  size_t position = 0;
  ASSERT_EQ(Find(file, kRwClump, 0, &position), 28);
  EXPECT_EQ(Find(file, kRwFrameList, position), kRwUnknownVersion);
  EXPECT_EQ(Find(file, kRwStruct, position), 4);
}

// Libraries 3.4.0.0 to 3.6.0.3 may be stepped over; older and unknown stamps not.
TEST(FindChunk, StepsOverTheStampsOfLibraries34To36Only) {
  const uint32_t readable[] = {0x1000FFFF, 0x1003FFFF, 0x1400FFFF, 0x1401FFFF, 0x1800FFFF, 0x1803FFFF, 0x10030002};
  const uint32_t refused[] = {0x0C02FFFF, 0x0800FFFF, 0x0400FFFF, 0x00000310, 0x00000340,
                              0x1804FFFF, 0x1C02FFFF, 0x00000000, 0xFFFFFFFF};
  for (uint32_t stamp : readable) {
    RawBytes file;
    Header(file, kRwStruct, 4, stamp).U32(1);
    Header(file, kRwClump, 0, kOtherStamp);
    EXPECT_EQ(Find(file, kRwClump, 0), 0) << std::hex << stamp;
  }
  for (uint32_t stamp : refused) {
    RawBytes file;
    Header(file, kRwStruct, 4, stamp).U32(1);
    Header(file, kRwClump, 0);
    EXPECT_EQ(Find(file, kRwClump, 0), kRwUnknownVersion) << std::hex << stamp;
  }
  EXPECT_EQ(RwLibraryVersion(0x1003FFFF), 0x34003u);
  EXPECT_EQ(RwLibraryVersion(0x1400FFFF), 0x35000u);
  EXPECT_EQ(RwLibraryVersion(kRwLibraryStamp), 0x36003u);
  EXPECT_EQ(RwLibraryVersion(0x00000310), 0x31000u) << "before 3.1 the stamp was the version";
}

// A bounded search looks only at the sections whose headers end by the bound.
TEST(FindChunk, ABoundedSearchStopsAtItsEnd) {
  RawBytes file;
  Header(file, kRwExtension, 24);
  Header(file, kRwHAnimPlg, 12, 0x1003FFFF).U32(1).U32(2).U32(3);
  Header(file, kRwFrameName, 4).U32(0x41);  // a sibling of the Extension, outside it
  ByteReader in(file.bytes().data(), file.size());
  in.SeekTo(12);
  EXPECT_EQ(FindChunkBefore(in, kRwHAnimPlg, 36), 12);
  in.SeekTo(12);
  EXPECT_EQ(FindChunkBefore(in, kRwFrameName, 36), kRwEndOfFile);
  in.SeekTo(12);
  EXPECT_EQ(FindChunkBefore(in, kRwFrameName, 37), kRwEndOfFile) << "a header must fit before the end";
  in.SeekTo(12);
  EXPECT_EQ(FindChunk(in, kRwFrameName), 4) << "unbounded, it runs on past the Extension";
}

TEST(FindChunk, EmptyInputPartialHeadersAndOverlongBodiesGiveEndOfFile) {
  EXPECT_EQ(Find(RawBytes(), kRwClump, 0), kRwEndOfFile);
  RawBytes partial;
  Header(partial, kRwStruct, 0).U32(kRwClump).U32(0);  // 8 bytes of a second header
  EXPECT_EQ(Find(partial, kRwClump, 0), kRwEndOfFile);
  RawBytes overlong;
  Header(overlong, kRwStruct, 0xFFFFFFF0u).U32(1);
  EXPECT_EQ(Find(overlong, kRwClump, 0), kRwEndOfFile);
}

TEST(FindChunk, SearchMessagesNameTheSectionOrTheVersion) {
  EXPECT_EQ(ChunkSearchMessage(kRwUnknownVersion, Message::RwClumpNotFound), Message::RwUnknownVersion);
  EXPECT_EQ(ChunkSearchMessage(kRwEndOfFile, Message::RwClumpNotFound), Message::RwClumpNotFound);
  EXPECT_STREQ(MessageText(ChunkSearchMessage(kRwUnknownVersion, Message::RwClumpNotFound)), "Unknown RW Version ID.");
  EXPECT_STREQ(MessageText(Message::RwClumpNotFound), "RW Section Clump not found.");
  EXPECT_EQ(MessageText(Message::RwClumpNotFound), msg::kRwClumpNotFound) << "the constants are the table's texts";
  EXPECT_STREQ(MessageText(Message::None), "");
  EXPECT_STREQ(msg::kRwTextureStringNotFound,
               "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String not found.");
  EXPECT_STREQ(msg::kRwTextureNativeStructNotFound, "RW Section TextureDictionary\\TextureNative\\Struct not found.");
  EXPECT_STREQ(msg::kRwUnknownTexturePlatform, "Unknown Texture Platform.");
}

}  // namespace
}  // namespace zam
