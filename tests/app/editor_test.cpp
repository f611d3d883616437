// The editor's model: selection, every edit with its undo and redo, the
// document's files, merging, playback, options and models, each checked by
// what the model holds afterwards and what it reports as changed.

#include "app/editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "anim/package_merge.h"
#include "demo_animations.h"
#include "editor_model_fixture.h"
#include "demo_models.h"
#include "gltf/gltf_export.h"
#include "dff_builder.h"
#include "img/img_edit.h"
#include "img/img_entry_bytes.h"
#include "img_builder.h"
#include "support/package_matchers.h"
#include "txd_builder.h"

namespace zam {
namespace {

using Kind = RowChange::Kind;
using test::EditorTest;
using test::TestPackage;

std::vector<std::string> Names(const AnimPackage& package) {
  std::vector<std::string> names;
  for (const Animation& animation : package.animations) names.push_back(NameText(animation.name));
  return names;
}

// The animation list's rows, "name length", as a window shows them after
// applying `changes` to the rows it showed, taking each row's text from the
// package as it is now.
std::vector<std::string> ShownRows(std::vector<std::string> rows, const EditorChanges& changes,
                                   const AnimPackage& now) {
  auto row = [&now](int index) {
    const Animation* animation = AnimationAt(now, index);
    return animation ? NameText(animation->name) + " " + std::to_string(AnimationLengthFrames(*animation)) : "?";
  };
  if (changes.allAnimations) rows.clear();
  for (int i = 0; changes.allAnimations && i < now.animationCount(); ++i) rows.push_back(row(i));
  for (const RowChange& change : changes.animationRows) {
    auto at = rows.begin() + std::clamp(change.row, 0, static_cast<int>(rows.size()));
    if (change.kind == Kind::Inserted) rows.insert(at, row(change.row));
    if (change.kind == Kind::Removed && at != rows.end()) rows.erase(at);
    if (change.kind == Kind::Changed && at != rows.end()) *at = row(change.row);
  }
  return rows;
}

std::vector<std::string> ShownRows(const AnimPackage& package) {
  EditorChanges filled;
  filled.allAnimations = true;
  return ShownRows({}, filled, package);
}

TEST_F(EditorTest, SelectionDecidesTheCurrentAnimation) {
  Open(TestPackage(kFormatANPK, 4));
  EXPECT_EQ(editor_.currentAnimation(), -1);
  EditorChanges changes = editor_.SetAnimationSelected(2, true);
  EXPECT_EQ(editor_.currentAnimation(), 2);
  EXPECT_TRUE(changes.allTracks && changes.timeRange && changes.preview);
  EXPECT_EQ(editor_.FrameCount(), 150);

  // Rows added to the selection leave the current one; a plain click on
  // another row makes that one current.
  EXPECT_FALSE(editor_.SetAnimationSelected(0, true).allTracks);
  EXPECT_EQ(editor_.currentAnimation(), 2);
  EXPECT_EQ(editor_.selectedAnimations(), (std::vector<int>{0, 2}));
  Select({1});
  EXPECT_EQ(editor_.currentAnimation(), 1);

  // Losing the current row leaves none current and refreshes nothing: its
  // tracks stay listed, and track commands do nothing.
  editor_.SetTrackSelected(0, true);
  changes = editor_.SetAnimationSelected(1, false);
  EXPECT_EQ(editor_.currentAnimation(), -1);
  EXPECT_FALSE(changes.allTracks);
  EXPECT_FALSE(editor_.DeleteTracks().title);
  EXPECT_FALSE(editor_.SetTrackKeyType(kKeyKR00).title);
  EXPECT_FALSE(editor_.RenameTrack(0, "Neck").title);
  EXPECT_EQ(editor_.package().animations[1].boneCount(), 2);
  EXPECT_FALSE(editor_.HasUnsavedChanges());

  EXPECT_FALSE(editor_.SetAnimationSelected(9, true).preview) << "a row that names nothing";
  EXPECT_EQ(editor_.currentAnimation(), -1);
}

// Every edit is one step: it marks the document, and undoing it brings back
// the package, the selection and the unmarked title; redoing it the edit.
TEST_F(EditorTest, EveryEditIsOneStepUndoneAndRedone) {
  AnimPackage incoming = TestPackage(kFormatANPK, 2);
  SetName(incoming.animations[0].name, "extra");
  incoming.animations[1].bones.pop_back();
  const std::string other = Write("other.ifp", incoming);
  auto merge = [&](MergeMode mode) {
    AnimPackage read{};
    ReadIfp(folder_.Read("other.ifp").data(), folder_.Read("other.ifp").size(), read);
    editor_.Merge(read, mode, {true, true});
  };
  struct Edit {
    const char* what;
    std::function<void()> make;
  };
  const std::vector<Edit> edits = {
      {"animation copy", [&] { Select({0, 2}); editor_.CopyAnimations(); }},
      {"animation delete", [&] { Select({1, 3}); editor_.DeleteAnimations(); }},
      {"animation rename", [&] { editor_.RenameAnimation(2, "run"); }},
      {"track delete", [&] { Select({1}); SelectTracks({0}); editor_.DeleteTracks(); }},
      {"track rename", [&] { Select({1}); editor_.RenameTrack(1, "Neck"); }},
      {"KR00", [&] { Select({3}); SelectTracks({0}); editor_.SetTrackKeyType(kKeyKR00); }},
      {"KRT0", [&] { Select({3}); SelectTracks({1}); editor_.SetTrackKeyType(kKeyKRT0); }},
      {"Remove Trans Key", [&] { Select({0}); editor_.RemoveTranslationKeys({22}); }},
      {"append", [&] { merge(MergeMode::Append); }},
      {"replace", [&] { Select({1}); merge(MergeMode::Replace); }},
      {"package name", [&] { editor_.SetPackageName("cop"); }},
      {"layout", [&] { editor_.SetLayout(kFormatANP3); }},
  };
  Open(TestPackage(kFormatANPK, 4));
  const std::string opened = "walk.ifp - Zelcor Animation Manager";
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.what);
    Select({2});
    AnimPackage before = editor_.package();
    edit.make();
    AnimPackage after = editor_.package();
    const EditSelection selectedAfter{editor_.currentAnimation(), editor_.selectedAnimations(),
                                      editor_.selectedTracks()};
    ASSERT_FALSE(test::SamePackage(before, after)) << "the edit changed nothing";
    EXPECT_EQ(editor_.HasUnsavedChanges(), std::string(edit.what) != "layout");
    ASSERT_TRUE(editor_.CanUndo());

    // The animation rows are updated in place, never refilled.
    EditorChanges undone = editor_.Undo();
    EXPECT_TRUE(test::SamePackage(before, editor_.package()));
    EXPECT_EQ(Title(), opened);
    EXPECT_FALSE(undone.allAnimations);
    EXPECT_EQ(ShownRows(ShownRows(after), undone, editor_.package()), ShownRows(before));
    EXPECT_TRUE(undone.allTracks && undone.selection && undone.title);
    EXPECT_FALSE(editor_.CanUndo());

    EditorChanges redone = editor_.Redo();
    EXPECT_TRUE(test::SamePackage(after, editor_.package()));
    EXPECT_EQ(ShownRows(ShownRows(before), redone, editor_.package()), ShownRows(after));
    EXPECT_EQ(editor_.currentAnimation(), selectedAfter.currentAnimation);
    const bool headerEdit = edit.what == std::string("package name") || edit.what == std::string("layout");
    EXPECT_EQ(redone.packageHeader, headerEdit);
    EXPECT_FALSE(editor_.CanRedo());
    editor_.Undo();  // the next edit starts from the opened package
  }
}

TEST_F(EditorTest, CopyAppendsDeepCopiesAndDeleteRemovesExactlyTheSelectedRows) {
  Open(TestPackage(kFormatANPK, 4));
  Select({0, 2});
  EditorChanges changes = editor_.CopyAnimations();
  EXPECT_EQ(changes.animationRows, (std::vector<RowChange>{{Kind::Inserted, 4}, {Kind::Inserted, 5}}));
  EXPECT_EQ(Names(editor_.package()), (std::vector<std::string>{"anim0", "anim1", "anim2", "anim3", "anim0", "anim2"}));
  EXPECT_EQ(editor_.selectedAnimations(), (std::vector<int>{0, 2})) << "copies come unselected";
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");

  // The source goes, the copy changes alone: nothing is shared.
  Select({0});
  editor_.DeleteAnimations();
  Select({3});
  SelectTracks({0});
  editor_.SetTrackKeyType(kKeyKR00);
  const AnimPackage& package = editor_.package();
  EXPECT_EQ(package.animations[3].bones[0].keyType, kKeyKR00);
  EXPECT_EQ(package.animations[1].bones[0].keyType, kKeyKRT0);
  EXPECT_EQ(package.animations[3].bones[1].keys[1].time, 2.5f);

  // The current animation is followed while other rows go, and shows nothing once it goes itself.
  const struct {
    std::vector<int> rows;  // the first becomes current
    std::vector<std::string> left;
  } cases[] = {{{5, 0, 3}, {"anim1", "anim2", "anim4"}}, {{3, 1}, {"anim0", "anim2", "anim4", "anim5"}},
               {{0, 4}, {"anim1", "anim2", "anim3", "anim5"}}};
  for (const auto& test : cases) {
    Open(TestPackage(kFormatANPK, 6));
    Select(test.rows);
    changes = editor_.DeleteAnimations();
    EXPECT_EQ(Names(editor_.package()), test.left);
    EXPECT_EQ(changes.animationRows.size(), test.rows.size());
    EXPECT_EQ(editor_.currentAnimation(), -1);
    EXPECT_TRUE(changes.allTracks && changes.timeRange) << "the deleted animation's tracks and length go";
    EXPECT_TRUE(editor_.selectedAnimations().empty());
  }
}

// Deleting tracks shortens the animation: its row, the frame count and the
// play head follow; KR00 and KRT0 decide what the next save writes.
TEST_F(EditorTest, TrackEditsChangeTheAnimationAndWhatIsSaved) {
  Open(TestPackage(kFormatANPK, 2));
  Select({1});
  SelectTracks({1});
  editor_.StepFrame(FrameStep::Last);
  EditorChanges changes = editor_.DeleteTracks();
  EXPECT_EQ(changes.trackRows, (std::vector<RowChange>{{Kind::Removed, 1}}));
  EXPECT_EQ(changes.animationRows, (std::vector<RowChange>{{Kind::Changed, 1}}));
  EXPECT_TRUE(changes.timeRange && changes.playHead);
  EXPECT_EQ(editor_.FrameCount(), 60);
  EXPECT_EQ(editor_.CurrentFrame(), 60);
  SelectTracks({0});
  editor_.DeleteTracks();
  EXPECT_EQ(editor_.FrameCount(), 0) << "no track left";

  Open(TestPackage(kFormatANPK, 1));
  Select({0});
  SelectTracks({0});
  editor_.SetTrackKeyType(kKeyKR00);  // KRT0 -> KR00: translation dropped
  SelectTracks({1});
  changes = editor_.SetTrackKeyType(kKeyKRT0);  // KRTS -> KRT0: scale dropped
  EXPECT_EQ(changes.trackRows, (std::vector<RowChange>{{Kind::Changed, 1}}));
  editor_.Save();
  ASSERT_FALSE(editor_.HasUnsavedChanges());
  changes = editor_.SetTrackKeyType(kKeyKRT0);
  EXPECT_TRUE(editor_.HasUnsavedChanges()) << "the layout it already has is still an edit";
  AnimPackage saved = Saved("walk.ifp");
  EXPECT_EQ(saved.animations[0].bones[0].keyType, kKeyKR00);
  EXPECT_EQ(saved.animations[0].bones[0].keys[1].translation[0], 0.0f);
  EXPECT_EQ(saved.animations[0].bones[1].keyType, kKeyKRT0);
  EXPECT_EQ(saved.animations[0].bones[1].keys[1].translation[0], 2.0f);
}

TEST_F(EditorTest, RenamesKeepTwentyThreeCharactersAndTypingIsOneStep) {
  Open(TestPackage(kFormatANPK, 2));
  EditorChanges changes = editor_.RenameAnimation(1, "anim1");
  EXPECT_FALSE(editor_.HasUnsavedChanges()) << "the same name";
  EXPECT_EQ(changes.animationRows, (std::vector<RowChange>{{Kind::Changed, 1}})) << "the row shows the stored name";
  editor_.RenameAnimation(1, "a_name_of_more_than_twenty_three");
  EXPECT_EQ(NameText(editor_.package().animations[1].name), "a_name_of_more_than_twe");
  EXPECT_TRUE(editor_.HasUnsavedChanges());

  for (const char* typed : {"c", "co", "cop"}) editor_.SetPackageName(typed);
  EXPECT_EQ(NameText(editor_.package().name), "cop");
  editor_.Undo();
  EXPECT_EQ(NameText(editor_.package().name), "ped") << "the typing went in one step";
  EXPECT_EQ(NameText(editor_.package().animations[1].name), "a_name_of_more_than_twe");
}

TEST_F(EditorTest, RemoveTranslationKeysTalliesTheSelectedAnimations) {
  AnimPackage package = TestPackage(kFormatANPK, 3);
  package.animations[1].bones[1].boneId = 3;
  Open(package);
  EXPECT_TRUE(editor_.TranslationTally().empty());
  Select({0, 1});
  std::vector<BoneIdTally> rows = editor_.TranslationTally();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].boneId, 0);
  EXPECT_EQ(rows[0].krt0Count, 2);
  EXPECT_FALSE(rows[0].ticked);
  EXPECT_EQ(rows[2].boneId, 3);
  EXPECT_TRUE(rows[2].ticked);

  EditorChanges changes = editor_.RemoveTranslationKeys({});
  EXPECT_TRUE(editor_.HasUnsavedChanges()) << "OK marks the package even with nothing ticked";
  EXPECT_TRUE(changes.allTracks);
  editor_.RemoveTranslationKeys({0, 3});
  EXPECT_EQ(editor_.package().animations[0].bones[0].keyType, kKeyKR00);
  EXPECT_EQ(editor_.package().animations[1].bones[1].keyType, kKeyKR00);
  EXPECT_EQ(editor_.package().animations[2].bones[0].keyType, kKeyKRT0) << "not selected";
}

TEST_F(EditorTest, OpeningReadsTheFileOrLeavesANewDocumentWithTheMessage) {
  Open(TestPackage(kFormatANPK, 3));
  Select({1});
  editor_.DeleteAnimations();
  EditorChanges changes = editor_.OpenFile(folder_.ProgramPath("missing.ifp"));
  EXPECT_EQ(changes.message, Message::FileCannotOpen);
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(editor_.package().animationCount(), 0);
  EXPECT_FALSE(editor_.CanUndo()) << "the history went with the package";
  EXPECT_TRUE(changes.allAnimations && changes.allTracks && changes.title) << "no view keeps the old package";

  folder_.Write("text.ifp", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(editor_.OpenFile(folder_.ProgramPath("text.ifp")).message, Message::UnknownFormat);
  EXPECT_FALSE(editor_.HasPlaceToSave()) << "a file that is no package never becomes the document";

  std::vector<uint8_t> bytes;
  WriteIfp(TestPackage(kFormatANPK, 3), bytes);
  bytes.resize(bytes.size() - 40);
  folder_.Write("cut.ifp", bytes);
  changes = editor_.OpenFile(folder_.ProgramPath("cut.ifp"));
  EXPECT_EQ(changes.message, Message::FileEndedEarly);
  EXPECT_EQ(changes.messageNumber, 3);
  EXPECT_EQ(Title(), "cut.ifp - Zelcor Animation Manager");

  Write("walk.ifp", TestPackage(kFormatANP3, 2));
  folder_.Write("anim.img", gen::BuildImgArchive({{"walk.ifp", folder_.Read("walk.ifp")}}));
  changes = editor_.OpenArchiveEntry(folder_.ProgramPath("anim.img"), "WALK.IFP");
  EXPECT_FALSE(changes.message);
  EXPECT_EQ(editor_.package().animationCount(), 2);
  EXPECT_EQ(editor_.document().documentArchive, folder_.ProgramPath("anim.img"));
  EXPECT_EQ(Title(), "WALK.IFP - Zelcor Animation Manager");
  EXPECT_FALSE(editor_.OpenArchiveEntry(folder_.ProgramPath("gone.img"), "walk.ifp").message)
      << "an archive that cannot be read says nothing beyond the browser";
  EXPECT_TRUE(folder_.TempFiles().empty());
}

TEST_F(EditorTest, SavingWritesTheDocumentWhereItCameFrom) {
  Open(TestPackage(kFormatANPK, 2));
  editor_.SetLayout(kFormatANP3);
  EXPECT_FALSE(editor_.HasUnsavedChanges()) << "the layout alone is no unsaved change";
  Select({0});
  editor_.DeleteAnimations();
  EXPECT_TRUE(editor_.Save().title);
  EXPECT_FALSE(editor_.HasUnsavedChanges());
  AnimPackage saved = Saved("walk.ifp");
  EXPECT_EQ(saved.format, kFormatANP3);
  EXPECT_EQ(Names(saved), (std::vector<std::string>{"anim1"}));
  EXPECT_TRUE(editor_.CanUndo()) << "a save keeps the history";
  editor_.Undo();
  EXPECT_TRUE(editor_.HasUnsavedChanges()) << "undoing past the save is a change again";

  EditorChanges changes = editor_.SaveAs(folder_.ProgramPath("no folder\\run.ifp"));
  EXPECT_EQ(changes.message, Message::FileCannotOpen);
  EXPECT_FALSE(changes.messageReason.empty()) << "the system's reason goes under the message";
  EXPECT_TRUE(editor_.HasUnsavedChanges());
  // A file the user made read-only is refused by Save and Save As alike.
  const std::vector<uint8_t> before = folder_.Read("walk.ifp");
  const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read;
  std::filesystem::permissions(std::filesystem::u8path(folder_.Path("walk.ifp")), readOnly);
  for (const EditorChanges& refused : {editor_.Save(), editor_.SaveAs(folder_.ProgramPath("walk.ifp"))}) {
    EXPECT_EQ(refused.message, Message::FileCannotOpen);
    EXPECT_EQ(refused.messageReason, "The file is read-only.");
  }
  EXPECT_EQ(folder_.Read("walk.ifp"), before);
  EXPECT_TRUE(editor_.HasUnsavedChanges());
  std::filesystem::permissions(std::filesystem::u8path(folder_.Path("walk.ifp")), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  editor_.SaveAs(folder_.ProgramPath("run.ifp"));
  EXPECT_EQ(Title(), "run.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Saved("run.ifp").animationCount(), 2);

  editor_.Discard();
  EXPECT_FALSE(editor_.HasPlaceToSave()) << "a new document asks for a name first";

  // Into an archive's entry, the other entries untouched; after a rename of
  // the entry, into it by its new name.
  const std::vector<uint8_t> other = gen::PatternData(5000, 7);
  folder_.Write("anim.img", gen::BuildImgArchive({{"walk.ifp", folder_.Read("walk.ifp")}, {"other.dat", other}}));
  editor_.OpenArchiveEntry(folder_.ProgramPath("anim.img"), "walk.ifp");
  Select({0});
  editor_.CopyAnimations();
  EXPECT_FALSE(editor_.Save().message);
  EXPECT_FALSE(editor_.HasUnsavedChanges());
  AnimPackage entry{};
  EXPECT_EQ(ReadPackageEntry(folder_.ProgramPath("anim.img"), "walk.ifp", entry).status, PackageReadStatus::Read);
  EXPECT_EQ(Names(entry), (std::vector<std::string>{"anim1", "anim1"}));
  std::vector<uint8_t> kept;
  EXPECT_EQ(ReadImgEntry(folder_.ProgramPath("anim.img"), "other.dat", kept), ImgExtractResult::Extracted);
  kept.resize(other.size());
  EXPECT_EQ(kept, other);
  ASSERT_EQ(RenameImgEntry(folder_.ProgramPath("anim.img"), "walk.ifp", "stroll.ifp"), ImgEditResult::Done);
  EXPECT_FALSE(editor_.FollowEntryRename(folder_.ProgramPath("anim.img"), "other.dat", "x.dat").title);
  EXPECT_TRUE(editor_.FollowEntryRename(folder_.ProgramPath("anim.img"), "WALK.IFP", "stroll.ifp").title);
  EXPECT_EQ(Title(), "stroll.ifp - Zelcor Animation Manager");
  Select({0});
  editor_.CopyAnimations();
  EXPECT_FALSE(editor_.Save().message);
  EXPECT_EQ(ReadPackageEntry(folder_.ProgramPath("anim.img"), "stroll.ifp", entry).status, PackageReadStatus::Read);
  EXPECT_EQ(entry.animationCount(), 3);

  editor_.SetLayout(0x12345678);
  Select({0});
  editor_.CopyAnimations();
  EXPECT_EQ(editor_.Save().message, Message::UnknownFormat) << "a package in no layout replaces nothing";
  EXPECT_TRUE(editor_.HasUnsavedChanges());
  EXPECT_TRUE(folder_.TempFiles().empty());
}

// A package whose animation count went negative reads as none: written back
// over its file, it would leave a package header of the whole file. Only
// part of the file could be read, so Save has no place to write it to (the
// window asks for one as Save As does, with the question before replacing a
// file); an edit is no consent to replace the file.
TEST_F(EditorTest, APackageOnlyPartlyReadIsNeverSavedOverWhereItCameFrom) {
  std::vector<uint8_t> damaged;
  WriteIfp(TestPackage(kFormatANP3, 3), damaged);
  const int32_t negative = -3;
  std::memcpy(damaged.data() + 32, &negative, 4);  // the animation count
  folder_.Write("damaged.ifp", damaged);
  EditorChanges changes = editor_.OpenFile(folder_.ProgramPath("damaged.ifp"));
  EXPECT_EQ(changes.message, Message::FileDamaged);
  EXPECT_EQ(changes.messageNumber, 0);
  EXPECT_EQ(Title(), "damaged.ifp - Zelcor Animation Manager");
  EXPECT_FALSE(editor_.HasPlaceToSave());
  editor_.SetPackageName("edited");
  EXPECT_FALSE(editor_.Save().title);
  EXPECT_TRUE(editor_.HasUnsavedChanges());
  EXPECT_EQ(folder_.Read("damaged.ifp"), damaged);
  EXPECT_FALSE(editor_.SaveAs(folder_.ProgramPath("damaged.ifp")).message) << "chosen by the user";
  EXPECT_TRUE(editor_.HasPlaceToSave());
  EXPECT_EQ(NameText(Saved("damaged.ifp").name), "edited");

  std::vector<uint8_t> cut;
  WriteIfp(TestPackage(kFormatANPK, 3), cut);
  cut.resize(cut.size() - 40);
  folder_.Write("cut.ifp", cut);
  EXPECT_EQ(editor_.OpenFile(folder_.ProgramPath("cut.ifp")).message, Message::FileEndedEarly);
  EXPECT_FALSE(editor_.HasPlaceToSave());
  Select({0});
  editor_.DeleteAnimations();
  EXPECT_FALSE(editor_.Save().title);
  EXPECT_EQ(folder_.Read("cut.ifp"), cut);

  folder_.Write("anim.img", gen::BuildImgArchive({{"walk.ifp", damaged}}));
  const std::vector<uint8_t> archive = folder_.Read("anim.img");
  EXPECT_EQ(editor_.OpenArchiveEntry(folder_.ProgramPath("anim.img"), "walk.ifp").message, Message::FileDamaged);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  EXPECT_FALSE(editor_.HasPlaceToSave());
  editor_.SetPackageName("edited");
  EXPECT_FALSE(editor_.Save().title);
  EXPECT_EQ(folder_.Read("anim.img"), archive);

  // Opened with options: the place the window gives keeps the mark.
  DocumentState place;
  SetDocumentFromPath(place, folder_.ProgramPath("cut.ifp"));
  place.partlyRead = true;
  editor_.TakeAsDocument(TestPackage(kFormatANPK, 2), place);
  EXPECT_FALSE(editor_.HasPlaceToSave());
  EXPECT_TRUE(folder_.TempFiles().empty());
}

// ANP3 stores no scale: each save writing it names the KRTS tracks that lost
// theirs (the first ten and how many more), and saves all the same.
TEST_F(EditorTest, SavingAsAnp3NamesTheTracksWhoseScaleItLeftOut) {
  Open(TestPackage(kFormatANPK, 12));  // every animation's Spine is KRTS
  EXPECT_FALSE(editor_.Save().message) << "ANPK keeps the scale";
  editor_.SetLayout(kFormatANP3);
  EditorChanges changes = editor_.Save();
  EXPECT_EQ(changes.message, Message::ScaleLeftOut);
  EXPECT_EQ(changes.messageNumber, 12);
  std::string listed;
  for (int a = 0; a < 10; ++a) listed += "anim" + std::to_string(a) + ": Spine\n";
  EXPECT_EQ(changes.messageDetail, listed + "and 2 more");
  EXPECT_TRUE(changes.title);
  EXPECT_EQ(Saved("walk.ifp").format, kFormatANP3);

  Select({2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  editor_.DeleteAnimations();
  changes = editor_.SaveAs(folder_.ProgramPath("run.ifp"));
  EXPECT_EQ(changes.message, Message::ScaleLeftOut);
  EXPECT_EQ(changes.messageDetail, "anim0: Spine\nanim1: Spine");
  EXPECT_EQ(Saved("run.ifp").animationCount(), 2);

  Write("walk.ifp", TestPackage(kFormatANPK, 1));
  folder_.Write("anim.img", gen::BuildImgArchive({{"walk.ifp", folder_.Read("walk.ifp")}}));
  editor_.OpenArchiveEntry(folder_.ProgramPath("anim.img"), "walk.ifp");
  editor_.SetLayout(kFormatANP3);
  changes = editor_.Save();
  EXPECT_EQ(changes.message, Message::ScaleLeftOut);
  EXPECT_EQ(changes.messageDetail, "anim0: Spine");
  AnimPackage entry{};
  EXPECT_EQ(ReadPackageEntry(folder_.ProgramPath("anim.img"), "walk.ifp", entry).status, PackageReadStatus::Read);
  EXPECT_EQ(entry.format, kFormatANP3);
}

TEST_F(EditorTest, MergingTakesTheCheckedAnimationsAsOneStep) {
  Open(TestPackage(kFormatANPK, 3));
  Select({1});
  AnimPackage incoming = TestPackage(kFormatANPK, 3);
  SetName(incoming.animations[0].name, "ANIM1");  // replaces anim1, whatever the case
  SetName(incoming.animations[2].name, "extra");
  incoming.animations[0].bones.pop_back();
  EXPECT_EQ(DefaultMergeChecks(editor_.package(), incoming), (std::vector<bool>{false, false, true}));

  EditorChanges changes = editor_.Merge(incoming, MergeMode::Replace, {true, false, true});
  EXPECT_EQ(changes.animationRows, (std::vector<RowChange>{{Kind::Changed, 1}}));
  EXPECT_TRUE(changes.allTracks) << "the current animation was replaced";
  EXPECT_EQ(editor_.package().animations[1].boneCount(), 1);
  EXPECT_EQ(NameText(editor_.package().animations[1].name), "ANIM1");

  changes = editor_.Merge(incoming, MergeMode::Append, {false, true, true});
  EXPECT_EQ(changes.animationRows, (std::vector<RowChange>{{Kind::Inserted, 3}, {Kind::Inserted, 4}}));
  EXPECT_EQ(Names(editor_.package()), (std::vector<std::string>{"anim0", "ANIM1", "anim2", "anim1", "extra"}));
  EXPECT_FALSE(changes.allTracks);
  EXPECT_FALSE(editor_.Merge(incoming, MergeMode::Append, {}).title) << "nothing checked, nothing changed";

  editor_.Undo();
  editor_.Undo();
  EXPECT_TRUE(test::SamePackage(TestPackage(kFormatANPK, 3), editor_.package()));
  EXPECT_FALSE(editor_.HasUnsavedChanges());

  DocumentState place;
  SetDocumentFromArchiveEntry(place, "C:\\game\\anim.img", "run.ifp");
  changes = editor_.TakeAsDocument(TestPackage(kFormatANPK, 5), place);
  EXPECT_EQ(editor_.package().animationCount(), 5);
  EXPECT_EQ(editor_.currentAnimation(), -1);
  EXPECT_FALSE(editor_.CanUndo());
  EXPECT_EQ(Title(), "run.ifp - Zelcor Animation Manager");
  EXPECT_TRUE(changes.allAnimations && changes.title);
}

TEST_F(EditorTest, PlaybackMovesThePlayHeadUntilAFrameButtonStopsIt) {
  Open(TestPackage(kFormatANPK, 1));
  Select({0});
  EXPECT_TRUE(editor_.TogglePlayback().playing);
  EXPECT_TRUE(editor_.playing());
  editor_.PlaybackTick(1000);
  EXPECT_EQ(editor_.CurrentFrame(), 0) << "the first tick only starts the clock";
  EXPECT_TRUE(editor_.PlaybackTick(1500).playHead);
  EXPECT_EQ(editor_.CurrentFrame(), 30);
  editor_.PlaybackTick(4000);  // 3 s in a 2.5 s animation
  EXPECT_EQ(editor_.CurrentFrame(), 30) << "looped";

  EditorChanges changes = editor_.StepFrame(FrameStep::Forward);
  EXPECT_TRUE(changes.playing && changes.playHead);
  EXPECT_FALSE(editor_.playing());
  EXPECT_EQ(editor_.CurrentFrame(), 31);
  editor_.StepFrame(FrameStep::Last);
  EXPECT_EQ(editor_.CurrentFrame(), 150) << "the current animation's end";
  editor_.SeekFrame(42);
  EXPECT_EQ(editor_.CurrentFrame(), 42);

  editor_.TogglePlayback();
  editor_.RenameAnimation(0, "run");
  EXPECT_TRUE(editor_.Undo().playing) << "showing the package again stops playback";
  EXPECT_FALSE(editor_.playing());
}

TEST_F(EditorTest, OptionsAreWrittenAsTheyChange) {
  store_.values = {{"Preview/ShowAxis", "0"}, {"Directory/InitDir", "D:\\mods\\"}, {"Preview/Model", "C:\\ped.dff"}};
  editor_.ReadSettings("C:\\Program Files");
  EXPECT_FALSE(editor_.settings().preview.showAxis);
  EXPECT_EQ(editor_.initialDirectory(), "D:\\mods\\");
  EXPECT_EQ(editor_.rememberedModels().model, "C:\\ped.dff");

  EXPECT_TRUE(editor_.ToggleOption(PreviewOption::Axis).options);
  editor_.ToggleOption(PreviewOption::Culling);
  editor_.SetSpecView(true);
  editor_.SetBackgroundColor(0x336699);
  editor_.ToggleShowDff();
  editor_.SetInitialDirectory("E:\\anim\\");
  EXPECT_EQ(store_.values["Preview/ShowAxis"], "1");
  EXPECT_EQ(store_.values["Preview/Culling"], "1");
  EXPECT_EQ(store_.values["Preview/SpecView"], "1");
  EXPECT_EQ(store_.values["Preview/BGColor"], "336699");
  EXPECT_EQ(store_.values["Directory/ShowDFF"], "0");
  EXPECT_EQ(store_.values["Directory/InitDir"], "E:\\anim\\");
  EXPECT_EQ(editor_.initialDirectory(), "D:\\mods\\") << "a new initial directory counts from the next start";
  EXPECT_TRUE(editor_.settings().preview.cullingDisabled && editor_.settings().preview.specView);
}

TEST_F(EditorTest, ModelsLoadFromFilesAndArchivesAndAreRemembered) {
  const std::vector<uint8_t> dff = gen::BuildCharacterDff(gen::DemoCharacter());
  const std::vector<uint8_t> txd = gen::BuildTxd(gen::DemoCharacterTextures());
  folder_.Write("ped.dff", dff);
  folder_.Write("ped.txd", txd);
  EditorChanges changes = editor_.LoadChosenModel(ModelRole::Character, folder_.ProgramPath("ped.dff"));
  EXPECT_TRUE(changes.character && changes.preview);
  EXPECT_FALSE(changes.message);
  EXPECT_GT(editor_.character().boneCount, 0);
  EXPECT_FALSE(editor_.character().mesh.textures.empty()) << "with the dictionary beside it";
  EXPECT_EQ(store_.values["Preview/Model"], folder_.ProgramPath("ped.dff"));

  EXPECT_EQ(editor_.LoadChosenModel(ModelRole::Weapon, folder_.ProgramPath("gone.dff")).message,
            Message::FileCannotOpen);
  EXPECT_FALSE(store_.values.count("Preview/Weapon")) << "a file that cannot be opened is not remembered";
  EXPECT_FALSE(editor_.LoadModel(ModelRole::Weapon, folder_.ProgramPath("gone.dff"), false, true).message);

  folder_.Write("ped.img", gen::BuildImgArchive({{"cop.dff", gen::BuildWeaponDff(gen::DemoWeapon())},
                                                 {"cop.txd", gen::BuildTxd(gen::DemoWeaponTextures())}}));
  changes = editor_.LoadModel(ModelRole::Weapon, folder_.ProgramPath("ped.img") + "\\cop.dff", true, true);
  EXPECT_TRUE(changes.weapon);
  EXPECT_FALSE(editor_.weapon().vertices.empty());
  EXPECT_FALSE(editor_.weapon().mesh.textures.empty());
  EXPECT_EQ(store_.values["Preview/Weapon"], folder_.ProgramPath("ped.img") + "\\cop.dff");

  folder_.Write("broken.dff", std::vector<uint8_t>(dff.begin(), dff.begin() + 40));
  changes = editor_.LoadModel(ModelRole::Character, folder_.ProgramPath("broken.dff"), false, false);
  ASSERT_TRUE(changes.message);
  EXPECT_NE(*changes.message, Message::FileCannotOpen) << "the loader's own message";

  editor_.UnloadModel(ModelRole::Weapon);
  EXPECT_TRUE(editor_.weapon().vertices.empty());
  EXPECT_EQ(store_.values["Preview/Weapon"], "");
  EXPECT_TRUE(folder_.TempFiles().empty());
}

TEST_F(EditorTest, ExportToGltfWritesTheSelectedAnimationsOnTheLoadedModels) {
  Open(gen::DemoPackage(kFormatANPK));
  EXPECT_FALSE(editor_.CanExportGltf());
  EXPECT_EQ(editor_.ExportGltf(folder_.ProgramPath("none.glb")).message, Message::NoCharacterToExport);
  EXPECT_FALSE(folder_.Exists("none.glb"));

  folder_.Write("ped.dff", gen::BuildCharacterDff(gen::DemoCharacter()));
  folder_.Write("ped.txd", gen::BuildTxd(gen::DemoCharacterTextures()));
  folder_.Write("gun.dff", gen::BuildWeaponDff(gen::DemoWeapon()));
  folder_.Write("gun.txd", gen::BuildTxd(gen::DemoWeaponTextures()));
  ASSERT_FALSE(editor_.LoadModel(ModelRole::Character, folder_.ProgramPath("ped.dff"), false, false).message);
  ASSERT_FALSE(editor_.LoadModel(ModelRole::Weapon, folder_.ProgramPath("gun.dff"), false, false).message);
  Select({2, 0});
  EXPECT_FALSE(editor_.ExportGltf(folder_.ProgramPath("two.glb")).message);
  EXPECT_EQ(folder_.Read("two.glb"), ExportGlb({editor_.package(), {0, 2}, editor_.character(), &editor_.weapon()}));
  Select({});
  EXPECT_FALSE(editor_.ExportGltf(folder_.ProgramPath("all.glb")).message);
  EXPECT_EQ(folder_.Read("all.glb"), ExportGlb({editor_.package(), {0, 1, 2}, editor_.character(), &editor_.weapon()}))
      << "no selection: every animation";

  const EditorChanges failed = editor_.ExportGltf(folder_.ProgramPath("missing") + "\\x.glb");
  EXPECT_EQ(failed.message, Message::FileCannotOpen);
  EXPECT_FALSE(failed.messageReason.empty());
  EXPECT_TRUE(folder_.TempFiles().empty());
}

}  // namespace
}  // namespace zam
