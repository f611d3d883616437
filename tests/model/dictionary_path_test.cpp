#include "model/dictionary_path.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

TEST(DictionaryPath, ReplacesTheModelsExtensionOrIsNone) {
  EXPECT_EQ(DictionaryPathFor("C:\\Game\\models\\player.dff"), "C:\\Game\\models\\player.txd");
  EXPECT_EQ(DictionaryPathFor("/tmp/a.b/pistol.DFF"), "/tmp/a.b/pistol.txd");
  EXPECT_EQ(DictionaryPathFor("x.df"), "x.txd");
  EXPECT_EQ(DictionaryPathFor("C:\\my.folder\\model"), "");
  EXPECT_EQ(DictionaryPathFor("model"), "");
}

}  // namespace
}  // namespace zam
