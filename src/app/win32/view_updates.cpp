#include "app/win32/view_updates.h"

#include <commctrl.h>

#include <string>

#include "anim/package_layouts.h"
#include "app/win32/key_panel.h"
#include "app/win32/preview_view.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "platform/win32/list_view.h"
#include "platform/win32/wide_text.h"
#include "resource.h"
#include "views/win32/package_views.h"

namespace zam {
namespace {

void Enable(HMENU menu, UINT id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Check(HMENU menu, UINT id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void ShowTitle(const MainWindow& main) {
  // An archive's entry is named by its bytes, in the system's code page.
  DocumentState shown = main.editor.document();
  if (!shown.documentArchive.empty()) shown.documentName = Utf8FromWide(WideFromCodePage(shown.documentName));
  SetWindowTextW(main.window, WideFromUtf8(DocumentTitle(shown)).c_str());
  Enable(main.menu, ID_EDIT_UNDO, main.editor.CanUndo());
  Enable(main.menu, ID_EDIT_REDO, main.editor.CanRedo());
}

void ShowPackageHeader(const MainWindow& main) {
  const AnimPackage& package = main.editor.package();
  SetDlgItemTextA(main.window, IDC_PACKAGE_NAME, NameText(package.name).c_str());
  SendDlgItemMessageW(main.window, IDC_LAYOUT_BOX, CB_SETCURSEL, static_cast<WPARAM>(LayoutIndex(package.format)), 0);
}

void SelectRows(HWND list, const std::vector<int>& rows, int focused, bool reveal) {
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  for (int row : rows) {
    item.state = row == focused ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  if (reveal && focused >= 0) SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
}

// The list asks for the texts it shows: rows inserted or removed change its
// count, and its selection, which stays at the old indices, is the editor's again.
void ShowAnimationRows(MainWindow& main, const EditorChanges& changes) {
  HWND list = main.Control(IDC_ANIMATION_LIST);
  const Editor& editor = main.editor;
  bool moved = changes.allAnimations;
  for (const RowChange& change : changes.animationRows) {
    if (change.kind == RowChange::Kind::Changed) {
      RedrawRow(list, change.row);
    } else {
      moved = true;
    }
  }
  if (!moved) return;
  ShowRowCount(list, editor.package().animationCount());
  if (changes.allAnimations) SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);  // another package shows from its top
  if (!changes.selection) SelectRows(list, editor.selectedAnimations(), editor.currentAnimation(), false);
}

// The key grid follows the track rows row for row. Listing another
// animation's tracks starts with none selected.
void ShowTrackRows(MainWindow& main, const EditorChanges& changes) {
  HWND bones = main.Control(IDC_BONE_LIST);
  const Animation* animation = main.editor.CurrentAnimation();
  std::vector<TrackRow>& rows = main.boneRows;
  if (changes.allTracks) {
    rows = RowsOfTracks(animation);
    ShowRowCount(bones, static_cast<int>(rows.size()));
    if (!changes.selection) SelectRows(bones, {}, -1, false);
    if (animation) {
      RebuildKeyGrid(main.keyGrid);
    } else {
      ClearKeyGrid(main.keyGrid);
    }
  }
  bool removed = false;
  for (const RowChange& change : changes.trackRows) {
    switch (change.kind) {
      case RowChange::Kind::Removed:
        if (change.row >= 0 && static_cast<size_t>(change.row) < rows.size()) {
          rows.erase(rows.begin() + change.row);
          removed = true;
        }
        break;
      case RowChange::Kind::Changed:
        if (animation && change.row >= 0 && change.row < animation->boneCount() &&
            static_cast<size_t>(change.row) < rows.size()) {
          rows[static_cast<size_t>(change.row)] = RowOfTrack(animation->bones[static_cast<size_t>(change.row)]);
          RedrawRow(bones, change.row);
        }
        break;
      case RowChange::Kind::Inserted:
        break;  // tracks come back only with every row
    }
  }
  if (removed) {
    ShowRowCount(bones, static_cast<int>(rows.size()));
    ShowRowCount(main.keyGrid.grid, static_cast<int>(rows.size()));
    if (!changes.selection) SelectRows(bones, main.editor.selectedTracks(), -1, false);
    // Without those tracks the animation may be shorter: a narrower time line.
    if (animation) FitKeyGridToAnimation(main.keyGrid);
  }
  FitBoneListToKeyGrid(main.keyGrid);
  AlignBoneListWithKeyGrid(main.keyGrid);
}

void ShowSelection(MainWindow& main) {
  const Editor& editor = main.editor;
  SelectRows(main.Control(IDC_ANIMATION_LIST), editor.selectedAnimations(), editor.currentAnimation(), true);
  SelectRows(main.Control(IDC_BONE_LIST), editor.selectedTracks(), -1, true);
  // The current key's row is in view.
  if (editor.currentKey().track >= 0) {
    SendMessageW(main.keyGrid.grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(editor.currentKey().track), FALSE);
  }
  AlignBoneListWithKeyGrid(main.keyGrid);
}

// Without a current animation the time controls read "0.00".
void ShowTimeRange(const MainWindow& main) {
  HWND bar = main.Control(IDC_TIME_BAR);
  const bool shown = main.editor.CurrentAnimation() != nullptr;
  const int frames = main.editor.FrameCount();
  SetDlgItemTextA(main.window, IDC_FRAME_COUNT, shown ? std::to_string(frames).c_str() : "0.00");
  SendMessageW(bar, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageW(bar, TBM_SETRANGEMAX, TRUE, shown ? frames : 0);
  SendMessageW(bar, TBM_SETTICFREQ, 60, 0);
}

void ShowPlayHead(const MainWindow& main) {
  const bool shown = main.editor.CurrentAnimation() != nullptr;
  const int frame = main.editor.CurrentFrame();
  SetDlgItemTextA(main.window, IDC_CURRENT_FRAME, shown ? std::to_string(frame).c_str() : "0.00");
  SendDlgItemMessageW(main.window, IDC_TIME_BAR, TBM_SETPOS, TRUE, shown ? frame : 0);
}

// The timer runs while playing, armed anew at every tick.
void ShowPlaying(const MainWindow& main) {
  if (main.editor.playing()) {
    SetTimer(main.window, kPlaybackTimerId, 0, nullptr);
  } else {
    KillTimer(main.window, kPlaybackTimerId);
  }
  SetDlgItemTextA(main.window, IDC_PLAY, main.editor.playing() ? msg::kPauseCaption : msg::kPlayCaption);
}

void ShowOptions(const MainWindow& main) {
  const Settings& settings = main.editor.settings();
  const PreviewOptions& preview = settings.preview;
  Check(main.menu, ID_DIR_SHOW_DFF, settings.showDff);
  Check(main.menu, ID_PREVIEW_SHOW_AXIS, preview.showAxis);
  Check(main.menu, ID_PREVIEW_SHOW_MESH, preview.showMesh);
  Check(main.menu, ID_PREVIEW_SHOW_BONE, preview.showBone);
  Check(main.menu, ID_PREVIEW_DISABLE_CULLING, preview.cullingDisabled);
  CheckMenuRadioItem(main.menu, ID_PREVIEW_CENTER_VIEW, ID_PREVIEW_SPEC_ROOT_VIEW,
                     preview.specView ? ID_PREVIEW_SPEC_ROOT_VIEW : ID_PREVIEW_CENTER_VIEW, MF_BYCOMMAND);
}

}  // namespace

void ShowRenameAvailability(const MainWindow& main) {
  Enable(GetSubMenu(main.menu, kAnimationPopup), ID_ANIM_RENAME, main.editor.selectedAnimations().size() == 1);
  Enable(GetSubMenu(main.menu, kBonePopup), ID_BONE_RENAME, main.editor.selectedTracks().size() == 1);
}

void ShowChanges(MainWindow& main, const EditorChanges& changes) {
  {
    // The lists report what is done to them here as if the user did it.
    struct Showing {
      bool& flag;
      bool was;
      ~Showing() { flag = was; }
    } showing{main.showingChanges, main.showingChanges};
    main.showingChanges = true;
    // The title first: it names what the lists show.
    if (changes.title) ShowTitle(main);
    if (changes.packageHeader) ShowPackageHeader(main);
    if (changes.allAnimations || !changes.animationRows.empty()) ShowAnimationRows(main, changes);
    if (changes.allTracks || !changes.trackRows.empty()) ShowTrackRows(main, changes);
    if (changes.selection) ShowSelection(main);
    if (changes.allAnimations || !changes.animationRows.empty() || changes.allTracks || changes.selection) {
      ShowRenameAvailability(main);
    }
    if (changes.timeRange) ShowTimeRange(main);
    if (changes.playHead) {
      ShowPlayHead(main);
      MovePlayHeadLine(main.keyGrid);
    }
    if (changes.currentKey) ShowKeyValues(main);
    if (changes.keys || changes.currentKey) RepaintKeyGrid(main.keyGrid);
    if (changes.playing) ShowPlaying(main);
    if (changes.options) ShowOptions(main);
    if (changes.character) UploadModel(main, ModelRole::Character);
    if (changes.weapon) UploadModel(main, ModelRole::Weapon);
  }
  if (changes.preview) RenderPreview(main);
  if (changes.message) {
    std::wstring below = WideFromCodePage(changes.messageDetail);
    if (!changes.messageReason.empty()) below += (below.empty() ? L"" : L"\n") + WideFromUtf8(changes.messageReason);
    ShowMessage(main.window, *changes.message, changes.messageNumber, below);
  }
}

void ShowEverything(MainWindow& main) {
  EditorChanges everything;
  everything.title = everything.packageHeader = everything.allAnimations = everything.allTracks = true;
  everything.selection = everything.timeRange = everything.playHead = everything.playing = true;
  everything.options = true;
  ShowChanges(main, everything);
}

}  // namespace zam
