#include "app/win32/browser_commands.h"

#include "app/win32/opening_flow.h"
#include "app/win32/ui_prompts.h"
#include "app/win32/view_updates.h"
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

void OnBrowserNotify(MainWindow& main, const NMHDR* header) {
  BrowserEvent event = OnBrowserTreeNotify(main.browser, header);
  switch (event.kind) {
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
