#include "app/document.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

TEST(DocumentState, TitleAndPathsOfNewFileAndArchiveDocuments) {
  DocumentState document;
  document.modified = true;
  EXPECT_EQ(DocumentTitle(document), "new* - Zelcor Animation Manager");
  SetDocumentFromArchiveEntry(document, "C:\\game\\anim.img", "ped.ifp");
  EXPECT_EQ(document.documentArchive, "C:\\game\\anim.img");
  EXPECT_EQ(DocumentTitle(document), "ped.ifp - Zelcor Animation Manager");
  EXPECT_EQ(DocumentFilePath(document), "") << "an archive entry has no file path";
  SetDocumentFromPath(document, "C:\\mods\\walk\\ped.ifp");
  EXPECT_EQ(document.documentDirectory, "C:\\mods\\walk\\");
  EXPECT_TRUE(document.documentArchive.empty());
  EXPECT_EQ(DocumentFilePath(document), "C:\\mods\\walk\\ped.ifp");
  document.modified = true;
  EXPECT_EQ(DocumentTitle(document), "ped.ifp* - Zelcor Animation Manager");
  SetDocumentFromPath(document, "ped.ifp");
  EXPECT_EQ(document.documentDirectory, "");
  EXPECT_EQ(document.documentName, "ped.ifp");
  ClearDocument(document);
  EXPECT_EQ(DocumentTitle(document), "new - Zelcor Animation Manager");
  document.documentName = std::string(2000, 'a');
  EXPECT_EQ(DocumentTitle(document).size(), 1023u) << "fits the title buffer";
}

TEST(DocumentState, SettingsAndDictionariesBesideTheirFiles) {
  EXPECT_EQ(SettingsPathForExecutable("C:\\Tools\\Zelcor\\ZelcorAnimManager.exe"),
            "C:\\Tools\\Zelcor\\ZelcorAnimManager.ini");
  EXPECT_EQ(SettingsPathForExecutable("ZelcorAnimManager.exe"), "ZelcorAnimManager.exe\\ZelcorAnimManager.ini");
  EXPECT_EQ(WithExtension("C:\\models\\ped.dff", "txd"), "C:\\models\\ped.txd");
  EXPECT_EQ(WithExtension("C:\\models\\ped", "txd"), "C:\\models\\ped.txd");
}

}  // namespace
}  // namespace zam
