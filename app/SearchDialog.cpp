#include "app/SearchDialog.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "app/DecimalText.h"
#include "app/OutcomeText.h"
#include "app/ProgressDisplay.h"
#include "app/RunReport.h"
#include "app/SettingsKeys.h"
#include "platform/files/NativePath.h"
#include "results/HitExport.h"
#include "search/listing/PathHelpers.h"
#include "search/JobTexts.h"
#include "search/ReplaceJob.h"

namespace trawlscope {
namespace {

struct HistorySection {
  ControlId combo;
  const char16_t* section;
};

// Load and save order of the four histories.
constexpr HistorySection kHistories[] = {
    {ControlId::SearchPath, settings::kFilepath},
    {ControlId::FileTypes, settings::kFiltering},
    {ControlId::XPath, settings::kXPath},
    {ControlId::SearchFor, settings::kTextForSearch},
};

// SetInputsEnabled's order.
constexpr ControlId kInputs[] = {ControlId::SearchPath, ControlId::FileTypes, ControlId::SearchFor,
                                 ControlId::XPath,      ControlId::Browse,    ControlId::Regex,
                                 ControlId::CaseSensitive, ControlId::Subfolders, ControlId::Search};

}  // namespace

// The job's sink: called on the run's thread, it hands every call to the UI
// thread and waits there, so the run never touches a widget. Progress does
// not come this way: the timer reads what the run publishes.
class CSearchDialog::Sink final : public IJobSink {
 public:
  Sink(CSearchDialog& dialog, JobKind kind) : dialog_(dialog), kind_(kind) {}

  void ShowMessage(std::u16string_view text) override {
    const std::u16string copy(text);
    OnUi([&] { dialog_.view_.ShowMessage(copy); });
  }
  void Warn(const RunWarning& warning) override {
    if (warning.kind == RunWarning::Kind::ExpressionInvalid) {
      const std::u16string detail = FromNativePath(warning.detail);
      OnUi([&] { dialog_.view_.ShowDetailedMessage(texts::kRegexError, detail); });
      return;
    }
    const std::u16string text = WarningText(warning);
    OnUi([&] { dialog_.view_.ShowMessage(text); });
  }
  void RunFinished(const RunSummary& summary) override {
    OnUi([&] { dialog_.RunEnded(kind_, summary); });
  }

 private:
  void OnUi(const std::function<void()>& call) { dialog_.runThread_.CallOnUiThread(call); }

  CSearchDialog& dialog_;
  JobKind kind_;
};

CSearchDialog::CSearchDialog(ISearchDialogView& view, SettingsStore& settings,
                             IPathChooser& chooser, IRunThread& runThread)
    : view_(view), settings_(settings), chooser_(chooser), runThread_(runThread) {}

CSearchDialog::~CSearchDialog() {
  state_.abortRequested = true;
  if (running_) runThread_.Join();
}

void CSearchDialog::OnInitDialog() {
  for (const auto& history : kHistories) settings_.LoadHistory(view_.Combo(history.combo), history.section);
  view_.SetChecked(ControlId::Regex, settings_.ReadInt(settings::kCheckBox, settings::kRegex, 0) != 0);
  view_.SetChecked(ControlId::CaseSensitive,
                   settings_.ReadInt(settings::kCheckBox, settings::kCaseSensitive, 0) != 0);
  view_.SetChecked(ControlId::Subfolders,
                   settings_.ReadInt(settings::kCheckBox, settings::kSubfolder, 0) != 0);
  const ScreenRect frame = settings_.ReadRect(
      settings::kMainDialog, {settings::kMainDialogDefaultLeft, settings::kMainDialogDefaultTop,
                              settings::kMainDialogDefaultRight, settings::kMainDialogDefaultBottom});
  const ScreenSize controls = view_.MinimumFrameSize();
  PlaceWindow(view_, frame, std::max(settings::kMainDialogMinWidth, controls.width),
              std::max(settings::kMainDialogMinHeight, controls.height));
  state_.contextLength = settings_.ReadInt(settings::kKwic, settings::kLength, settings::kDefaultContextLength);
}

void CSearchDialog::SaveSettings() {
  for (const auto& history : kHistories) settings_.SaveHistory(view_.Combo(history.combo), history.section);
  settings_.WriteInt(settings::kCheckBox, settings::kRegex, view_.IsChecked(ControlId::Regex));
  settings_.WriteInt(settings::kCheckBox, settings::kCaseSensitive, view_.IsChecked(ControlId::CaseSensitive));
  settings_.WriteInt(settings::kCheckBox, settings::kSubfolder, view_.IsChecked(ControlId::Subfolders));
  settings_.WriteRect(settings::kMainDialog, view_.Frame());
  settings_.WriteInt(settings::kKwic, settings::kLength, state_.contextLength);
}

void CSearchDialog::OnCommand(Command command) {
  switch (command) {
    case Command::Search: StartRun(JobKind::Search); break;
    case Command::Replace:
      if (ConfirmReplace()) StartRun(JobKind::Replace);
      break;
    case Command::ShowResults: ShowResults(); break;
    case Command::Abort: state_.abortRequested = true; break;
    case Command::CloseProgress: CloseProgress(); break;
    case Command::Export: ExportHits(); break;
    case Command::Browse: view_.ShowBrowseMenu(); break;
    case Command::PickFiles: PickFiles(); break;
    case Command::PickFolder: PickFolder(); break;
  }
}

void CSearchDialog::OnEnter() {
  if (!running_) StartRun(JobKind::Search);
}

void CSearchDialog::OnTimer() {
  if (IProgressView* progress = view_.Progress()) ShowProgress(*progress, state_.progress.Read(), state_.hits.Count());
}

void CSearchDialog::BuildRequest() {
  SearchRequest& request = state_.request;
  IHistoryCombo& types = view_.Combo(ControlId::FileTypes);
  const std::u16string typesText = types.EditText();
  AddToHistory(types, typesText);
  IHistoryCombo& searchPath = view_.Combo(ControlId::SearchPath);
  request.searchPath = searchPath.EditText();
  AddToHistory(searchPath, request.searchPath);
  request.includeSubfolders = view_.IsChecked(ControlId::Subfolders);
  request.fileTypes = typesText;
  IHistoryCombo& searchFor = view_.Combo(ControlId::SearchFor);
  request.searchText = searchFor.EditText();
  AddToHistory(searchFor, request.searchText);
  request.caseSensitive = view_.IsChecked(ControlId::CaseSensitive);
  request.useRegex = view_.IsChecked(ControlId::Regex);
  if (IResultView* results = view_.Results()) {
    request.replacementText = results->ReplaceCombo().EditText();
    AddToHistory(results->ReplaceCombo(), request.replacementText);
  }
  IHistoryCombo& xpath = view_.Combo(ControlId::XPath);
  request.xpath = xpath.EditText();
  AddToHistory(xpath, request.xpath);
  state_.abortRequested = false;
}

void CSearchDialog::StartRun(JobKind kind) {
  if (running_) return;
  view_.SetWaitCursor(true);
  OpenProgress();
  BuildRequest();
  view_.CloseResults();  // after BuildRequest, which reads its replacement text
  if (sink_) runThread_.Join();  // the last run's worker has finished its job
  sink_ = std::make_unique<Sink>(*this, kind);
  running_ = true;
  const bool started = runThread_.Start([this, kind] {
    if (kind == JobKind::Search)
      RunSearch(state_, *sink_);
    else
      RunReplace(state_, *sink_);
  });
  view_.SetWaitCursor(false);
  if (!started) {
    running_ = false;
    sink_.reset();
    CloseProgress();
    view_.ShowMessage(texts::kRunNotStarted);
  }
}

bool CSearchDialog::ConfirmReplace() {
  if (running_) return false;
  IResultView* results = view_.Results();
  const std::u16string replacement = results ? results->ReplaceCombo().EditText() : u"";
  return view_.Confirm(ReplaceQuestion(state_.hits, replacement));
}

void CSearchDialog::RunEnded(JobKind kind, const RunSummary& summary) {
  running_ = false;
  OnCommand(Command::CloseProgress);
  if (closePending_) {
    // The worker is still inside this call: close once it has returned.
    view_.Defer([this] {
      runThread_.Join();
      SaveSettings();
      view_.CloseNow();
    });
    return;
  }
  runNote_ = RunNoteText(summary);
  const std::u16string problems =
      kind == JobKind::Search ? SearchProblemsText(summary) : ReplaceSummaryText(summary);
  if (kind == JobKind::Search && !summary.expressionRejected) OnCommand(Command::ShowResults);
  if (!problems.empty()) view_.ShowMessage(problems);
}

void CSearchDialog::OpenProgress() {
  view_.CloseProgress();
  if (IProgressView* progress = view_.OpenProgress()) progress->SetPhase(texts::kListingPhase);
  view_.StartProgressTimer();
  SetInputsEnabled(false);
}

void CSearchDialog::CloseProgress() {
  view_.StopProgressTimer();
  view_.CloseProgress();
  SetInputsEnabled(true);
}

void CSearchDialog::SetInputsEnabled(bool enabled) {
  for (const ControlId id : kInputs) view_.Enable(id, enabled);
}

void CSearchDialog::ShowResults() {
  if (state_.abortRequested) return;
  view_.CloseResults();
  IResultView* results = view_.OpenResults(state_.hits);
  if (results == nullptr) return;
  results->SetRunNote(runNote_);
  results->SetSearchRequest(state_.request);
  // The first time, below the main dialog: over it, it would hide the search's own inputs.
  const ScreenRect main = view_.Frame();
  const ScreenRect below{main.left, main.bottom, main.left + settings::kResultDialogDefaultWidth,
                         main.bottom + settings::kResultDialogDefaultHeight};
  const ScreenRect frame = settings_.ReadRect(settings::kResultDialog, below);
  PlaceWindow(*results, frame, settings::kResultDialogMinWidth, settings::kResultDialogMinHeight);
}

void CSearchDialog::ExportHits() {
  const auto path = chooser_.ChooseOutputFile();
  if (!path) return;
  view_.SetWaitCursor(true);
  const WriteResult written = trawlscope::ExportHits(state_.hits, *path);
  view_.SetWaitCursor(false);
  if (!written.written)
    view_.ShowMessage(std::u16string(texts::kOutputNotWritten) + u"\n" + DisplayPath(*path) + u": " +
                      FromNativePath(FileErrorText(written.error)));
}

void CSearchDialog::PickFiles() {
  IHistoryCombo& combo = view_.Combo(ControlId::SearchPath);
  const auto files = chooser_.ChooseFiles(InitialFolderFromPath(combo.EditText()));
  if (files && !files->empty()) AddToHistory(combo, JoinQuoted(*files));
}

void CSearchDialog::PickFolder() {
  IHistoryCombo& combo = view_.Combo(ControlId::SearchPath);
  const FolderChoice choice = chooser_.ChooseFolder(InitialFolderFromPath(combo.EditText()));
  if (!choice.chosen) return;
  if (choice.path.empty()) {
    view_.ShowMessage(texts::kCantSelectFolder);
    return;
  }
  AddToHistory(combo, choice.path);
}

void CSearchDialog::TakeDroppedFiles(const std::vector<std::u16string>& paths) {
  if (paths.empty()) return;
  AddToHistory(view_.Combo(ControlId::SearchPath), JoinQuoted(paths));
}

bool CSearchDialog::OnClose() {
  if (running_) {
    // Never leave a file half-written: the run stops at its next check
    // point and the window closes when the worker is done.
    state_.abortRequested = true;
    closePending_ = true;
    return false;
  }
  if (sink_) runThread_.Join();
  SaveSettings();
  return true;
}

std::u16string JoinQuoted(const std::vector<std::u16string>& paths) {
  std::u16string joined;
  for (const auto& path : paths) {
    if (!joined.empty()) joined += u' ';
    joined += u'"' + path + u'"';
  }
  return joined;
}

}  // namespace trawlscope
