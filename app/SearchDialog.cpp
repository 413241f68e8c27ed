#include "app/SearchDialog.h"

#include <algorithm>
#include <ctime>
#include <unordered_set>

#include "app/AppTexts.h"
#include "app/BoundsFields.h"
#include "app/CodePageTexts.h"
#include "app/CountTexts.h"
#include "app/DecimalText.h"
#include "app/OutcomeText.h"
#include "app/ProgressDisplay.h"
#include "app/ProgressTexts.h"
#include "app/RunReport.h"
#include "app/SettingsKeys.h"
#include "app/UndoSettings.h"
#include "app/UndoText.h"
#include "platform/journal/UndoRun.h"
#include "platform/files/DirectoryReader.h"
#include "platform/files/NativePath.h"
#include "results/HitExport.h"
#include "search/listing/FileList.h"
#include "search/listing/PathHelpers.h"
#include "search/run/ReplaceJob.h"

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

// The check boxes that aim a run, in load and save order after the first three.
struct AimingBox {
  ControlId box;
  const char16_t* key;
  int byDefault;
};
constexpr AimingBox kAimingBoxes[] = {
    {ControlId::WholeWord, settings::kWholeWord, 0},
    {ControlId::SkipVersionControl, settings::kSkipVersionControl, 1},
    {ControlId::FollowGitignore, settings::kFollowGitignore, 0},
};

// SetInputsEnabled's order.
constexpr ControlId kInputs[] = {ControlId::SearchPath, ControlId::FileTypes, ControlId::SearchFor,
                                 ControlId::XPath,      ControlId::Browse,    ControlId::Regex,
                                 ControlId::CaseSensitive, ControlId::Subfolders, ControlId::Compressed,
                                 ControlId::ReadAs, ControlId::Search, ControlId::WholeWord,
                                 ControlId::SkipVersionControl, ControlId::FollowGitignore, ControlId::MinSize,
                                 ControlId::MaxSize, ControlId::ModifiedAfter, ControlId::ModifiedBefore};

// Whether a folder the Search path names holds folders: searched without
// them, it can find nothing and the user should hear why.
bool HasSubfolders(const std::u16string& searchPath) {
  for (const auto& token : SplitPathTokens(searchPath)) {
    std::vector<DirectoryEntry> entries;
    if (!ReadDirectory(ToNativePath(token), entries)) continue;
    for (const DirectoryEntry& entry : entries)
      if (entry.kind == EntryKind::Folder) return true;
  }
  return false;
}

}  // namespace

// The job's sink: called on the run's thread, it hands every call to the UI
// thread and waits there, so the run never touches a widget. Progress does
// not come this way: the timer reads what the run publishes.
class SearchDialog::Sink final : public IJobSink {
 public:
  Sink(SearchDialog& dialog, JobKind kind) : dialog_(dialog), kind_(kind) {}

  void Warn(const RunWarning& warning) override {
    if (warning.kind == RunWarning::Kind::ExpressionInvalid) {
      const std::u16string detail = FromNativePath(warning.detail);
      OnUi([&] { dialog_.view_.ShowDetailedMessage(Words(texts::kRegexError), detail); });
      return;
    }
    // What the user chose to search without is not said again.
    RunWarning unsaid = warning;
    std::erase_if(unsaid.paths, [&](const UnlistedPath& path) {
      return path.kind == PathKind::Missing && std::ranges::count(dialog_.missingAccepted_, path.path) > 0;
    });
    if (unsaid.kind == RunWarning::Kind::PathsNotListed && unsaid.paths.empty()) return;
    const std::u16string text = WarningText(unsaid);
    OnUi([&] { dialog_.view_.ShowMessage(text); });
  }
  void RunFinished(const RunSummary& summary) override {
    OnUi([&] { dialog_.RunEnded(kind_, summary); });
  }

 private:
  void OnUi(const std::function<void()>& call) { dialog_.runThread_.CallOnUiThread(call); }

  SearchDialog& dialog_;
  JobKind kind_;
};

SearchDialog::SearchDialog(ISearchDialogView& view, SettingsStore& settings,
                             IPathChooser& chooser, IRunThread& runThread, std::string undoJournalFolder)
    : view_(view), settings_(settings), chooser_(chooser), runThread_(runThread),
      undoFolder_(std::move(undoJournalFolder)) {}

SearchDialog::~SearchDialog() {
  state_.abortRequested = true;
  if (running_) runThread_.Join();
}

void SearchDialog::OnInitDialog() {
  for (const auto& history : kHistories) settings_.LoadHistory(view_.Combo(history.combo), history.section);
  view_.SetChecked(ControlId::Regex, settings_.ReadInt(settings::kCheckBox, settings::kRegex, 0) != 0);
  view_.SetChecked(ControlId::CaseSensitive,
                   settings_.ReadInt(settings::kCheckBox, settings::kCaseSensitive, 0) != 0);
  view_.SetChecked(ControlId::Subfolders,
                   settings_.ReadInt(settings::kCheckBox, settings::kSubfolder, 0) != 0);
  for (const AimingBox& aiming : kAimingBoxes)
    view_.SetChecked(aiming.box, settings_.ReadInt(settings::kCheckBox, aiming.key, aiming.byDefault) != 0);
  view_.SetChecked(ControlId::Compressed, settings_.ReadInt(settings::kCheckBox, settings::kCompressed, 1) != 0);
  LoadBoundsFields(view_, settings_);
  // A page no longer offered (a hand-edited number) reads as Automatic.
  const int readAs = settings_.ReadInt(settings::kCodePage, settings::kReadAs, 0);
  view_.SetReadAs(readAs > 0 ? CodePageOfUserText(std::to_string(readAs)) : codepage::kNone);
  const ScreenRect frame = settings_.ReadRect(
      settings::kMainDialog, {settings::kMainDialogDefaultLeft, settings::kMainDialogDefaultTop,
                              settings::kMainDialogDefaultRight, settings::kMainDialogDefaultBottom});
  const ScreenSize controls = view_.MinimumFrameSize();
  PlaceWindow(view_, frame, std::max(settings::kMainDialogMinWidth, controls.width),
              std::max(settings::kMainDialogMinHeight, controls.height));
  state_.contextLength = settings_.ReadInt(settings::kKwic, settings::kLength, settings::kDefaultContextLength);
  UpdateUndoButton();
  // Where the user starts typing: a remembered Search path leaves only the text to give.
  view_.Focus(view_.Combo(ControlId::SearchPath).EditText().empty() ? ControlId::SearchPath : ControlId::SearchFor);
}

void SearchDialog::SaveInputs() {
  for (const auto& history : kHistories) settings_.SaveHistory(view_.Combo(history.combo), history.section);
  settings_.WriteInt(settings::kCheckBox, settings::kRegex, view_.IsChecked(ControlId::Regex));
  settings_.WriteInt(settings::kCheckBox, settings::kCaseSensitive, view_.IsChecked(ControlId::CaseSensitive));
  settings_.WriteInt(settings::kCheckBox, settings::kSubfolder, view_.IsChecked(ControlId::Subfolders));
  for (const AimingBox& aiming : kAimingBoxes)
    settings_.WriteInt(settings::kCheckBox, aiming.key, view_.IsChecked(aiming.box));
  settings_.WriteInt(settings::kCheckBox, settings::kCompressed, view_.IsChecked(ControlId::Compressed));
  SaveBoundsFields(view_, settings_);
  settings_.WriteInt(settings::kCodePage, settings::kReadAs, static_cast<int>(view_.ReadAs()));
}

void SearchDialog::SaveSettings() {
  SaveInputs();
  settings_.WriteRect(settings::kMainDialog, view_.Frame());
  settings_.WriteInt(settings::kKwic, settings::kLength, state_.contextLength);
}

void SearchDialog::OnCommand(Command command) {
  switch (command) {
    case Command::Search:
      if (InputsComplete() && PathsFound()) StartRun(JobKind::Search);
      break;
    case Command::Replace: Replace(std::nullopt, state_.hits.Files()); break;
    case Command::ReplaceSelected: ReplaceSelected(); break;
    case Command::UndoLastReplace: UndoLastReplace(true); break;
    case Command::ShowResults: ShowResults(); break;
    case Command::Abort: state_.abortRequested = true; break;
    case Command::CloseProgress: CloseProgress(); break;
    case Command::Export: ExportHits(); break;
    case Command::ReadFileAs: ReadFileAs(); break;
    case Command::SearchAgain: RefreshResults(); break;
    case Command::ForgetPages: ForgetPages(); break;
    case Command::Browse: view_.ShowBrowseMenu(); break;
    case Command::PickFiles: PickFiles(); break;
    case Command::PickFolder: PickFolder(); break;
  }
}

void SearchDialog::OnEnter() {
  if (!running_ && InputsComplete() && PathsFound()) StartRun(JobKind::Search);
}

bool SearchDialog::PathsFound() {
  missingAccepted_.clear();
  size_t entries = 0;
  RunWarning missing;
  for (UnlistedPath& path : UnlistedPaths(view_.Combo(ControlId::SearchPath).EditText(), &entries))
    if (path.kind == PathKind::Missing) missing.paths.push_back(std::move(path));
  if (missing.paths.empty()) return true;
  const std::u16string said = WarningText(missing);
  if (missing.paths.size() < entries) {
    if (view_.Confirm(said + u"\n\n" + Words(texts::kSearchTheRest))) {
      for (const UnlistedPath& path : missing.paths) missingAccepted_.push_back(path.path);
      return true;
    }
  } else {
    view_.ShowError(said);
  }
  view_.Focus(ControlId::SearchPath);
  return false;
}

bool SearchDialog::InputsComplete() {
  const auto blank = [](const std::u16string& text) { return text.find_first_not_of(u" \t") == std::u16string::npos; };
  if (blank(view_.Combo(ControlId::SearchPath).EditText())) {
    view_.ShowMessage(Words(texts::kNoSearchPath));
    view_.Focus(ControlId::SearchPath);
    return false;
  }
  if (view_.Combo(ControlId::SearchFor).EditText().empty()) {
    view_.ShowMessage(Words(texts::kNoSearchText));
    view_.Focus(ControlId::SearchFor);
    return false;
  }
  // A span back ("7d") counts from the moment the search is asked for.
  std::optional<FileBounds> bounds = ReadBoundsFields(view_, static_cast<std::int64_t>(std::time(nullptr)));
  if (!bounds) return false;
  typedBounds_ = *bounds;
  return true;
}

void SearchDialog::RefreshResults() {
  if (running_) return;
  refreshing_ = true;
  if (IResultView* results = view_.Results()) {
    // The list stays on screen, whole, until the new one is: the run fills state_.hits.
    results->HitsAboutToChange();
    heldHits_.Swap(state_.hits);
    heldNote_ = runNote_;
    holding_ = true;
    results->HoldHits(heldHits_);
  }
  StartRun(JobKind::Search);
}

void SearchDialog::OnTimer() {
  if (IProgressView* progress = view_.Progress()) ShowProgress(*progress, state_.progress.Read(), state_.hits.Count());
}

void SearchDialog::BuildRequest() {
  SearchRequest& request = state_.request;
  IHistoryCombo& types = view_.Combo(ControlId::FileTypes);
  const std::u16string typesText = types.EditText();
  AddToHistory(types, typesText);
  IHistoryCombo& searchPath = view_.Combo(ControlId::SearchPath);
  request.searchPath = searchPath.EditText();
  AddToHistory(searchPath, request.searchPath);
  request.includeSubfolders = view_.IsChecked(ControlId::Subfolders);
  request.searchCompressed = view_.IsChecked(ControlId::Compressed);
  request.fileTypes = typesText;
  IHistoryCombo& searchFor = view_.Combo(ControlId::SearchFor);
  request.searchText = searchFor.EditText();
  AddToHistory(searchFor, request.searchText);
  request.caseSensitive = view_.IsChecked(ControlId::CaseSensitive);
  request.useRegex = view_.IsChecked(ControlId::Regex);
  request.wholeWord = view_.IsChecked(ControlId::WholeWord);
  request.skipVersionControl = view_.IsChecked(ControlId::SkipVersionControl);
  request.followGitignore = view_.IsChecked(ControlId::FollowGitignore);
  request.readAs = view_.ReadAs();
  request.bounds = typedBounds_;
  TakeReplacementText();
  IHistoryCombo& xpath = view_.Combo(ControlId::XPath);
  request.xpath = xpath.EditText();
  AddToHistory(xpath, request.xpath);
  state_.abortRequested = false;
}

void SearchDialog::TakeReplacementText() {
  if (IResultView* results = view_.Results()) {
    state_.request.replacementText = results->ReplaceCombo().EditText();
    AddToHistory(results->ReplaceCombo(), state_.request.replacementText);
  }
}

void SearchDialog::StartRun(JobKind kind) {
  if (running_) return;
  view_.SetWaitCursor(true);
  OpenProgress();
  // Picked hits are replaced under the search that found them, whatever the
  // inputs say now; a list shown again is searched as it was.
  if (state_.selection || refreshing_) {
    TakeReplacementText();
    if (refreshing_) {
      SearchRequest again = listRequest_;
      again.replacementText = state_.request.replacementText;
      state_.request = std::move(again);
    }
    state_.abortRequested = false;
    refreshing_ = false;
  } else {
    BuildRequest();
    SaveInputs();
    // Pages chosen for files of the last list do not hold for a new search.
    if (kind == JobKind::Search) state_.fileCodePages.clear();
  }
  if (kind == JobKind::Search) listRequest_ = state_.request;
  // Read at every run: a setting changed in the file holds from the next search on.
  const bool cachePages = settings_.ReadInt(settings::kCodePage, settings::kCacheDetected, 1) != 0;
  state_.pageCache = cachePages ? pageCachePlace_ : std::nullopt;
  if (!holding_) view_.CloseResults();  // after the replacement text is read
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
    if (holding_) {
      RunSummary none;
      none.aborted = true;
      EndHold(none);
    }
    view_.ShowMessage(Words(texts::kRunNotStarted));
  }
}

void SearchDialog::Replace(std::optional<HitSelection> selection, const std::vector<const HitFile*>& files) {
  if (running_) return;
  IResultView* results = view_.Results();
  const std::u16string replacement = results ? results->ReplaceCombo().EditText() : u"";
  const JournalPlace place = UndoPlace();
  std::optional<JournalRoom> room;
  if (!place.folder.empty())
    room = RoomForOriginals(place, selection ? SelectedFileBytes(*selection) : HitFileBytes(state_.hits));
  const ReplaceScopeCounts scope = selection ? CountScope(*selection) : CountScope(state_.hits);
  if (scope.occurrences == 0) return;  // never a question about nothing
  std::u16string question = ReplaceQuestion(scope, replacement, room);
  if (const std::u16string pages = FilesByCodePageText(files); !pages.empty())
    question += u"\n\n" + FillIn(Words(TRAWLSCOPE_TEXT("SearchDialog", "Code pages: %1.")), {pages});
  if (const std::u16string refused = CannotHoldWarning(files, replacement); !refused.empty())
    question += u"\n\n" + refused;
  if (const std::u16string compressed = CompressedWarning(files); !compressed.empty())
    question += u"\n\n" + compressed;
  if (unsearched_) question += u"\n\n" + PartialListWarning(*unsearched_);
  if (!view_.Confirm(question)) return;
  state_.journal.reset();
  if (room && room->fits) state_.journal = place;
  state_.selection = std::move(selection);
  refreshAfterReplace_ = results != nullptr;
  StartRun(JobKind::Replace);
}

void SearchDialog::ReplaceSelected() {
  IResultView* results = view_.Results();
  if (results == nullptr || running_) return;
  const HitPicks hits = results->SelectedHits();
  // Files in the order of their first selected hit, each once: a find in
  // the files so far was a pass over them for every hit.
  std::vector<const HitFile*> files;
  std::unordered_set<const HitFile*> seen;
  for (size_t i = 0; i < hits.size(); ++i)
    if (const HitFile* file = &hits.FileOf(i); seen.insert(file).second) files.push_back(file);
  if (!hits.empty()) Replace(SelectionOfHits(hits), files);
}

JournalPlace SearchDialog::UndoPlace() const {
  return undoFolder_.empty() ? JournalPlace{} : UndoJournalPlace(settings_, undoFolder_);
}

void SearchDialog::UndoLastReplace(bool ask) {
  if (running_ || undoFolder_.empty()) return;
  const bool listOpen = view_.Results() != nullptr;
  const std::optional<KeptRun> last = LastKeptRun(undoFolder_);
  if (!last) {
    view_.ShowMessage(Words(texts::kNothingToUndo));
  } else if (!ask || view_.Confirm(UndoQuestion(*last))) {
    // Runs kept while the settings allowed it can be undone after they turn the journal off.
    JournalPlace place = UndoPlace();
    place.folder = undoFolder_;
    view_.SetWaitCursor(true);
    const UndoReport report = UndoLastRun(place);
    view_.SetWaitCursor(false);
    const bool someKept = report.status == UndoReport::Status::Undone && !report.refused.empty();
    if (!someKept) {
      view_.ShowMessage(UndoReportText(report));
    } else if (view_.Confirm(UndoReportText(report) + u"\n\n" + BesideQuestion(report))) {
      view_.SetWaitCursor(true);
      const BesideReport beside = PutOriginalsBeside(place);
      view_.SetWaitCursor(false);
      view_.ShowMessage(BesideReportText(beside));
    }
    if (listOpen) RefreshResults();
  }
  UpdateUndoButton();
}

void SearchDialog::UpdateUndoButton() {
  view_.Enable(ControlId::UndoLastReplace, !running_ && !undoFolder_.empty() && !KeptRunNames(undoFolder_).empty());
}

void SearchDialog::RunEnded(JobKind kind, const RunSummary& summary) {
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
  if (kind == JobKind::Replace) {
    state_.selection.reset();
    state_.journal.reset();
    const bool undoable = summary.journal.kind == JournalEnd::Kind::Kept;
    if (view_.ShowReplaceSummary(ReplaceSummaryText(summary), undoable) && undoable) UndoLastReplace(false);
    UpdateUndoButton();
    // Later, once the worker has returned: the list shows the files as they are now.
    if (refreshAfterReplace_) view_.Defer([this] { RefreshResults(); });
    refreshAfterReplace_ = false;
    return;
  }
  if (holding_) {
    EndHold(summary);
    return;
  }
  runNote_ = RunNoteText(summary);
  if (summary.aborted) {
    // No list unasked after an abort, but what was found is offered.
    const ProgressSnapshot seen = state_.progress.Read();
    unsearched_ = UnsearchedFilesOf(state_.fileList, seen, summary.cutShort);
    if (view_.Confirm(FillIn(Words(texts::kStopped), {GroupedText(seen.started), GroupedText(seen.listed),
                                                      OccurrencesText(state_.hits.Count())}))) {
      runNote_ = Words(texts::kPartial) + u"  " + runNote_;
      OpenResultList();
    }
    return;
  }
  if (summary.filesSearched == 0 && !state_.request.includeSubfolders && HasSubfolders(state_.request.searchPath))
    runNote_ += u" " + Words(texts::kSubfoldersNotSearched);
  unsearched_.reset();
  if (!summary.expressionRejected && !summary.moduleMissing) OpenResultList();
  const std::u16string problems = SearchProblemsText(summary);
  if (!problems.empty()) view_.ShowMessage(problems);
}

void SearchDialog::EndHold(const RunSummary& summary) {
  holding_ = false;
  IResultView* results = view_.Results();
  if (summary.aborted || summary.expressionRejected || summary.moduleMissing) {
    // The list as it was, not the part of it the new run found.
    if (results) results->HitsAboutToChange();
    state_.hits.Swap(heldHits_);
    if (results) results->HitsPutBack();
    heldHits_.Clear();
    runNote_ = heldNote_;
    if (results) results->SetRunNote(Words(texts::kSearchAgainStopped) + u"  " + StatusNote());
    return;
  }
  runNote_ = RunNoteText(summary);
  unsearched_.reset();
  if (results) {
    results->HitsChanged();
    results->SetRunNote(StatusNote());
  } else {
    OpenResultList();
  }
  heldHits_.Clear();  // once the view reads the new list
  const std::u16string problems = SearchProblemsText(summary);
  if (!problems.empty()) view_.ShowMessage(problems);
}

void SearchDialog::OpenProgress() {
  view_.CloseProgress();
  if (IProgressView* progress = view_.OpenProgress()) progress->SetPhase(Words(texts::kListingPhase));
  view_.StartProgressTimer();
  SetInputsEnabled(false);
}

void SearchDialog::CloseProgress() {
  view_.StopProgressTimer();
  view_.CloseProgress();
  SetInputsEnabled(true);
}

void SearchDialog::SetInputsEnabled(bool enabled) {
  for (const ControlId id : kInputs) view_.Enable(id, enabled);
  UpdateUndoButton();
}

void SearchDialog::ShowResults() {
  if (!state_.abortRequested) OpenResultList();
}

std::u16string SearchDialog::StatusNote() const {
  const std::u16string undecodable = UndecodableFilesNote(state_.hits.Files());
  return undecodable.empty() ? runNote_ : runNote_ + u" " + undecodable;
}

void SearchDialog::ReadFileAs() {
  IResultView* results = view_.Results();
  if (results == nullptr || running_) return;
  const FileCodePageChoice choice = results->ReadAsChoice();
  if (choice.path.empty() || choice.codePage == codepage::kNone) return;
  state_.fileCodePages[choice.path] = choice.codePage;
  // The list's own search, whatever the inputs say now.
  state_.request = listRequest_;
  state_.abortRequested = false;
  results->HitsAboutToChange();
  view_.SetWaitCursor(true);
  const FileSearchOutcome outcome = SearchFileAgain(state_, choice.path);
  view_.SetWaitCursor(false);
  if (outcome.kind == FileSearchOutcome::Kind::Unreadable) {
    RunSummary summary;
    summary.unreadable.push_back({choice.path, outcome.error});
    view_.ShowMessage(SearchProblemsText(summary));
    return;
  }
  results->HitsChanged();
  results->SetRunNote(StatusNote());
  results->SetPagesChosen(state_.fileCodePages.size());
}

void SearchDialog::ForgetPages() {
  if (running_ || state_.fileCodePages.empty()) return;
  state_.fileCodePages.clear();
  if (IResultView* results = view_.Results()) results->SetPagesChosen(0);
  RefreshResults();
}

void SearchDialog::OpenResultList() {
  view_.CloseResults();
  IResultView* results = view_.OpenResults(state_.hits);
  if (results == nullptr) return;
  results->SetRunNote(StatusNote());
  results->SetSearchRequest(state_.request);
  results->SetPagesChosen(state_.fileCodePages.size());
  // The first time, below the main dialog: over it, it would hide the search's own inputs.
  const ScreenRect main = view_.Frame();
  const ScreenRect below{main.left, main.bottom, main.left + settings::kResultDialogDefaultWidth,
                         main.bottom + settings::kResultDialogDefaultHeight};
  const ScreenRect frame = settings_.ReadRect(settings::kResultDialog, below);
  PlaceWindow(*results, frame, settings::kResultDialogMinWidth, settings::kResultDialogMinHeight);
}

void SearchDialog::ExportHits() {
  if (running_) return;  // the hits are the run's until it ends
  const auto path = chooser_.ChooseOutputFile();
  if (!path) return;
  view_.SetWaitCursor(true);
  // A filtered list exports the rows it shows.
  const std::optional<HitPicks> shown = view_.Results() ? view_.Results()->ShownHits() : std::nullopt;
  const ExportFormat format = chooser_.ChosenOutputFormat();
  const Outcome<FileIdentity> written =
      shown ? trawlscope::ExportHits(*shown, *path, format) : trawlscope::ExportHits(state_.hits, *path, format);
  view_.SetWaitCursor(false);
  if (!written)
    view_.ShowMessage(Words(texts::kOutputNotWritten) + u"\n" + DisplayPath(*path) + u": " +
                      FromNativePath(FileErrorText(written.Failure())));
}

void SearchDialog::PickFiles() {
  IHistoryCombo& combo = view_.Combo(ControlId::SearchPath);
  const auto files = chooser_.ChooseFiles(InitialFolderFromPath(combo.EditText()));
  if (files && !files->empty()) AddToHistory(combo, JoinQuoted(*files));
}

void SearchDialog::PickFolder() {
  IHistoryCombo& combo = view_.Combo(ControlId::SearchPath);
  const FolderChoice choice = chooser_.ChooseFolder(InitialFolderFromPath(combo.EditText()));
  if (!choice.chosen) return;
  if (choice.path.empty()) {
    view_.ShowMessage(Words(texts::kCantSelectFolder));
    return;
  }
  AddToHistory(combo, choice.path);
}

void SearchDialog::TakeDroppedFiles(const std::vector<std::u16string>& paths) {
  if (paths.empty()) return;
  AddToHistory(view_.Combo(ControlId::SearchPath), JoinQuoted(paths));
}

bool SearchDialog::OnClose() {
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
