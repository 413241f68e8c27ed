#include "search/HitList.h"

#include <algorithm>

namespace trawlscope {

void HitList::Clear() {
  std::deque<Hit>().swap(hits_);
  std::vector<std::unique_ptr<HitFile>>().swap(files_);
  count_.store(0, std::memory_order_release);
}

HitFile& HitList::AddFile(std::u16string folder, std::u16string fileName, CodePage codePage) {
  auto file = std::make_unique<HitFile>();
  file->folder = std::move(folder);
  file->fileName = std::move(fileName);
  file->codePage = codePage;
  files_.push_back(std::move(file));
  return *files_.back();
}

void HitList::Append(const Hit& hit) {
  hits_.push_back(hit);
  count_.store(hits_.size(), std::memory_order_release);
}

void HitList::AppendStandalone(std::u16string folder, std::u16string fileName, std::u16string_view left,
                               std::u16string_view keyword, std::u16string_view right, std::int64_t line,
                               std::int64_t position) {
  HitFile& file = AddFile(std::move(folder), std::move(fileName), 0);
  file.wide.append(left).append(keyword).append(right);
  Hit hit(file, 0, left.size(), keyword.size(), right.size());
  hit.line = line;
  hit.position = position;
  hit.length = static_cast<std::int64_t>(keyword.size());
  Append(hit);
}

void HitList::Take(HitList&& other) {
  for (auto& file : other.files_) files_.push_back(std::move(file));
  hits_.insert(hits_.end(), other.hits_.begin(), other.hits_.end());
  other.Clear();
  count_.store(hits_.size(), std::memory_order_release);
}

void HitList::ReplaceFileHits(const HitFile& file, HitList&& fresh) {
  std::deque<Hit> merged;
  bool placed = false;
  for (const Hit& hit : hits_) {
    if (&hit.File() != &file) {
      merged.push_back(hit);
    } else if (!placed) {
      merged.insert(merged.end(), fresh.hits_.begin(), fresh.hits_.end());
      placed = true;
    }
  }
  if (!placed) merged.insert(merged.end(), fresh.hits_.begin(), fresh.hits_.end());
  hits_.swap(merged);
  // The records keep the order of the files' first hits, as the hits do.
  const auto old = std::find_if(files_.begin(), files_.end(),
                                [&](const std::unique_ptr<HitFile>& kept) { return kept.get() == &file; });
  const auto at = old == files_.end() ? files_.end() : files_.erase(old);
  files_.insert(at, std::make_move_iterator(fresh.files_.begin()), std::make_move_iterator(fresh.files_.end()));
  fresh.Clear();
  count_.store(hits_.size(), std::memory_order_release);
}

void HitList::KeepOnlyFile(const std::u16string& path) {
  std::erase_if(hits_, [&](const Hit& hit) { return hit.FullPath() != path; });
  std::erase_if(files_, [&](const std::unique_ptr<HitFile>& file) { return file->folder + file->fileName != path; });
  count_.store(hits_.size(), std::memory_order_release);
}

std::vector<const HitFile*> HitList::Files() const {
  std::vector<const HitFile*> files;
  files.reserve(files_.size());
  for (const auto& file : files_) files.push_back(file.get());
  return files;
}

}  // namespace trawlscope
