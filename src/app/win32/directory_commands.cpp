#include "app/win32/directory_commands.h"

#include "app/win32/document_actions.h"
#include "app/win32/opening_flow.h"
#include "app/win32/preview_view.h"
#include "app/win32/settings_store_win32.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "img/img_archive.h"
#include "platform/temp_file.h"
#include "preview/win32/opening_option_dialog.h"
#include "resource.h"

namespace zam {
namespace {

// An archive's entry in a temporary file the caller's TempFile deletes;
// false (closed) when it could not be taken out.
bool TakeOutEntry(EditorState& editor, const BrowseTarget& target, TempFile& temp) {
  temp = TempFile::Create("ifp");
  if (!temp.IsOpen()) {
    ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    return false;
  }
  ImgExtractResult extracted = ExtractImgEntry(target.archive, target.name, temp.file());
  temp.file().Close();  // the reader opens it by its path
  return extracted != ImgExtractResult::ArchiveCannotOpen && extracted != ImgExtractResult::NotImgArchive;
}

// The entry passes through a temporary file, gone when this returns.
void OpenArchiveEntry(EditorState& editor, const BrowseTarget& target) {
  TempFile temp;
  if (!TakeOutEntry(editor, target, temp)) return;
  if (ReadPackageIntoMain(editor, temp.path()) != PackageReadOutcome::Read) return;
  SetDocumentFromArchiveEntry(editor.document, target.archive, target.name);
  SetTitle(editor, false);
}

void OpenPackageItem(EditorState& editor, const BrowseTarget& target) {
  if (!DiscardMainPackage(editor)) return;
  if (target.InArchive()) {
    OpenArchiveEntry(editor, target);
  } else {
    OpenDocumentFile(editor, target.path);
  }
}

// An entry that cannot be taken out of its archive is left silently, as
// the browser stops there; a plain file is passed on and reported.
void LoadModelItem(EditorState& editor, ModelRole role, const BrowseTarget& target) {
  LoadModelPath(editor, role, target.path, target.InArchive());
  RenderPreview(editor);
}

}  // namespace

void SetupBrowser(EditorState& editor) {
  BrowserControls controls;
  controls.tree = editor.Control(IDC_BROWSER_TREE);
  controls.pathBox = editor.Control(IDC_PATH_BOX);
  controls.driveBox = editor.Control(IDC_DRIVE_BOX);
  controls.commandTarget = editor.window;
  controls.popups = editor.treeMenu.get();
  InitBrowser(editor.browser, controls, editor.initialDirectory, editor.settings.showDff);
}

void OnPathGoCommand(EditorState& editor) {
  switch (OnPathGo(editor.browser)) {
    case PathBoxVerdict::Accepted:
      break;
    case PathBoxVerdict::InvalidPath:
      ShowMessage(editor.window, msg::kInvalidPath, MB_OK | MB_ICONEXCLAMATION);
      break;
    case PathBoxVerdict::InvalidExtension:
      ShowMessage(editor.window, msg::kInvalidExtension, MB_OK | MB_ICONEXCLAMATION);
      break;
  }
}

void OnDriveBoxCommand(EditorState& editor) { OnDriveChosen(editor.browser); }

void OnBrowserNotify(EditorState& editor, const NMHDR* header) {
  BrowserEvent event = OnBrowserTreeNotify(editor.browser, header);
  switch (event.kind) {
    case BrowserEvent::Kind::OpenPackage:
      OpenPackageItem(editor, event.target);
      break;
    case BrowserEvent::Kind::OpenModel:
      // Recorded as a path the next start finds again, also for an entry.
      ProfileSettingsStore(editor.settingsPath).WriteText(ini::kPreview, ini::kModel, event.target.path);
      LoadModelItem(editor, ModelRole::Character, event.target);
      break;
    case BrowserEvent::Kind::None:
      break;
  }
}

void TreeOpenCommand(EditorState& editor) {
  if (std::optional<BrowseTarget> target = SelectedTarget(editor.browser)) OpenPackageItem(editor, *target);
}

void TreeOpenWithOptionsCommand(EditorState& editor) {
  std::optional<BrowseTarget> target = SelectedTarget(editor.browser);
  if (!target) return;
  int result;
  if (target->InArchive()) {
    TempFile temp;
    if (!TakeOutEntry(editor, *target, temp)) return;
    result = RunOpeningOption(editor, temp.path(), target->archive, target->name);
  } else {
    result = RunOpeningOption(editor, target->path);
  }
  if (result == kOpeningSkipAll) return;
  // Frames go to the main window's preview again, at its size.
  ResetPreview(editor, editor.Control(IDC_PREVIEW));
  RenderPreview(editor);
}

void TreeOpenModelCommand(EditorState& editor, ModelRole role) {
  if (std::optional<BrowseTarget> target = SelectedTarget(editor.browser)) LoadModelItem(editor, role, *target);
}

void OpenCurrentDirectoryCommand(EditorState& editor) {
  const DocumentState& document = editor.document;
  const std::string& place = document.documentDirectory.empty() ? document.documentArchive : document.documentDirectory;
  if (!place.empty()) BrowseTo(editor.browser, place);
}

// The initial directory read at start-up: a new one set meanwhile counts
// from the next start.
void OpenInitialDirectoryCommand(EditorState& editor) { BrowseTo(editor.browser, editor.initialDirectory); }

void SetInitialDirectoryCommand(EditorState& editor) {
  ProfileSettingsStore(editor.settingsPath).WriteText(ini::kDirectory, ini::kInitDir, editor.browser.state.browsePath);
}

void ShowDffFilesCommand(EditorState& editor) {
  bool show = !(GetMenuState(editor.menu, ID_DIR_SHOW_DFF, MF_BYCOMMAND) & MF_CHECKED);
  CheckMenuItem(editor.menu, ID_DIR_SHOW_DFF, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
  editor.settings.showDff = show;
  editor.browser.state.showDff = show;
  ProfileSettingsStore store(editor.settingsPath);
  WriteFlag(store, ini::kDirectory, ini::kShowDff, show);
  RefreshBrowserTree(editor.browser);
}

}  // namespace zam
