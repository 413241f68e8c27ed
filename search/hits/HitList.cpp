#include "search/hits/HitList.h"

#include <algorithm>
#include <utility>

namespace trawlscope {

void HitList::Clear() {
  hits_.Clear();
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
  hits_.Append(hit);
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
  hits_.Take(std::move(other.hits_));
  other.Clear();
  count_.store(hits_.size(), std::memory_order_release);
}

void HitList::Swap(HitList& other) {
  std::swap(hits_, other.hits_);
  files_.swap(other.files_);
  const size_t count = count_.load(std::memory_order_acquire);
  count_.store(other.count_.load(std::memory_order_acquire), std::memory_order_release);
  other.count_.store(count, std::memory_order_release);
}

void HitList::ReplaceFileHits(const HitFile& file, HitList&& fresh) {
  PackedHits merged;
  bool placed = false;
  for (size_t i = 0; i < hits_.size(); ++i) {
    if (&hits_.FileOf(i) != &file) {
      merged.Append(hits_[i]);
    } else if (!placed) {
      for (size_t j = 0; j < fresh.hits_.size(); ++j) merged.Append(fresh.hits_[j]);
      placed = true;
    }
  }
  if (!placed) merged.Take(std::move(fresh.hits_));
  hits_ = std::move(merged);
  // The records keep the order of the files' first hits, as the hits do.
  const auto old = std::find_if(files_.begin(), files_.end(),
                                [&](const std::unique_ptr<HitFile>& kept) { return kept.get() == &file; });
  const auto at = old == files_.end() ? files_.end() : files_.erase(old);
  files_.insert(at, std::make_move_iterator(fresh.files_.begin()), std::make_move_iterator(fresh.files_.end()));
  fresh.Clear();
  count_.store(hits_.size(), std::memory_order_release);
}

void HitList::KeepOnlyFile(const std::u16string& path) {
  PackedHits kept;
  for (size_t i = 0; i < hits_.size(); ++i) {
    const HitFile& file = hits_.FileOf(i);
    if (file.folder.size() + file.fileName.size() == path.size() && file.folder + file.fileName == path)
      kept.Append(hits_[i]);
  }
  hits_ = std::move(kept);
  std::erase_if(files_, [&](const std::unique_ptr<HitFile>& file) { return file->folder + file->fileName != path; });
  count_.store(hits_.size(), std::memory_order_release);
}

size_t HitList::Bytes() const {
  size_t bytes = hits_.size() * PackedHits::RecordBytes();
  for (const auto& file : files_) bytes += sizeof(HitFile) + file->narrow.capacity() + 2 * file->wide.capacity();
  return bytes;
}

std::vector<const HitFile*> HitList::Files() const {
  std::vector<const HitFile*> files;
  files.reserve(files_.size());
  for (const auto& file : files_) files.push_back(file.get());
  return files;
}

}  // namespace trawlscope
