#include "app/ProgressDisplay.h"

#include "app/CountTexts.h"
#include "app/DecimalText.h"
#include "app/ProgressTexts.h"
#include "platform/files/NativePath.h"

namespace trawlscope {

void ShowProgress(IProgressView& view, const ProgressSnapshot& now, size_t hitsFound) {
  const CatalogueText* phase = texts::PhaseText(now.phase);
  if (phase == nullptr) return;
  const std::u16string leftOut = LeftOutText(now.filesLeftOut, now.foldersLeftOut);
  view.SetPhase(leftOut.empty() ? Words(*phase) : Words(*phase) + u"  " + leftOut);
  if (now.phase != RunPhase::Listing) {
    // Files done so far: the one whose turn came last is still under way.
    const size_t done = now.started > 0 ? now.started - 1 : 0;
    const int total = static_cast<int>(now.listed);
    if (view.RangeMaximum() != total) view.SetRange(total);
    view.SetCounter(GroupedText(done) + u"/" + GroupedText(now.listed));
    view.SetPosition(static_cast<int>(done));
  }
  view.SetFileName(DisplayPath(now.fileName));
  // Grouped as the result window's status line counts.
  if (now.phase == RunPhase::Replacing) {
    view.SetCountCaption(Words(texts::kFilesChangedCaption));
    view.SetHitCount(GroupedText(now.filesChanged));
  } else {
    view.SetCountCaption(Words(texts::kHitsCaption));
    view.SetHitCount(GroupedText(hitsFound));
  }
}

}  // namespace trawlscope
