// The table of package layouts: the look-ups, and each layout's reader and
// writer as ReadIfp and WriteIfp use them.

#include <gtest/gtest.h>

#include <string>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "anim/package_layouts.h"
#include "sample_packages.h"
#include "support/package_matchers.h"

namespace zam {
namespace {

using test::SamePackage;

TEST(PackageLayouts, AreFoundByTagAndByCommandLineNameOnly) {
  for (size_t i = 0; i < PackageLayouts().size(); ++i) {
    const PackageLayout& layout = PackageLayouts()[i];
    EXPECT_EQ(LayoutOfTag(layout.tag), &layout);
    EXPECT_EQ(LayoutIndex(layout.tag), static_cast<int>(i));
    EXPECT_EQ(LayoutNamed(layout.commandLineName), &layout);
  }
  for (uint32_t tag : {0u, FourCC("ANP4"), FourCC("anpk"), FourCC("KR00")}) {
    EXPECT_EQ(LayoutOfTag(tag), nullptr) << tag;
    EXPECT_EQ(LayoutIndex(tag), -1) << tag;
  }
  for (const char* name : {"", "ANPK", "Anp3", "anp", "anpk ", "none"}) EXPECT_EQ(LayoutNamed(name), nullptr) << name;
}

// Each layout's entries are what ReadIfp and WriteIfp do for a package of
// that format: the same bytes after the tag, the same package read back.
TEST(PackageLayouts, ReadAndWriteAsReadIfpAndWriteIfpDo) {
  for (const PackageLayout& layout : PackageLayouts()) {
    gen::PackageShape shape;
    shape.format = layout.tag;
    AnimPackage package = gen::MakePackage(shape);
    std::vector<uint8_t> whole;
    ASSERT_EQ(WriteIfp(package, whole), IfpWriteStatus::Ok);
    std::vector<uint8_t> body;
    ByteWriter out(body);
    out.Reserve(whole.size());
    out.Write(layout.tag);
    layout.write(package, out);
    EXPECT_EQ(body, whole) << layout.shownName;

    AnimPackage read{}, readIfp{};
    EXPECT_EQ(layout.read(whole.data(), whole.size(), read), IfpReadStatus::Ok) << layout.shownName;
    ASSERT_EQ(ReadIfp(whole.data(), whole.size(), readIfp), IfpReadStatus::Ok);
    EXPECT_TRUE(SamePackage(readIfp, read)) << layout.shownName;
    EXPECT_EQ(read.format, layout.tag);
    whole.resize(whole.size() - 1);
    EXPECT_EQ(layout.read(whole.data(), whole.size(), read), IfpReadStatus::Truncated) << layout.shownName;
  }
}

}  // namespace
}  // namespace zam
