#pragma once
// The main search dialog's logic: it owns the request, the file list and the
// hits, dispatches every command of the program and runs one job at a time
// on a worker. It sees the windows only through ISearchDialogView, so it is
// tested without any. UI thread only, except where a function says otherwise.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogIds.h"
#include "app/PathChooser.h"
#include "app/RunThread.h"
#include "app/SearchDialogView.h"
#include "app/SettingsStore.h"
#include "app/UnsearchedFiles.h"
#include "platform/journal/JournalFolder.h"
#include "search/review/HitSelection.h"
#include "search/run/JobSink.h"
#include "search/run/SearchJob.h"

namespace trawlscope {

enum class JobKind { Search, Replace };

class SearchDialog {
 public:
  // Replace runs keep the originals of the files they change in the undo
  // journal in `undoJournalFolder` (native; empty keeps none).
  SearchDialog(ISearchDialogView& view, SettingsStore& settings, IPathChooser& chooser,
                IRunThread& runThread, std::string undoJournalFolder);
  ~SearchDialog();

  // Reads the settings into the controls.
  void OnInitDialog();
  // Every command of the program: buttons, menu items, and those the other
  // windows and the worker send.
  void OnCommand(Command command);
  // Enter runs a search (not while a run is going).
  void OnEnter();
  void OnTimer();
  void TakeDroppedFiles(const std::vector<std::u16string>& paths);
  // The user closes the window. True when it may close now (the settings
  // are then saved); during a run the run is aborted first and the window
  // closes itself once the worker has stopped.
  bool OnClose();

  // Search runs keep the pages they detect in this cache, unless the settings
  // file turns it off ([CodePage] CacheDetected=0). Without a call, none.
  void KeepDetectedPagesIn(PageCachePlace place) { pageCachePlace_ = std::move(place); }

  bool IsRunning() const { return running_; }
  const JobState& State() const { return state_; }
  // Tests set the run's seams (state.workers, state.beforeFile) between runs.
  JobState& State() { return state_; }

 private:
  class Sink;

  void StartRun(JobKind kind);
  // False, having said what is missing or wrong and put the focus there, when a
  // search could find nothing (no Search path or nothing to search for) or
  // a size or time bound cannot be read.
  bool InputsComplete();
  // False, having named them and put the focus on the Search path, when
  // entries of it name nothing: the run would search less than was asked.
  // The user may choose to search the rest; those entries are then not said again.
  bool PathsFound();
  // Searches again what the open list shows, so that it shows the files as
  // they are after a replace or an undo.
  void RefreshResults();
  // Writes the histories and options, as a run starts: a crash loses nothing typed.
  void SaveInputs();
  // Asks first, then replaces the occurrences of `selection`, or all the
  // search found when there is none.
  // `files` are those the replace may change, for the question.
  void Replace(std::optional<HitSelection> selection, const std::vector<const HitFile*>& files);
  void ReplaceSelected();
  // Searches the file the result list's "Read this file as" names again in
  // the page it chose, and shows its hits in place of the old ones; the
  // page then holds for that file for the rest of the list's life.
  void ReadFileAs();
  // Drops the pages ReadFileAs chose and searches the list again.
  void ForgetPages();
  // The run note with the count of files read with bytes their page did not define.
  std::u16string StatusNote() const;
  // Puts back the files of the last replace; `ask` names the run first.
  void UndoLastReplace(bool ask);
  void UpdateUndoButton();
  // The journal's place and limits as the settings say; its folder is empty when they turn it off.
  JournalPlace UndoPlace() const;
  void BuildRequest();
  void TakeReplacementText();
  void OpenProgress();
  void CloseProgress();
  void SetInputsEnabled(bool enabled);
  // The list of the last search's hits; ShowResults only when the search was not aborted.
  void ShowResults();
  void OpenResultList();
  void ExportHits();
  void PickFiles();
  void PickFolder();
  void SaveSettings();
  // On the UI thread, once the worker has finished its job.
  void RunEnded(JobKind kind, const RunSummary& summary);
  // The end of a run that searched an open list again: the new list, or the
  // held one put back when the run gave none.
  void EndHold(const RunSummary& summary);

  ISearchDialogView& view_;
  SettingsStore& settings_;
  IPathChooser& chooser_;
  IRunThread& runThread_;
  JobState state_;
  std::unique_ptr<Sink> sink_;
  bool running_ = false;
  bool closePending_ = false;
  FileBounds typedBounds_;  // as InputsComplete read them, for the request
  std::u16string runNote_;  // what the last search skipped, beside its hit count
  SearchRequest listRequest_;  // the search the result list shows
  bool refreshing_ = false;    // the next run searches listRequest_ again
  // While a run searches the open list's files again, the list goes on
  // showing these hits and this note; an abort puts them back.
  HitList heldHits_;
  std::u16string heldNote_;
  bool holding_ = false;
  // What the search of the open list left out, when it was stopped.
  std::optional<UnsearchedFiles> unsearched_;
  bool refreshAfterReplace_ = false;
  std::string undoFolder_;
  std::optional<PageCachePlace> pageCachePlace_;
  std::vector<std::u16string> missingAccepted_;  // Search path entries the user chose to search without
};

// Paths each in double quotes, one space between them: what the listing splits.
std::u16string JoinQuoted(const std::vector<std::u16string>& paths);

}  // namespace trawlscope
