#include "app/win32/browser_commands.h"

#include "app/archive_edits.h"
#include "app/win32/opening_flow.h"
#include "app/win32/progress_dialog.h"
#include "app/win32/ui_prompts.h"
#include "app/win32/view_updates.h"
#include "img/img_edit.h"
#include "img/img_rebuild.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"
#include "resource.h"

namespace zam {
namespace {

void OpenPackageItem(MainWindow& main, const BrowseTarget& target) {
  if (main.editor.HasUnsavedChanges() && !AgreesToLoseChanges(main.window)) return;
  ShowChanges(main, target.InArchive() ? main.editor.OpenArchiveEntry(target.archive, target.name)
                                       : main.editor.OpenFile(target.path));
}

// An entry that cannot be taken out of its archive is left silently, as the
// browser stops there; a plain file is reported.
void LoadModelItem(MainWindow& main, ModelRole role, const BrowseTarget& target, bool remember) {
  ShowChanges(main, main.editor.LoadModel(role, target.path, remember, target.InArchive()));
}

void OpenWithOptions(MainWindow& main, const BrowseTarget& target) {
  if (target.InArchive()) {
    OfferArchiveEntry(main, target.archive, target.name);
  } else {
    OfferPackage(main, target.path);
  }
}

void Tell(MainWindow& main, std::optional<Message> message, const std::string& name) {
  if (message) ShowMessage(main.window, *message, 0, WideFromCodePage(name));
}

// Adds each file as an entry named as the file; a name the archive has is
// replaced only when the user says so.
void AddFiles(MainWindow& main, const std::string& archive, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::wstring wide = WideFromUtf8(path);
    std::string name = CodePageFromWide(wide.substr(wide.find_last_of(L"\\/") + 1));
    std::vector<uint8_t> bytes;
    FileResult read = ReadWholeFile(path, bytes);
    if (!read.ok()) {
      ShowMessage(main.window, Message::FileCannotOpen, 0, wide + L"\n" + WideFromUtf8(read.reason));
      continue;
    }
    ImgEditResult result = AddImgEntry(archive, name, bytes);
    if (result == ImgEditResult::NameTaken) {
      if (ShowMessage(main.window, Message::ReplaceEntryQuestion, 0, WideFromCodePage(name)) != IDYES) continue;
      result = PutImgEntry(archive, name, bytes);
    }
    Tell(main, ArchiveEditMessage(result), name);
  }
  RefreshBrowserTree(main.browser);
}

void ImportFile(MainWindow& main) {
  std::optional<std::string> archive = SelectedArchive(main.browser);
  if (!archive) return;
  std::optional<std::string> path = ChooseFileToImport(main.window, BrowsedFolder(main));
  if (path) AddFiles(main, *archive, {*path});
}

void DeleteEntry(MainWindow& main, const BrowseTarget& target) {
  if (!target.InArchive()) return;
  if (ShowMessage(main.window, Message::DeleteEntryQuestion, 0, WideFromCodePage(target.name)) != IDYES) return;
  Tell(main, ArchiveEditMessage(DeleteImgEntry(target.archive, target.name)), target.name);
  RefreshBrowserTree(main.browser);
}

void RebuildArchive(MainWindow& main) {
  std::optional<std::string> archive = SelectedArchive(main.browser);
  if (!archive) return;
  ImgRebuildOutcome outcome;
  {
    ProgressDialog progress(main.window, WideFromUtf8(*archive));
    outcome = RebuildImgArchive(*archive,
                                [&progress](uint64_t done, uint64_t total) { return progress.Update(done, total); });
  }
  if (std::optional<Message> message = RebuildMessage(outcome.result)) {
    std::wstring below = WideFromUtf8(*archive);
    if (outcome.result == ImgRebuildResult::NoSpace) below += L"\n" + WideFromUtf8(RebuildSpaceLine(outcome));
    ShowMessage(main.window, *message, 0, below);
  }
  RefreshBrowserTree(main.browser);
}

void OpenCurrentDirectory(MainWindow& main) {
  const DocumentState& document = main.editor.document();
  const std::string& place = document.documentDirectory.empty() ? document.documentArchive : document.documentDirectory;
  if (!place.empty()) BrowseTo(main.browser, place);
}

}  // namespace

std::string BrowsedFolder(const MainWindow& main) {
  const BrowseState& state = main.browser.state;
  if (state.browseArchive.empty()) return state.browsePath;
  return state.browseArchive.substr(0, state.browseArchive.find_last_of('\\') + 1);
}

void SetupBrowser(MainWindow& main) {
  BrowserControls controls;
  controls.tree = main.Control(IDC_BROWSER_TREE);
  controls.pathBox = main.Control(IDC_PATH_BOX);
  controls.driveBox = main.Control(IDC_DRIVE_BOX);
  controls.commandTarget = main.window;
  controls.popups = main.treeMenu.get();
  InitBrowser(main.browser, controls, main.editor.initialDirectory(), main.editor.settings().showDff);
}

void OnPathGo(MainWindow& main) {
  switch (OnPathGo(main.browser)) {
    case PathBoxVerdict::Accepted:
      break;
    case PathBoxVerdict::InvalidPath:
      ShowMessage(main.window, Message::InvalidPath);
      break;
    case PathBoxVerdict::InvalidExtension:
      ShowMessage(main.window, Message::InvalidExtension);
      break;
  }
}

void OnDriveBox(MainWindow& main) { OnDriveChosen(main.browser); }

std::optional<LRESULT> OnBrowserNotify(MainWindow& main, const NMHDR* header) {
  LRESULT reply = 0;
  BrowserEvent event = OnBrowserTreeNotify(main.browser, header, reply);
  bool answers = header->code == TVN_BEGINLABELEDITW || header->code == TVN_ENDLABELEDITW;
  switch (event.kind) {
    case BrowserEvent::Kind::RenameEntry: {
      ImgEditResult result = RenameImgEntry(event.target.archive, event.target.name, event.newName);
      Tell(main, ArchiveEditMessage(result), event.newName);
      EndEntryRename(main.browser, event, result == ImgEditResult::Done, reply);
      if (result == ImgEditResult::Done) {
        ShowChanges(main, main.editor.FollowEntryRename(event.target.archive, event.target.name, event.newName));
      }
      break;
    }
    case BrowserEvent::Kind::OpenPackage:
      OpenPackageItem(main, event.target);
      break;
    case BrowserEvent::Kind::OpenModel:
      // Remembered as a path the next start finds again, also for an entry.
      LoadModelItem(main, ModelRole::Character, event.target, true);
      break;
    case BrowserEvent::Kind::None:
      break;
  }
  if (answers) return reply;
  return std::nullopt;
}

bool DropOntoArchive(MainWindow& main, HDROP drop) {
  POINT at{};
  DragQueryPoint(drop, &at);
  ClientToScreen(main.window, &at);
  std::optional<std::string> archive = ArchiveAtPoint(main.browser, at);
  if (!archive) return false;
  std::vector<std::string> paths;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!path.empty()) paths.push_back(Utf8FromWide(path));
  }
  DragFinish(drop);
  AddFiles(main, *archive, paths);
  return true;
}

void RunBrowserCommand(MainWindow& main, int commandId) {
  std::optional<BrowseTarget> target = SelectedTarget(main.browser);
  switch (commandId) {
    case ID_TREE_OPEN:
      if (target) OpenPackageItem(main, *target);
      break;
    case ID_TREE_OPEN_WITH_OPTIONS:
      if (target) OpenWithOptions(main, *target);
      break;
    case ID_TREE_OPEN_SKINNED:
      if (target) LoadModelItem(main, ModelRole::Character, *target, false);
      break;
    case ID_TREE_OPEN_WEAPON:
      if (target) LoadModelItem(main, ModelRole::Weapon, *target, false);
      break;
    case ID_TREE_IMPORT:
      ImportFile(main);
      break;
    case ID_TREE_DELETE_ENTRY:
      if (target) DeleteEntry(main, *target);
      break;
    case ID_TREE_RENAME_ENTRY:
      RenameSelectedEntry(main.browser);
      break;
    case ID_TREE_REBUILD:
      RebuildArchive(main);
      break;
    case ID_DIR_OPEN_CURRENT:
      OpenCurrentDirectory(main);
      break;
    case ID_DIR_OPEN_INITIAL:
      // The initial directory read at start-up: one set meanwhile counts from the next start.
      BrowseTo(main.browser, main.editor.initialDirectory());
      break;
    case ID_DIR_SET_INITIAL:
      main.editor.SetInitialDirectory(main.browser.state.browsePath);
      break;
    default:
      break;
  }
}

}  // namespace zam
