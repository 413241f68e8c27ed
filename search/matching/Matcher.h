#pragma once
// Finding every occurrence of the search text in one text, in the three modes
// a run can ask for. Occurrences never overlap and come in ascending order.
// The search and the replace use the same scans, so that a replace changes
// exactly what a search lists.
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "search/AbortFlag.h"
#include "search/matching/UnitSetFinder.h"
#include "search/matching/expression/ExpressionFacts.h"
#include "search/matching/unicode/WordBoundaries.h"

namespace trawlscope {

enum class MatchMode { Exact, CaseInsensitive, RegularExpression };

// The mode a run's two options select: the expression whenever it is on (case
// is folded into the expression itself), else exact or case-insensitive.
MatchMode ModeOf(bool useRegex, bool caseSensitive);

class Matcher {
 public:
  // Compiles `pattern` with the Perl syntax, case-insensitive when asked. The
  // expression is compiled whatever the mode, as a run does; whether a
  // failure matters is the caller's to decide.
  Matcher(std::u16string pattern, bool caseSensitive);
  // The same pattern, its compiled parts shared (they are only read once
  // built, so each thread's searcher may hold a copy); the whole-word state
  // is the copy's own.
  Matcher(const Matcher& other);
  Matcher& operator=(const Matcher&) = delete;
  ~Matcher();

  bool ExpressionCompiled() const { return Compiled() != nullptr; }

  // From now on only occurrences that begin and end on word boundaries
  // count, in every scan. A plain scan that drops one goes on from its
  // second unit, so that an occurrence overlapping it can still count; an
  // expression scan goes on after it, as it does after any match. The scans
  // then ask a boundary iterator of their own: one thread at a time.
  void KeepWholeWordsOnly();
  // Why the expression did not compile, in the library's words with the
  // place in the pattern (UTF-8); empty when it compiled.
  const std::string& ExpressionError() const;
  const std::u16string& Pattern() const { return parts_->pattern; }
  // What every match of the compiled expression needs, when that is known.
  const ExpressionFacts* Facts() const;

  enum class ScanEnd { Completed, Aborted, MatchError };

  // Calls `onMatch(position, length)` for each occurrence. The abort flag is
  // tested at each occurrence found, and at every step of the expression's
  // search; once it is set, the occurrence at hand is dropped and the scan
  // ends. MatchError: the expression library gave up on this text (too
  // complex); the occurrences reported before stand.
  ScanEnd Scan(std::u16string_view text, MatchMode mode, const AbortFlag& abortRequested,
               const std::function<void(size_t position, size_t length)>& onMatch) const;

  struct ExpressionMatch {
    size_t position = 0;
    size_t length = 0;
    std::u16string replacement;  // the format applied to this match, when one was given
  };
  // The expression scan, each match with `format` (Perl style: $&, $1, $$...)
  // applied to it when `format` is given.
  ScanEnd ForEachExpressionMatch(std::u16string_view text, const AbortFlag& abortRequested,
                                 const std::function<void(const ExpressionMatch&)>& onMatch,
                                 const std::u16string* format = nullptr) const;

  // The expression's match that starts exactly at `position` of `text`, the
  // text before it seen by "^", "\b" and look-behind, with `format` applied;
  // nothing when none starts there or the library gives up.
  std::optional<ExpressionMatch> ExpressionMatchAt(std::u16string_view text, size_t position,
                                                   const std::u16string& format) const;

  // The expression scan over text that is pure ASCII, straight on its bytes:
  // it gives the same matches as Scan over the widened text, without
  // widening it first. Only when CanScanAsciiBytes().
  bool CanScanAsciiBytes() const;
  ScanEnd ScanAsciiBytes(std::string_view bytes, const AbortFlag& abortRequested,
                         const std::function<void(size_t position, size_t length)>& onMatch) const;

 private:
  ScanEnd ScanExact(std::u16string_view text, const AbortFlag& abortRequested,
                    const std::function<void(size_t, size_t)>& onMatch) const;
  ScanEnd ScanCaseInsensitive(std::u16string_view text, const AbortFlag& abortRequested,
                              const std::function<void(size_t, size_t)>& onMatch) const;
  ScanEnd ScanExpression(std::u16string_view text, const AbortFlag& abortRequested,
                         const std::function<void(size_t, size_t)>& onMatch) const;

  // The compiled expressions, kept out of this header so that its users do
  // not compile the expression library.
  struct Expressions;
  // What the case-insensitive scan compares with.
  struct Caseless {
    std::u16string foldedPattern;
    // Every unit folding to the pattern's first two units.
    UnitSetFinder starts;
  };
  // Each mode's parts are built when a scan of that mode first needs them,
  // once for every copy: a plain search compiles no expression and folds
  // nothing, and the expression is compiled once a run, not once a thread.
  struct Parts {
    std::u16string pattern;
    bool caseSensitive = false;
    UnitSetFinder exactStarts{{}, {}};  // the pattern's first two units
    std::once_flag caselessOnce;
    std::unique_ptr<const Caseless> caseless;
    std::once_flag expressionOnce;
    std::unique_ptr<const Expressions> expressions;  // null when the pattern does not compile
    std::string expressionError;
  };
  const Caseless& CaselessParts() const;
  const Expressions* Compiled() const;

  std::shared_ptr<Parts> parts_;
  // Null unless only whole words count, so that the scans without it pay one test a match.
  mutable std::unique_ptr<WordBoundaries> words_;
};

}  // namespace trawlscope
