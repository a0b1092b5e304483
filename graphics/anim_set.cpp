// The animation set table: for each set number, its frames as a clip number
// and a tile base. The content is fixed; several sets are variants of an
// earlier set and are written by copying it and changing the frames that differ.
#include "graphics/anim_set.h"

#include <initializer_list>

namespace varsk {

namespace {

AnimSetEntry& Set(AnimSetTable& table, int setNumber) { return table.sets[setNumber - 1]; }

// Frames 1.. of a set take `clips` in order; the frame count is their number.
void WriteClips(AnimSetEntry& entry, std::initializer_list<uint8_t> clips) {
  int frame = 0;
  for (uint8_t clip : clips) entry.clipNumber[frame++] = clip;
  entry.frameCount = static_cast<uint8_t>(clips.size());
}

// Frames 1.. of a set start at tile bases `tileBases` in order.
void WriteTileBases(AnimSetEntry& entry, std::initializer_list<int> tileBases) {
  int frame = 0;
  for (int tileBase : tileBases) entry.tileBase[frame++] = tileBase;
}

// Frame `frame` (1-based) of a set shows clip `clip`.
void SetClip(AnimSetEntry& entry, int frame, uint8_t clip) { entry.clipNumber[frame - 1] = clip; }

// A variant starts as a copy of the whole clip-number and tile-base lists of
// an earlier set, with that set's frame count.
AnimSetEntry& CopyFrames(AnimSetTable& table, int setNumber, int fromSet) {
  AnimSetEntry& entry = Set(table, setNumber);
  const AnimSetEntry& from = Set(table, fromSet);
  entry.clipNumber = from.clipNumber;
  entry.tileBase = from.tileBase;
  entry.frameCount = from.frameCount;
  return entry;
}

}  // namespace

const AnimSetEntry* AnimSetTable::Find(int setNumber) const {
  if (setNumber < 1 || setNumber > kAnimSetCount) return nullptr;
  return &sets[static_cast<size_t>(setNumber - 1)];
}

std::optional<AnimFrame> AnimSetTable::Frame(int setNumber, int frame) const {
  const AnimSetEntry* entry = Find(setNumber);
  if (entry == nullptr || frame < 1 || frame > entry->frameCount || frame > kMaxFrames)
    return std::nullopt;
  return AnimFrame{entry->clipNumber[static_cast<size_t>(frame - 1)],
                   entry->tileBase[static_cast<size_t>(frame - 1)]};
}

void BuildAnimSetTable(AnimSetTable& table) {
  for (AnimSetEntry& entry : table.sets) entry = AnimSetEntry{};

  WriteClips(Set(table, 1), {1, 2, 3, 4, 5, 6, 7, 8});
  {
    AnimSetEntry& e = CopyFrames(table, 2, 1);
    SetClip(e, 9, 52);
    e.frameCount = 9;
  }
  {
    AnimSetEntry& e = CopyFrames(table, 3, 1);
    SetClip(e, 8, 13);
    SetClip(e, 9, 12);
    e.frameCount = 9;
  }
  {
    AnimSetEntry& e = CopyFrames(table, 4, 1);
    SetClip(e, 9, 16);
    e.frameCount = 9;
  }
  WriteClips(Set(table, 5), {55, 56, 57, 58, 53, 54});
  {
    AnimSetEntry& e = CopyFrames(table, 6, 1);
    SetClip(e, 3, 17);
    SetClip(e, 4, 18);
  }
  {
    AnimSetEntry& e = Set(table, 7);
    WriteClips(e, {10, 9, 9, 9});
    WriteTileBases(e, {0, 8, 12, 32});
    e.auxValue = -60;
  }
  {
    AnimSetEntry& e = CopyFrames(table, 8, 1);
    SetClip(e, 3, 19);
  }
  WriteClips(Set(table, 9), {59, 60, 90, 91, 92, 93, 94});
  {
    AnimSetEntry& e = CopyFrames(table, 10, 8);
    SetClip(e, 4, 11);
  }
  {
    AnimSetEntry& e = CopyFrames(table, 11, 7);
    e.auxValue = -32;
  }
  {
    AnimSetEntry& e = Set(table, 12);
    WriteClips(e, {21, 22, 23, 9});
    WriteTileBases(e, {0, 10, 32, 38});
    e.auxValue = -32;
  }
  WriteClips(Set(table, 13), {95, 96, 97, 98, 99, 100, 101, 102, 103});
  {
    AnimSetEntry& e = CopyFrames(table, 14, 1);
    SetClip(e, 4, 11);
  }
  WriteClips(Set(table, 15), {104, 105, 106, 107, 108, 109, 110});
  {
    AnimSetEntry& e = CopyFrames(table, 16, 1);
    for (int frame = 1; frame <= 4; ++frame) SetClip(e, frame, static_cast<uint8_t>(23 + frame));
  }
  WriteClips(Set(table, 17), {111, 112, 113});
  WriteClips(Set(table, 18), {118});
  WriteClips(Set(table, 19), {119});
  WriteClips(Set(table, 20), {28, 29, 30, 31, 32, 6, 33, 34});
  {
    AnimSetEntry& e = CopyFrames(table, 21, 6);
    SetClip(e, 3, 35);
  }
  WriteClips(Set(table, 22), {38, 39, 40, 41, 36, 37});
  {
    AnimSetEntry& e = Set(table, 23);
    WriteClips(e, {42, 43, 47, 48, 45, 46, 44, 49, 50, 51});
    e.auxValue = 32;
  }
  // Sets 24..51 each show one clip: the set number plus 96.
  for (int setNumber = 24; setNumber <= 51; ++setNumber)
    WriteClips(Set(table, setNumber), {static_cast<uint8_t>(setNumber + 96)});
}

AnimSetTable& GlobalAnimSetTable() {
  static AnimSetTable table;
  return table;
}

}  // namespace varsk
