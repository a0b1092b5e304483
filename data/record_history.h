// The undo and redo history of the record tables. A step keeps only the bytes
// of the MsRecord and ShipRecord tables that one change (an Apply, Auto modify,
// Load ROM) altered, before and after, so a thousand Applies take a few
// hundred kilobytes instead of a thousand copies of the tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "data/data_set.h"

namespace varsk {

class RecordHistory {
 public:
  // The most the steps may take together; beyond it the oldest steps go. An
  // Apply of one field takes about 120 bytes, so tens of thousands fit; Auto
  // modify of the shipped records takes about 8 kB and Load ROM of the sample
  // ROM about 20 kB, so 1,000 steps fit unless they average above 8 kB.
  static constexpr size_t kDefaultByteLimit = size_t{8} << 20;

  explicit RecordHistory(size_t byteLimit = kDefaultByteLimit);

  // Runs `change` on `dataSet` and keeps what it changed in the record tables
  // as one step. When `change` throws, what it stored up to then is the step,
  // and the exception goes on. Returns whether a step was kept.
  template <typename Change>
  bool Record(DataSet& dataSet, Change&& change);

  // The two halves of Record: Begin remembers the record tables, Commit keeps
  // what differs from them as one step. A Commit that finds nothing changed
  // keeps no step and leaves the redo steps; otherwise the redo steps go.
  void Begin(const DataSet& dataSet);
  bool Commit(const DataSet& dataSet);

  // Puts back the tables as they were before the last step (Undo) or after
  // the last undone one (Redo). Returns false, changing nothing, when there is
  // no such step, or when the tables no longer hold what that step left (they
  // were changed outside the history): the history is then dropped, since
  // none of its steps fits the tables any more.
  bool Undo(DataSet& dataSet);
  bool Redo(DataSet& dataSet);

  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }

  // The clean mark: the state of the tables that matches a file (what was
  // last loaded or saved). IsClean() is true while the tables are in that
  // state, also when steps were undone or redone back to it; a new step taken
  // from an undone state, or Clear(), leaves no way back, and so no mark.
  void MarkClean() { cleanState_ = State(); }
  bool IsClean() const { return cleanState_ == State(); }
  // The state the tables are in: the last step's, or the state that the
  // oldest kept step started from. Unique within the history, so the same
  // after an undo and a redo back to it.
  uint64_t State() const { return undo_.empty() ? baseState_ : undo_.back().state; }
  // Heap bytes held by the steps and the copy that Begin keeps, allocator
  // overhead included.
  size_t MemoryBytes() const;
  void Clear();

 private:
  // One stretch of changed bytes of one table.
  struct Run {
    uint32_t table;   // 0: MS records, 1: ship records
    uint32_t offset;  // from the table's first byte
    uint32_t length;
  };
  // The runs of one change; `bytes` holds each run's bytes before the change,
  // then its bytes after, run after run.
  struct Step {
    uint64_t state = 0;  // the tables' state after the step; unique within the history
    std::vector<Run> runs;
    std::vector<uint8_t> bytes;
    size_t Size() const;
  };

  // Writes the before (`after` false) or after bytes of `step` into the tables
  // when they hold the other side; returns false and changes nothing otherwise.
  static bool Put(const Step& step, bool after, DataSet& dataSet);
  // Puts back the last step of `from` (as it was after it when `after`) and
  // moves it to `to`; clears the history when the tables no longer match it.
  bool Move(std::deque<Step>& from, std::deque<Step>& to, bool after, DataSet& dataSet);
  void Trim();

  size_t byteLimit_;
  uint64_t lastState_ = 0;   // the last state number handed out
  uint64_t baseState_ = 0;   // the state before the oldest step of undo_
  uint64_t cleanState_ = 0;  // the state MarkClean saw; the start is clean
  size_t stepBytes_ = 0;
  std::vector<uint8_t> before_;  // the tables at Begin, MS then ship
  std::deque<Step> undo_;
  std::deque<Step> redo_;
};

template <typename Change>
bool RecordHistory::Record(DataSet& dataSet, Change&& change) {
  Begin(dataSet);
  try {
    change();
  } catch (...) {
    Commit(dataSet);
    throw;
  }
  return Commit(dataSet);
}

}  // namespace varsk
