#pragma once
// The left pane of the main window: the browser tree (the chain from the
// drive down to the browsed folder or archive, and that place's listing), the
// path box with its "v" button and the drive box. It knows nothing of the
// editor: a double-click on a package or model comes back as an event, and
// the tree's popups send their commands to the window named at set-up.
// Texts reach the controls through the wide messages: paths and file names
// from UTF-8, archive entry names through the system's code page. What an
// item stands for is read from the browser's state by the id the item
// carries in its lParam, never from the text on screen.

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "browser/browse_tree.h"
#include "platform/win32/unique_objects.h"

namespace zam {

struct BrowserControls {
  HWND tree = nullptr;
  HWND pathBox = nullptr;
  HWND driveBox = nullptr;
  HWND commandTarget = nullptr;  // receives the popups' commands
  HMENU popups = nullptr;        // the package popup, the model popup, the archive popup
};

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle None() { return nullptr; }
  static void Close(Handle images) { ImageList_Destroy(images); }
};

struct BrowserView {
  BrowseState state;
  BrowserControls controls;
  win32::UniqueObject<ImageListTraits> images;        // the six icons of BrowseIcon
  win32::UniqueObject<win32::GdiTraits<HFONT>> font;  // the dialog's, smoothed in grey
  // Set while the tree is rebuilt: the notifications the rebuild raises
  // must not start another.
  bool busy = false;
  WNDPROC treeProc = nullptr;  // the tree's own procedure, under the browser's
  // Set from asking for an entry's name to be edited until the edit
  // starts: the tree edits no label it was not asked to.
  bool renameAsked = false;
};

// Once, after the settings are read: fills the drive box, lists
// `initialDirectory` when its drive exists, gives the tree its icons, makes
// it send its notifications in their wide forms (TVN_*W) and takes over the
// context menu it raises for itself. `browser` must stay where it is while
// the tree lives.
void InitBrowser(BrowserView& browser, const BrowserControls& controls, const std::string& initialDirectory,
                 bool showDff);

// Rebuilds the tree for the browse path: cut back to a place that exists,
// its chain, its listing under the refresh rules; the path box shows it and
// the tree shows its items from the left edge.
void RefreshBrowserTree(BrowserView& browser);

// Goes to `path`: its drive becomes the current one (the drive icon and the
// drive box follow), then the tree is rebuilt for it. A path that does not
// start with a drive letter is ignored.
void BrowseTo(BrowserView& browser, const std::string& path);

// The "v" button: an existing folder or ".img" file in the path box is
// browsed; otherwise nothing changes and the caller shows the verdict.
PathBoxVerdict OnPathGo(BrowserView& browser);

// The drive box: a drive other than the current one is browsed from its root.
void OnDriveChosen(BrowserView& browser);

struct BrowserEvent {
  enum class Kind { None, OpenPackage, OpenModel, RenameEntry };
  Kind kind = Kind::None;
  BrowseTarget target;
  std::string newName;  // RenameEntry: the name typed, in the system's code page as names are stored
};

// WM_NOTIFY from the tree. Expanding or collapsing an item navigates there;
// a double-click on a package or model item is reported for the caller to
// open; an info tip (TVN_GETINFOTIPW) gets the item's whole name; an edit
// of an entry's name that ends with a new one is reported for the caller
// to make (then EndEntryRename). Ignored while the tree is rebuilt.
// `reply` receives what the tree waits for where it waits for something.
BrowserEvent OnBrowserTreeNotify(BrowserView& browser, const NMHDR* header, LRESULT& reply);

// Starts editing the name of the selected archive entry in place; nothing
// for any other item.
void RenameSelectedEntry(BrowserView& browser);
// After a RenameEntry event: the entry's item takes the new name when the
// archive did.
void EndEntryRename(BrowserView& browser, const BrowserEvent& event, bool renamed, LRESULT& reply);

// The archive the selected item stands in (ArchiveOfItem), or the one under
// `screen` (screen coordinates), as a drop onto the tree lands.
std::optional<std::string> SelectedArchive(const BrowserView& browser);
std::optional<std::string> ArchiveAtPoint(const BrowserView& browser, POINT screen);

// The popup of a package or model item, or of an archive: the item under `screenPosition`
// (screen coordinates as WM_CONTEXTMENU carries them) is selected and its
// popup shown there; for a keyboard's context menu (-1, -1) the selected
// item's popup is shown at the item. The tree's parent calls this for a
// WM_CONTEXTMENU whose wParam is the tree: Wine's tree sends its right
// click's there. The tree's own WM_CONTEXTMENU (Windows sends a right
// click's to the tree itself; the menu key's goes to it) and Shift+F10
// (which Wine's tree keeps from the default procedure) come here once and
// do not reach the parent.
void OnBrowserContextMenu(BrowserView& browser, LPARAM screenPosition);

// The file the selected item stands for; nothing without a selected item.
std::optional<BrowseTarget> SelectedTarget(const BrowserView& browser);

}  // namespace zam
