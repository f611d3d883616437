#include "app/win32/opening_flow.h"

#include "app/package_files.h"
#include "app/win32/opening_option_dialog.h"
#include "app/win32/preview_view.h"
#include "app/win32/ui_prompts.h"
#include "app/win32/view_updates.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

// The device draws for the dialog while it is open: the main window's
// playback stops (the dialog moves the shared play head itself), and its
// preview area shows its last frame until the device is back at its size.
class PreviewLentToDialog {
 public:
  explicit PreviewLentToDialog(MainWindow& main) : main_(main) {
    ShowChanges(main_, main_.editor.StopPlayback());
    main_.previewLent = true;
  }
  ~PreviewLentToDialog() {
    main_.previewLent = false;
    FitPreviewToArea(main_);
    RenderPreview(main_);
  }
  PreviewLentToDialog(const PreviewLentToDialog&) = delete;
  PreviewLentToDialog& operator=(const PreviewLentToDialog&) = delete;

 private:
  MainWindow& main_;
};

// Shows the dialog for `incoming`, read from a file, and lets the editor
// take what the user chose; `place` is where the package came from.
OpeningResult Offer(MainWindow& main, AnimPackage& incoming, const DocumentState& place) {
  OpeningChoice choice;
  {
    PreviewLentToDialog lent(main);
    // An archive's entry is named by its bytes, in the system's code page.
    const std::string shownName = place.documentArchive.empty()
                                      ? place.documentName
                                      : Utf8FromWide(WideFromCodePage(place.documentName));
    OpeningOptionContext context{shownName,
                                 main.editor.package(),
                                 incoming,
                                 main.editor.sharedPreviewTime(),
                                 main.editor.sharedCamera(),
                                 [&main](HWND area) {
                                   RECT client{};
                                   GetClientRect(area, &client);
                                   main.previewDevice.Resize(client.right, client.bottom);
                                 },
                                 [&main, &incoming](HWND area, int animation) {
                                   RenderPreviewInto(main, area, incoming, animation);
                                 }};
    choice = RunOpeningOptionDialog(main.window, context);
  }
  switch (choice.action) {
    case OpeningChoice::Action::Open:
      if (main.editor.HasUnsavedChanges() && !AgreesToLoseChanges(main.window)) return OpeningResult::Skipped;
      ShowChanges(main, main.editor.TakeAsDocument(std::move(incoming), place));
      return OpeningResult::Opened;
    case OpeningChoice::Action::Append:
      ShowChanges(main, main.editor.Merge(incoming, MergeMode::Append, choice.checked));
      return OpeningResult::Skipped;
    case OpeningChoice::Action::Replace:
      ShowChanges(main, main.editor.Merge(incoming, MergeMode::Replace, choice.checked));
      return OpeningResult::Skipped;
    case OpeningChoice::Action::SkipAll:
      return OpeningResult::SkipAll;
    case OpeningChoice::Action::Skip:
      break;
  }
  return OpeningResult::Skipped;
}

// A package that could not be read is reported and has nothing to offer; one
// that ended early or is damaged is reported and offered with what it holds,
// its place marked as only partly read.
bool ReadAside(MainWindow& main, const PackageReadResult& read, const AnimPackage& incoming, DocumentState& place) {
  if (std::optional<Message> message = ReadMessage(read.status)) {
    ShowMessage(main.window, *message, incoming.animationCount(), WideFromUtf8(read.reason));
  }
  place.partlyRead = read.status != PackageReadStatus::Read;
  return read.HasPackage();
}

}  // namespace

OpeningResult OfferPackage(MainWindow& main, const std::string& path) {
  AnimPackage incoming{};
  DocumentState place;
  SetDocumentFromPath(place, path);
  if (!ReadAside(main, ReadPackageFile(path, incoming), incoming, place)) return OpeningResult::Skipped;
  return Offer(main, incoming, place);
}

OpeningResult OfferArchiveEntry(MainWindow& main, const std::string& archive, const std::string& entry) {
  AnimPackage incoming{};
  DocumentState place;
  SetDocumentFromArchiveEntry(place, archive, entry);
  if (!ReadAside(main, ReadPackageEntry(archive, entry, incoming), incoming, place)) return OpeningResult::Skipped;
  return Offer(main, incoming, place);
}

void OfferPackages(MainWindow& main, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (OfferPackage(main, path) == OpeningResult::SkipAll) break;
  }
}

void OnDropFiles(MainWindow& main, HDROP drop) {
  std::vector<std::string> paths;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    UINT length = DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size()));
    path.resize(length);
    if (length > 0) paths.push_back(Utf8FromWide(path));
  }
  OfferPackages(main, paths);
  DragFinish(drop);
}

}  // namespace zam
