#include "TerminalProgress.h"

#include "BatchTexts.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "app/AppTexts.h"
#include "app/OutcomeText.h"
#include "app/ProgressTexts.h"
#include "platform/files/NativePath.h"

namespace trawlscope::batch {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(250);

size_t TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// Cuts UTF-8 text to at most `columns` characters, counting each as one column.
std::string CutToColumns(const std::string& text, size_t columns) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (++characters > columns) return text.substr(0, i);
  }
  return text;
}

}  // namespace

void SayUnlisted(const std::vector<UnlistedPath>& paths) {
  for (const UnlistedPath& entry : paths) {
    const CatalogueText& words = entry.kind == PathKind::Fifo     ? texts::kIsFifo
                                 : entry.kind == PathKind::Socket ? texts::kIsSocket
                                 : entry.kind == PathKind::Device ? texts::kIsDevice
                                                                  : texts::kNotFound;
    Say(words, {ToNativeBytes(DisplayPath(entry.path))});
  }
}

TerminalProgress::TerminalProgress(std::function<size_t()> hitCount, const RunProgress& progress)
    : hitCount_(std::move(hitCount)), progress_(progress), onTerminal_(isatty(STDERR_FILENO) == 1),
      outOnTerminal_(onTerminal_ && isatty(STDOUT_FILENO) == 1) {
  if (!onTerminal_) return;
  painter_ = std::thread([this] {
    std::unique_lock lock(mutex_);
    while (!finished_) {
      wake_.wait_for(lock, kRedrawInterval);
      if (!finished_) Redraw();
    }
  });
}

TerminalProgress::~TerminalProgress() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  wake_.notify_all();
  if (painter_.joinable()) painter_.join();
}

void TerminalProgress::Warn(const RunWarning& warning) {
  std::lock_guard lock(mutex_);
  ClearLine();
  if (warning.kind == RunWarning::Kind::XPathInvalid) {
    Say(batch::texts::kXPathError, {XPathFaultText(warning.xpath)});
    return;
  }
  if (warning.kind == RunWarning::Kind::ModuleMissing) {
    std::fprintf(stderr, "%s\n%s\n", WordsUtf8(trawlscope::texts::kModuleMissing).c_str(),
                 ModuleProblemText(warning.module).c_str());
    return;
  }
  if (warning.kind == RunWarning::Kind::ExpressionInvalid) {
    std::fprintf(stderr, "%s\n%s\n", WordsUtf8(trawlscope::texts::kRegexError).c_str(), warning.detail.c_str());
    return;
  }
  pathsUnlisted_ = pathsUnlisted_ || !warning.paths.empty();
  SayUnlisted(warning.paths);
}

void TerminalProgress::RunFinished(const RunSummary& summary) {
  {
    std::lock_guard lock(mutex_);
    summary_ = summary;
    finished_ = true;
    ClearLine();
  }
  wake_.notify_all();
}

void TerminalProgress::WriteOut(std::string_view lines) {
  std::lock_guard lock(mutex_);
  // The next redraw puts the progress line back below the hits.
  if (outOnTerminal_) ClearLine();
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  std::fflush(stdout);
}

RunSummary TerminalProgress::Summary() const {
  std::lock_guard lock(mutex_);
  return summary_;
}

bool TerminalProgress::PathsUnlisted() const {
  std::lock_guard lock(mutex_);
  return pathsUnlisted_;
}

// Called with the mutex held.
void TerminalProgress::Redraw() {
  const ProgressSnapshot now = progress_.Read();
  const CatalogueText* phase = trawlscope::texts::PhaseText(now.phase);
  std::string line = phase != nullptr ? WordsUtf8(*phase) : std::string();
  if (now.phase != RunPhase::Listing)
    line += " " + std::to_string(now.started > 0 ? now.started - 1 : 0) + "/" + std::to_string(now.listed);
  line += "  " + std::to_string(hitCount_()) + " hits  " + ToNativeBytes(DisplayPath(now.fileName));
  std::fprintf(stderr, "\r\x1b[K%s", CutToColumns(line, TerminalWidth() - 1).c_str());
  std::fflush(stderr);
}

void TerminalProgress::ClearLine() {
  if (onTerminal_) std::fprintf(stderr, "\r\x1b[K");
}

}  // namespace trawlscope::batch
