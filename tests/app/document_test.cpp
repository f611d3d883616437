#include "app/document.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

TEST(DocumentTitle, HasFourForms) {
  DocumentState document;
  EXPECT_EQ(DocumentTitle(document), "new - Zelcor Animation Manager");
  document.modified = true;
  EXPECT_EQ(DocumentTitle(document), "new* - Zelcor Animation Manager");
  SetDocumentFromPath(document, "C:\\mods\\ped.ifp");
  EXPECT_EQ(DocumentTitle(document), "ped.ifp - Zelcor Animation Manager");
  document.modified = true;
  EXPECT_EQ(DocumentTitle(document), "ped.ifp* - Zelcor Animation Manager");
}

TEST(DocumentTitle, FitsTheTitleBuffer) {
  DocumentState document;
  document.documentName = std::string(2000, 'a');
  EXPECT_EQ(DocumentTitle(document).size(), 1023u);
}

TEST(DocumentState, PathsSplitAtTheLastBackslash) {
  DocumentState document;
  SetDocumentFromArchiveEntry(document, "C:\\game\\anim.img", "ped.ifp");
  SetDocumentFromPath(document, "C:\\mods\\walk\\ped.ifp");
  EXPECT_EQ(document.documentDirectory, "C:\\mods\\walk\\");
  EXPECT_EQ(document.documentName, "ped.ifp");
  EXPECT_TRUE(document.documentArchive.empty());
  EXPECT_EQ(DocumentFilePath(document), "C:\\mods\\walk\\ped.ifp");

  SetDocumentFromPath(document, "ped.ifp");
  EXPECT_EQ(document.documentDirectory, "");
  EXPECT_EQ(document.documentName, "ped.ifp");
}

TEST(DocumentState, ArchiveEntriesHaveNoFilePath) {
  DocumentState document;
  document.modified = true;
  SetDocumentFromArchiveEntry(document, "C:\\game\\anim.img", "ped.ifp");
  EXPECT_EQ(document.documentDirectory, "");
  EXPECT_EQ(document.documentArchive, "C:\\game\\anim.img");
  EXPECT_EQ(DocumentTitle(document), "ped.ifp - Zelcor Animation Manager");
  EXPECT_EQ(DocumentFilePath(document), "");
  ClearDocument(document);
  EXPECT_EQ(DocumentTitle(document), "new - Zelcor Animation Manager");
}

TEST(SettingsPath, SitsBesideTheExecutable) {
  EXPECT_EQ(SettingsPathForExecutable("C:\\Tools\\Zelcor\\ZelcorAnimManager.exe"),
            "C:\\Tools\\Zelcor\\ZelcorAnimManager.ini");
  EXPECT_EQ(SettingsPathForExecutable("ZelcorAnimManager.exe"), "ZelcorAnimManager.exe\\ZelcorAnimManager.ini");
}

TEST(WithExtension, ReplacesWhatFollowsTheLastDot) {
  EXPECT_EQ(WithExtension("C:\\models\\ped.dff", "txd"), "C:\\models\\ped.txd");
  EXPECT_EQ(WithExtension("C:\\models\\ped", "txd"), "C:\\models\\ped.txd");
}

}  // namespace
}  // namespace zam
