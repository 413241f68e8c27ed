#pragma once
// The main, progress and result windows held in memory. They keep what the
// logic did to them: control states, progress texts, messages, and which
// windows opened and closed, in order.
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/SearchDialogView.h"
#include "support/FakeHistoryCombo.h"

namespace trawlscope::test {

// Everything every progress dialog of a test was told; it outlives the
// dialogs, which the logic closes at the end of each run.
struct ProgressRecord {
  std::vector<std::u16string> phases;
  std::vector<std::u16string> counters;
  std::vector<std::u16string> fileNames;
  std::vector<int> ranges;
  std::vector<int> positions;
  std::vector<std::u16string> hitCounts;
  std::vector<std::u16string> countCaptions;
};

class FakeProgressView final : public IProgressView {
 public:
  explicit FakeProgressView(ProgressRecord& record) : record_(record) {}

  void SetPhase(std::u16string_view text) override { record_.phases.emplace_back(text); }
  void SetCounter(std::u16string_view text) override { record_.counters.emplace_back(text); }
  void SetFileName(std::u16string_view text) override { record_.fileNames.emplace_back(text); }
  void SetRange(int maximum) override {
    range_ = maximum;
    record_.ranges.push_back(maximum);
  }
  int RangeMaximum() const override { return range_; }
  void SetPosition(int position) override { record_.positions.push_back(position); }
  void SetHitCount(std::u16string_view text) override { record_.hitCounts.emplace_back(text); }
  void SetCountCaption(std::u16string_view text) override { record_.countCaptions.emplace_back(text); }

 private:
  ProgressRecord& record_;
  int range_ = 0;
};

class FakeResultView final : public IResultView {
 public:
  explicit FakeResultView(const HitList& shown) : hits(shown) {}

  const HitList& hits;
  FakeHistoryCombo replace;
  std::u16string note;
  std::vector<ScreenRect> placements;

  ScreenSize VirtualScreenSize() const override { return {1920, 1080}; }
  void MoveTo(const ScreenRect& frame) override { placements.push_back(frame); }
  IHistoryCombo& ReplaceCombo() override { return replace; }
  void SetRunNote(std::u16string_view text) override { note = text; }
  void SetSearchRequest(const SearchRequest& request) override { searchRequest = request; }
  HitPicks SelectedHits() const override { return selected; }
  FileCodePageChoice ReadAsChoice() const override { return readAs; }
  void SetPagesChosen(size_t files) override { pagesChosen = files; }
  size_t pagesChosen = 0;
  void HitsChanged() override {
    ++hitsChanged;
    held = nullptr;
  }
  void HoldHits(const HitList& list) override { held = &list; }
  void HitsPutBack() override {
    held = nullptr;
    ++putBack;
  }
  // The hits the view reads: those held while its files are searched again.
  const HitList& Shown() const { return held ? *held : hits; }
  const HitList* held = nullptr;
  int putBack = 0;
  std::optional<HitPicks> ShownHits() const override {
    return shown ? std::optional<HitPicks>(*shown) : std::nullopt;
  }
  std::optional<std::vector<Hit>> shown;  // a filter's rows
  SearchRequest searchRequest;
  std::vector<Hit> selected;
  FileCodePageChoice readAs;
  int hitsChanged = 0;
};

class FakeSearchDialogView final : public ISearchDialogView {
 public:
  std::map<ControlId, FakeHistoryCombo> combos;
  std::map<ControlId, bool> checked;
  std::map<ControlId, bool> enabled;
  std::optional<ControlId> focused;
  ScreenRect frame;  // where MoveTo put it, as a real window's frame follows
  std::vector<ScreenRect> placements;
  ProgressRecord progressRecord;
  std::unique_ptr<FakeProgressView> progress;
  std::unique_ptr<FakeResultView> results;
  std::vector<std::u16string> messages;
  std::vector<std::u16string> questions;  // asked through Confirm
  bool confirmAnswer = true;
  std::vector<std::u16string> summaries;  // of replaces, through ShowReplaceSummary
  std::vector<bool> undoOffered;
  bool undoAnswer = false;  // the summary's Undo is chosen
  std::vector<std::u16string> details;  // of each message, empty when it had none
  ScreenSize minimumFrame;              // what the controls need
  // "progress opened", "progress closed", "results opened", "results closed",
  // "timer started", "timer stopped", "message", "browse menu", "closed".
  std::vector<std::string> events;
  std::vector<std::function<void()>> deferred;
  bool waitCursor = false;
  bool closed = false;

  FakeHistoryCombo& ComboOf(ControlId id) { return combos[id]; }

  // What the event loop would do next: the deferred work, in order.
  void RunDeferred() {
    auto work = std::move(deferred);
    deferred.clear();
    for (auto& call : work) call();
  }

  ScreenSize VirtualScreenSize() const override { return {1920, 1080}; }
  void MoveTo(const ScreenRect& to) override {
    frame = to;
    placements.push_back(to);
  }
  IHistoryCombo& Combo(ControlId id) override { return combos[id]; }
  bool IsChecked(ControlId id) const override {
    const auto it = checked.find(id);
    return it != checked.end() && it->second;
  }
  void SetChecked(ControlId id, bool on) override { checked[id] = on; }
  void Enable(ControlId id, bool on) override { enabled[id] = on; }
  std::u16string FieldText(ControlId id) const override {
    const auto it = fields.find(id);
    return it != fields.end() ? it->second : std::u16string();
  }
  void SetFieldText(ControlId id, std::u16string_view text) override { fields[id] = text; }
  std::map<ControlId, std::u16string> fields;
  CodePage ReadAs() const override { return readAs; }
  void SetReadAs(CodePage page) override { readAs = page; }
  CodePage readAs = codepage::kNone;
  void Focus(ControlId id) override { focused = id; }
  ScreenRect Frame() const override { return frame; }
  ScreenSize MinimumFrameSize() const override { return minimumFrame; }

  IProgressView* OpenProgress() override {
    progress = std::make_unique<FakeProgressView>(progressRecord);
    events.push_back("progress opened");
    return progress.get();
  }
  // Only a close of an open window is an event: the logic closes defensively.
  void CloseProgress() override {
    if (progress) events.push_back("progress closed");
    progress.reset();
  }
  IProgressView* Progress() override { return progress.get(); }
  void StartProgressTimer() override { events.push_back("timer started"); }
  void StopProgressTimer() override { events.push_back("timer stopped"); }

  IResultView* OpenResults(const HitList& hits) override {
    results = std::make_unique<FakeResultView>(hits);
    events.push_back("results opened");
    return results.get();
  }
  void CloseResults() override {
    if (results) events.push_back("results closed");
    results.reset();
  }
  IResultView* Results() override { return results.get(); }

  bool Confirm(std::u16string_view question) override {
    questions.emplace_back(question);
    return confirmAnswer;
  }
  void ShowMessage(std::u16string_view text) override { ShowDetailedMessage(text, {}); }
  void ShowError(std::u16string_view text) override {
    ShowDetailedMessage(text, {});
    events.back() = "error";
  }
  bool ShowReplaceSummary(std::u16string_view text, bool offerUndo) override {
    summaries.emplace_back(text);
    undoOffered.push_back(offerUndo);
    events.push_back("summary");
    return offerUndo && undoAnswer;
  }
  void ShowDetailedMessage(std::u16string_view text, std::u16string_view detail) override {
    messages.emplace_back(text);
    details.emplace_back(detail);
    events.push_back("message");
  }
  void ShowBrowseMenu() override { events.push_back("browse menu"); }
  void SetWaitCursor(bool waiting) override { waitCursor = waiting; }
  void Defer(std::function<void()> work) override { deferred.push_back(std::move(work)); }
  void CloseNow() override {
    closed = true;
    events.push_back("closed");
  }
};

}  // namespace trawlscope::test
