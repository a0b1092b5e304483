// The record tables' undo and redo history: steps of changed runs of bytes.
#include "data/record_history.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace varsk {
namespace {

// Every field of both record types is 4 bytes wide and both tables are whole
// words, so the tables are compared a word at a time.
constexpr size_t kWord = 4;
static_assert(sizeof(DataSet::msRecords) % kWord == 0);
static_assert(sizeof(DataSet::shipRecords) % kWord == 0);

// A changed word at most one unchanged word after a run joins it: that word
// stored twice (8 bytes) costs less than a run of its own (12).
constexpr size_t kJoinGap = 2 * kWord;

constexpr size_t kMsTableSize = sizeof(DataSet::msRecords);
constexpr size_t kTablesSize = kMsTableSize + sizeof(DataSet::shipRecords);

std::array<std::span<uint8_t>, 2> Tables(DataSet& dataSet) {
  return {std::span(reinterpret_cast<uint8_t*>(dataSet.msRecords.data()), kMsTableSize),
          std::span(reinterpret_cast<uint8_t*>(dataSet.shipRecords.data()),
                    sizeof(DataSet::shipRecords))};
}

std::array<std::span<const uint8_t>, 2> Tables(const DataSet& dataSet) {
  const auto tables = Tables(const_cast<DataSet&>(dataSet));
  return {tables[0], tables[1]};
}

bool SameWord(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, kWord) == 0; }

// What the heap takes for a block of `size` bytes: glibc's malloc adds a
// header word and rounds to 16, with 32 at least. Counting it keeps the limit
// true for many small steps, where it is half the memory.
size_t HeapBlock(size_t size) {
  return size == 0 ? 0 : std::max<size_t>(32, (size + sizeof(size_t) + 15) / 16 * 16);
}

}  // namespace

size_t RecordHistory::Step::Size() const {
  return sizeof(Step) + HeapBlock(runs.capacity() * sizeof(Run)) + HeapBlock(bytes.capacity());
}

RecordHistory::RecordHistory(size_t byteLimit) : byteLimit_(byteLimit) {}

void RecordHistory::Begin(const DataSet& dataSet) {
  before_.resize(kTablesSize);
  const auto tables = Tables(dataSet);
  std::copy(tables[0].begin(), tables[0].end(), before_.begin());
  std::copy(tables[1].begin(), tables[1].end(), before_.begin() + kMsTableSize);
}

bool RecordHistory::Commit(const DataSet& dataSet) {
  if (before_.size() != kTablesSize) return false;
  const auto tables = Tables(dataSet);
  Step step;
  size_t changedBytes = 0;
  for (uint32_t t = 0; t < tables.size(); ++t) {
    const uint8_t* before = before_.data() + (t == 0 ? 0 : kMsTableSize);
    const uint8_t* now = tables[t].data();
    const size_t size = tables[t].size();
    size_t start = 0;
    while (start < size) {
      if (SameWord(before + start, now + start)) {
        start += kWord;
        continue;
      }
      size_t end = start + kWord;
      for (size_t k = end; k < size && k < end + kJoinGap; k += kWord) {
        if (!SameWord(before + k, now + k)) end = k + kWord;
      }
      step.runs.push_back({t, static_cast<uint32_t>(start), static_cast<uint32_t>(end - start)});
      changedBytes += end - start;
      start = end;
    }
  }
  if (step.runs.empty()) {
    before_.clear();
    return false;
  }

  step.runs.shrink_to_fit();
  step.bytes.reserve(2 * changedBytes);
  for (const Run& run : step.runs) {
    const uint8_t* before = before_.data() + (run.table == 0 ? 0 : kMsTableSize) + run.offset;
    const uint8_t* now = tables[run.table].data() + run.offset;
    step.bytes.insert(step.bytes.end(), before, before + run.length);
    step.bytes.insert(step.bytes.end(), now, now + run.length);
  }
  before_.clear();
  for (const Step& dropped : redo_) stepBytes_ -= dropped.Size();
  redo_.clear();
  stepBytes_ += step.Size();
  step.state = ++lastState_;
  undo_.push_back(std::move(step));
  Trim();
  return true;
}

bool RecordHistory::Put(const Step& step, bool after, DataSet& dataSet) {
  const auto tables = Tables(dataSet);
  // Each run's bytes sit in `step.bytes` as before, then after.
  const auto side = [&](size_t runStart, const Run& run, bool afterSide) {
    return step.bytes.data() + runStart + (afterSide ? run.length : 0);
  };
  size_t runStart = 0;
  for (const Run& run : step.runs) {
    if (std::memcmp(tables[run.table].data() + run.offset, side(runStart, run, !after),
                    run.length) != 0) {
      return false;
    }
    runStart += 2 * size_t{run.length};
  }
  runStart = 0;
  for (const Run& run : step.runs) {
    std::memcpy(tables[run.table].data() + run.offset, side(runStart, run, after), run.length);
    runStart += 2 * size_t{run.length};
  }
  return true;
}

bool RecordHistory::Undo(DataSet& dataSet) { return Move(undo_, redo_, false, dataSet); }

bool RecordHistory::Redo(DataSet& dataSet) { return Move(redo_, undo_, true, dataSet); }

bool RecordHistory::Move(std::deque<Step>& from, std::deque<Step>& to, bool after,
                         DataSet& dataSet) {
  if (from.empty()) return false;
  if (!Put(from.back(), after, dataSet)) {
    Clear();
    return false;
  }
  to.push_back(std::move(from.back()));
  from.pop_back();
  return true;
}

size_t RecordHistory::MemoryBytes() const { return stepBytes_ + HeapBlock(before_.capacity()); }

void RecordHistory::Clear() {
  undo_.clear();
  redo_.clear();
  stepBytes_ = 0;
  // The tables are in a state no step leads back to.
  baseState_ = ++lastState_;
}

void RecordHistory::Trim() {
  // The newest step stays, whatever its size.
  while (stepBytes_ > byteLimit_ && undo_.size() > 1) {
    stepBytes_ -= undo_.front().Size();
    baseState_ = undo_.front().state;
    undo_.pop_front();
  }
}

}  // namespace varsk
