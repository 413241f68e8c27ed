#pragma once
// The windows as the main dialog's logic sees them: get and set text, check
// state, enable, show. The Qt widgets in gui/ implement these; tests
// hand in fakes. Every call is made on the UI thread.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/DialogIds.h"
#include "app/HistoryCombo.h"
#include "app/PlaceableWindow.h"
#include "search/SearchRequest.h"
#include "search/hits/HitList.h"
#include "search/hits/HitPicks.h"

namespace trawlscope {

class IProgressView {
 public:
  virtual ~IProgressView() = default;
  virtual void SetPhase(std::u16string_view text) = 0;
  virtual void SetCounter(std::u16string_view text) = 0;  // "i/N"
  virtual void SetFileName(std::u16string_view text) = 0;
  virtual void SetRange(int maximum) = 0;
  virtual int RangeMaximum() const = 0;
  virtual void SetPosition(int position) = 0;
  virtual void SetHitCount(std::u16string_view text) = 0;
  virtual void SetCountCaption(std::u16string_view text) = 0;  // what the count counts
};

// A page the user chose for one file of the list.
struct FileCodePageChoice {
  std::u16string path;
  CodePage codePage = codepage::kNone;
};

// The result dialog as the main dialog sees it.
class IResultView : public IPlaceableWindow {
 public:
  virtual IHistoryCombo& ReplaceCombo() = 0;
  // Shown beside the hit count: what the run skipped.
  virtual void SetRunNote(std::u16string_view note) = 0;
  // The search the hits came from, which the preview of a replace repeats.
  virtual void SetSearchRequest(const SearchRequest& request) = 0;
  // The hits of the selected rows, in the list's order.
  virtual HitPicks SelectedHits() const = 0;
  // What "Read this file as" chose last (Command::ReadFileAs).
  virtual FileCodePageChoice ReadAsChoice() const = 0;
  // How many files of the list are read in a page chosen for them: the
  // list then offers to forget those pages (Command::ForgetPages), also when
  // a page left a file with no row.
  virtual void SetPagesChosen(size_t files) = 0;
  // The hit list is about to change: the view stops reading it (a sort or
  // filter running) until HitsChanged.
  virtual void HitsAboutToChange() {}
  // The hit list changed under the view: its rows are made again, in the
  // order and through the filter they had; a hold (HoldHits) ends.
  virtual void HitsChanged() = 0;
  // A run searches the list's files again into the list the view was opened
  // over: until HitsChanged or HitsPutBack the view reads `held`, which
  // holds the hits it shows in their order, and says the list is being
  // searched again. HitsAboutToChange comes first.
  virtual void HoldHits(const HitList& held) = 0;
  // The run ended without a new list: the list the view was opened over
  // holds the held hits again, in their order (HitsAboutToChange first).
  virtual void HitsPutBack() = 0;
  // The hits the list shows when a filter hides some, in the list's order;
  // nothing when it shows them all.
  virtual std::optional<HitPicks> ShownHits() const { return std::nullopt; }
};

class ISearchDialogView : public IPlaceableWindow {
 public:
  virtual IHistoryCombo& Combo(ControlId id) = 0;
  virtual bool IsChecked(ControlId id) const = 0;
  virtual void SetChecked(ControlId id, bool checked) = 0;
  virtual void Enable(ControlId id, bool enabled) = 0;
  // A plain text field's text: the size and time bounds.
  virtual std::u16string FieldText(ControlId id) const = 0;
  virtual void SetFieldText(ControlId id, std::u16string_view text) = 0;
  // "Read files as:": kNone for Automatic.
  virtual CodePage ReadAs() const = 0;
  virtual void SetReadAs(CodePage codePage) = 0;
  // Puts the keyboard focus in the control, its text selected.
  virtual void Focus(ControlId id) = 0;
  virtual ScreenRect Frame() const = 0;
  // The smallest frame that shows every control whole, in the desktop's font and scale.
  virtual ScreenSize MinimumFrameSize() const = 0;

  // Creates and shows the progress dialog; null when none is open.
  virtual IProgressView* OpenProgress() = 0;
  virtual void CloseProgress() = 0;
  virtual IProgressView* Progress() = 0;
  // A clock of a few ticks a second that calls the logic's OnTimer while a run goes on.
  virtual void StartProgressTimer() = 0;
  virtual void StopProgressTimer() = 0;

  // Creates and shows the result dialog over `hits`; null when none is open.
  virtual IResultView* OpenResults(const HitList& hits) = 0;
  virtual void CloseResults() = 0;
  virtual IResultView* Results() = 0;

  virtual void ShowMessage(std::u16string_view text) = 0;
  // An error in what the user asked for, which stops what was asked.
  virtual void ShowError(std::u16string_view text) = 0;
  // A yes-or-no question whose default answer is no; true for yes.
  virtual bool Confirm(std::u16string_view question) = 0;
  // What a replace did; with `offerUndo`, an "Undo" button beside OK. True
  // when the user chose to undo.
  virtual bool ShowReplaceSummary(std::u16string_view text, bool offerUndo) = 0;
  // A message whose `detail` (a library's own description) is shown beneath it.
  virtual void ShowDetailedMessage(std::u16string_view text, std::u16string_view detail) = 0;
  virtual void ShowBrowseMenu() = 0;
  virtual void SetWaitCursor(bool waiting) = 0;
  // Runs `work` on the UI thread after the current event is handled.
  virtual void Defer(std::function<void()> work) = 0;
  // Closes the dialog for good (after the settings are saved).
  virtual void CloseNow() = 0;
};

}  // namespace trawlscope
