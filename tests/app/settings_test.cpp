#include "app/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_settings_store.h"

namespace zam {
namespace {

using test::MemoryStore;

TEST(ReadSettings, DefaultsAndFlagsThatAreTrueWhenNotZero) {
  MemoryStore store;
  Settings settings = ReadSettings(store);
  EXPECT_TRUE(settings.showDff && settings.preview.showAxis && settings.preview.showMesh && settings.preview.showBone);
  EXPECT_FALSE(settings.preview.cullingDisabled || settings.preview.specView);
  EXPECT_EQ(settings.preview.backgroundColor, 0u);  // "00000000": black
  store.values = {{"Preview/ShowAxis", "0"}, {"Preview/ShowMesh", "7"}, {"Preview/Culling", "1"},
                  {"Preview/SpecView", "x"}, {"Directory/ShowDFF", "0"}};
  settings = ReadSettings(store);
  EXPECT_FALSE(settings.preview.showAxis);
  EXPECT_TRUE(settings.preview.showMesh);
  EXPECT_TRUE(settings.preview.cullingDisabled);
  EXPECT_FALSE(settings.preview.specView);
  EXPECT_FALSE(settings.showDff);
  for (auto [text, color] : {std::pair{"FF8000", 0xFF8000u}, std::pair{"ff8000", 0xFF8000u},
                             std::pair{"orange", kInitialBackgroundColor}, std::pair{"123456789", kInitialBackgroundColor}}) {
    store.values["Preview/BGColor"] = text;
    EXPECT_EQ(ReadSettings(store).preview.backgroundColor, color) << text;
  }
}

TEST(BackgroundColorText, IsLowerCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(FormatBackgroundColor(0x00FF00), "ff00");
  EXPECT_EQ(FormatBackgroundColor(0), "0");
  uint32_t color = 0;
  EXPECT_TRUE(ParseBackgroundColor(FormatBackgroundColor(0xABCDEF), color));
  EXPECT_EQ(color, 0xABCDEFu);
  EXPECT_TRUE(ParseBackgroundColor("0x10zz", color));
  EXPECT_EQ(color, 0x10u);
  EXPECT_FALSE(ParseBackgroundColor("", color));
}

TEST(ReadSettings, LocationsDefaultToTheGameFolderAndNoModels) {
  MemoryStore store;
  EXPECT_EQ(ReadInitialDirectory(store, "C:\\Program Files"), "C:\\Program Files\\Brightfold Games\\Zelcor Halvern\\");
  ModelPaths paths = ReadModelPaths(store);
  EXPECT_EQ(paths.model, "");
  EXPECT_EQ(paths.weapon, "");
  store.values = {{"Directory/InitDir", "D:\\Games\\"}, {"Preview/Model", "D:\\ped.dff"}, {"Preview/Weapon", "D:\\gun.dff"}};
  EXPECT_EQ(ReadInitialDirectory(store, "C:\\Program Files"), "D:\\Games\\");
  EXPECT_EQ(ReadModelPaths(store).model, "D:\\ped.dff");
  EXPECT_EQ(ReadModelPaths(store).weapon, "D:\\gun.dff");
  WriteFlag(store, ini::kPreview, ini::kShowBone, false);
  WriteFlag(store, ini::kDirectory, ini::kShowDff, true);
  EXPECT_EQ(store.values["Preview/ShowBone"], "0");
  EXPECT_EQ(store.values["Directory/ShowDFF"], "1");
}

}  // namespace
}  // namespace zam
