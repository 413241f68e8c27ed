#pragma once
// The engine's one way to say that something failed. A call that can fail
// returns an Outcome: its value, or the FileError that says what failed (the
// step or the program's refusal, and the errno the system gave). Not a bool
// with an errno or a FileError& beside it, not an errno read after the call,
// not an exception for a failure the caller is to handle, never a sentence:
// the words are chosen where the program meets the user (app/, the dialogs,
// the batch tool). What happened to one file of a run (searched, unchanged
// and why) stays a per-file outcome value of its own kinds.
#include <utility>

#include "platform/files/FileError.h"

namespace trawlscope {

template <typename T = void>
class [[nodiscard]] Outcome {
 public:
  Outcome(T value) : value_(std::move(value)) {}
  Outcome(FileError failure) : failure_(failure), failed_(true) {}

  bool Ok() const { return !failed_; }
  explicit operator bool() const { return Ok(); }
  // Only when Ok().
  const T& Value() const& { return value_; }
  T& Value() & { return value_; }
  T&& Value() && { return std::move(value_); }
  // Only when not Ok().
  const FileError& Failure() const { return failure_; }

 private:
  T value_{};
  FileError failure_;
  bool failed_ = false;
};

template <>
class [[nodiscard]] Outcome<void> {
 public:
  Outcome() = default;
  Outcome(FileError failure) : failure_(failure), failed_(true) {}

  bool Ok() const { return !failed_; }
  explicit operator bool() const { return Ok(); }
  const FileError& Failure() const { return failure_; }

 private:
  FileError failure_;
  bool failed_ = false;
};

// Success of a call that gives nothing back.
inline Outcome<> Done() { return {}; }

}  // namespace trawlscope
