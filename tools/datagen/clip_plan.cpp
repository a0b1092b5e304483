// The clip layouts and animation sets.
#include "clip_plan.h"

#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "graphics/anim_set.h"

namespace varsk::datagen {
namespace {

constexpr int kShippedClipCells = 5384;  // clip export of 21977 bytes = 147 * 3 + 4 * cells

std::vector<uint8_t> Sequential(int cells, int first) {
  std::vector<uint8_t> numbers;
  for (int i = 0; i < cells; ++i) numbers.push_back(static_cast<uint8_t>(first + i));
  return numbers;
}

// The tile numbers of the nine 4 x 4 frame slots of the light units. Slot 1
// splits its upper and lower halves between the two ends of the first two
// sheet rows, slot 2 fills the middle; the other slots follow in order.
std::vector<uint8_t> LightSlot(int slot) {
  if (slot == 1) return {1, 2, 3, 4, 17, 18, 19, 20, 13, 14, 15, 16, 29, 30, 31, 32};
  if (slot == 2) return {5, 6, 7, 8, 21, 22, 23, 24, 9, 10, 11, 12, 25, 26, 27, 28};
  return Sequential(16, 33 + (slot - 3) * 16);
}

struct Plan {
  std::vector<ClipDesign> clips;
  std::vector<SetDesign> sets;
};

Plan MakePlan() {
  Plan plan;
  plan.clips.resize(kClipCount);
  for (int k = 1; k <= kClipCount; ++k) plan.clips[k - 1].number = k;
  auto canvas = [&](int k, int cols, int rows, std::vector<uint8_t> numbers,
                    ClipKind kind = ClipKind::Canvas) {
    ClipDesign& c = plan.clips[k - 1];
    c.cols = cols;
    c.rows = rows;
    c.kind = kind;
    c.numbers = std::move(numbers);
  };
  auto seq = [&](int k, int cols, int rows, int first, ClipKind kind = ClipKind::Canvas) {
    const int cells = kind == ClipKind::Symmetric ? rows * ((cols + 1) / 2) : cols * rows;
    canvas(k, cols, rows, Sequential(cells, first), kind);
  };
  auto derived = [&](int k, ClipKind kind, int source, int sx = 0, int sy = 0) {
    ClipDesign& c = plan.clips[k - 1];
    const ClipDesign& s = plan.clips[source - 1];
    c.cols = s.cols;
    c.rows = s.rows;
    c.kind = kind;
    c.source = source;
    c.shiftX = sx;
    c.shiftY = sy;
  };

  // Light units, 4 x 4 cells: the slot decides the tile numbers.
  const std::map<int, int> lightSlots = {
      {1, 1},  {2, 2},  {3, 3},  {4, 4},  {5, 5},  {6, 6},  {11, 4}, {12, 9}, {13, 8},
      {16, 9}, {17, 3}, {18, 4}, {19, 3}, {24, 1}, {25, 2}, {26, 3}, {27, 4}, {35, 3},
      {52, 9}, {28, 1}, {29, 2}, {30, 3}, {31, 4}, {32, 5}, {33, 7}, {34, 8}};
  for (const auto& [k, slot] : lightSlots) canvas(k, 4, 4, LightSlot(slot));
  derived(7, ClipKind::Mirror, 3);
  derived(8, ClipKind::Shift, 5, 0, -2);

  // Hover unit, 5 x 6.
  seq(55, 5, 6, 1);
  derived(56, ClipKind::Shift, 55, 0, -1);
  derived(57, ClipKind::Shift, 55, 0, -2);
  derived(58, ClipKind::Shift, 55, 0, -1);
  seq(53, 5, 6, 31);
  seq(54, 5, 6, 61);

  // Support units: the unit, then a 2 x 2 burst drawn at three tile bases.
  seq(10, 6, 6, 43);
  seq(9, 2, 2, 1);
  // Transforming unit: robot, halfway, flight form, each at its own tile base.
  seq(21, 6, 7, 43);
  seq(22, 6, 6, 75);
  seq(23, 7, 5, 89);

  // Medium, 6 x 6.
  seq(59, 6, 6, 1);
  derived(60, ClipKind::Shift, 59, 0, -1);
  seq(90, 6, 6, 37);
  derived(91, ClipKind::Mirror, 90);
  seq(92, 6, 6, 73);
  seq(93, 6, 6, 109);
  derived(94, ClipKind::Shift, 92, 0, -2);

  // Heavy, 6 x 7.
  seq(95, 6, 7, 1);
  derived(96, ClipKind::Shift, 95, 0, -1);
  seq(97, 6, 7, 43);
  derived(98, ClipKind::Mirror, 97);
  seq(99, 6, 7, 85);
  seq(100, 6, 7, 127);
  derived(101, ClipKind::Shift, 99, 0, -2);
  derived(102, ClipKind::Mirror, 99);
  derived(103, ClipKind::Rotate, 95);

  // Tall, 5 x 7.
  seq(104, 5, 7, 1);
  derived(105, ClipKind::Shift, 104, 0, -1);
  seq(106, 5, 7, 36);
  derived(107, ClipKind::Mirror, 106);
  seq(108, 5, 7, 71);
  seq(109, 5, 7, 106);
  derived(110, ClipKind::Shift, 108, 0, -2);

  // Armour, 8 x 6.
  seq(111, 8, 6, 1);
  derived(112, ClipKind::Shift, 111, 0, -1);
  seq(113, 8, 6, 49);

  // Heavy plus, 6 x 8.
  seq(38, 6, 8, 1);
  derived(39, ClipKind::Shift, 38, 0, -1);
  seq(40, 6, 8, 49);
  derived(41, ClipKind::Mirror, 40);
  seq(36, 6, 8, 97);
  seq(37, 6, 8, 145);

  // Elite, 6 x 6.
  seq(42, 6, 6, 1);
  derived(43, ClipKind::Shift, 42, 0, -1);
  seq(47, 6, 6, 37);
  derived(48, ClipKind::Mirror, 47);
  seq(45, 6, 6, 73);
  seq(46, 6, 6, 109);
  derived(44, ClipKind::Mirror, 45);
  derived(49, ClipKind::Shift, 45, 0, -2);
  seq(50, 6, 6, 145);
  derived(51, ClipKind::Rotate, 42);

  // Single-frame units and ships.
  struct Single {
    int clip, cols, rows;
    bool symmetric;
  };
  const Single singles[] = {
      {118, 10, 5, false}, {119, 8, 5, false},  {120, 6, 8, false},  {121, 7, 8, false},
      {122, 8, 8, true},   {123, 8, 9, false},  {124, 7, 7, false},  {125, 9, 8, false},
      {126, 10, 8, true},  {127, 8, 7, false},  {128, 10, 9, false}, {129, 12, 9, true},
      {130, 6, 9, false},  {131, 9, 9, false},  {132, 11, 8, false}, {133, 12, 10, false},
      {134, 16, 6, false}, {135, 9, 4, false},  {136, 10, 5, false}, {137, 11, 5, false},
      {138, 12, 5, false}, {139, 12, 6, false}, {140, 13, 6, false}, {141, 14, 6, false},
      {142, 14, 7, false}, {143, 15, 6, false}, {144, 15, 7, false}, {145, 16, 7, false},
      {146, 12, 4, false}, {147, 16, 8, false}};
  for (const Single& s : singles) {
    seq(s.clip, s.cols, s.rows, 1, s.symmetric ? ClipKind::Symmetric : ClipKind::Canvas);
  }

  // Layouts no set uses: effect-sized canvases that take the rest of the cells.
  std::vector<int> fillers = {14, 15, 20};
  for (int k = 61; k <= 89; ++k) fillers.push_back(k);
  for (int k = 114; k <= 117; ++k) fillers.push_back(k);
  for (size_t i = 0; i < fillers.size(); ++i) {
    const bool wide = i % 3 == 2;  // every third is 6 x 3, the others 4 x 5
    seq(fillers[i], wide ? 6 : 4, wide ? 3 : 5, 1, ClipKind::Filler);
  }

  // The animation sets.
  plan.sets.resize(kSetCount);
  auto set = [&](int n, SetRole role, std::vector<SetFrame> frames, int32_t aux = 0) {
    SetDesign& s = plan.sets[n - 1];
    s.number = n;
    s.role = role;
    s.auxValue = aux;
    s.frames = std::move(frames);
  };
  using P = Pose;
  const std::vector<SetFrame> light = {{1, 0, P::Idle},  {2, 0, P::Walk},  {3, 0, P::Crouch},
                                       {4, 0, P::Guard}, {5, 0, P::Ready}, {6, 0, P::Fire},
                                       {7, 0, P::Idle},  {8, 0, P::Ready}};
  auto variant = [&](std::vector<SetFrame> frames, std::map<int, SetFrame> changes) {
    for (auto& [f, frame] : changes) {
      if (static_cast<int>(frames.size()) < f) frames.resize(static_cast<size_t>(f));
      frames[static_cast<size_t>(f - 1)] = frame;
    }
    return frames;
  };
  set(1, SetRole::Light, light);
  set(2, SetRole::Light, variant(light, {{9, {52, 0, P::Melee}}}));
  set(3, SetRole::Light, variant(light, {{8, {13, 0, P::Boost}}, {9, {12, 0, P::Damaged}}}));
  set(4, SetRole::Light, variant(light, {{9, {16, 0, P::Boost}}}));
  set(5, SetRole::Hover,
      {{55, 0, P::Idle},
       {56, 0, P::Idle},
       {57, 0, P::Idle},
       {58, 0, P::Idle},
       {53, 0, P::Ready},
       {54, 0, P::Fire}});
  const auto set6 = variant(light, {{3, {17, 0, P::Melee}}, {4, {18, 0, P::Boost}}});
  set(6, SetRole::Light, set6);
  const std::vector<SetFrame> support = {
      {10, 0, P::Ready}, {9, 8, P::Burst1}, {9, 12, P::Burst2}, {9, 32, P::Burst3}};
  set(7, SetRole::Support, support, -60);
  const auto set8 = variant(light, {{3, {19, 0, P::Fire}}});
  set(8, SetRole::Light, set8);
  set(9, SetRole::Medium,
      {{59, 0, P::Idle},
       {60, 0, P::Idle},
       {90, 0, P::Walk},
       {91, 0, P::Walk},
       {92, 0, P::Ready},
       {93, 0, P::Fire},
       {94, 0, P::Ready}});
  set(10, SetRole::Light, variant(set8, {{4, {11, 0, P::Melee}}}));
  set(11, SetRole::Support, support, -32);
  set(12, SetRole::Transform,
      {{21, 0, P::Ready}, {22, 10, P::Transforming}, {23, 32, P::Cruise}, {9, 38, P::Burst2}}, -32);
  set(13, SetRole::Heavy,
      {{95, 0, P::Idle},
       {96, 0, P::Idle},
       {97, 0, P::Walk},
       {98, 0, P::Walk},
       {99, 0, P::Ready},
       {100, 0, P::Fire},
       {101, 0, P::Ready},
       {102, 0, P::Ready},
       {103, 0, P::Idle}});
  set(14, SetRole::Light, variant(light, {{4, {11, 0, P::Melee}}}));
  set(15, SetRole::Tall,
      {{104, 0, P::Idle},
       {105, 0, P::Idle},
       {106, 0, P::Walk},
       {107, 0, P::Walk},
       {108, 0, P::Ready},
       {109, 0, P::Fire},
       {110, 0, P::Ready}});
  set(16, SetRole::Light,
      variant(light, {{1, {24, 0, P::Idle}},
                      {2, {25, 0, P::Walk}},
                      {3, {26, 0, P::Crouch}},
                      {4, {27, 0, P::Guard}}}));
  set(17, SetRole::Armor, {{111, 0, P::Idle}, {112, 0, P::Idle}, {113, 0, P::Fire}});
  set(18, SetRole::Ship, {{118, 0, P::Hull}});
  set(19, SetRole::Ship, {{119, 0, P::Hull}});
  set(20, SetRole::Light,
      {{28, 0, P::Idle},
       {29, 0, P::Walk},
       {30, 0, P::Crouch},
       {31, 0, P::Guard},
       {32, 0, P::Ready},
       {6, 0, P::Fire},
       {33, 0, P::Melee},
       {34, 0, P::Boost}});
  set(21, SetRole::Light, variant(set6, {{3, {35, 0, P::Guard}}}));
  set(22, SetRole::Heavy,
      {{38, 0, P::Idle},
       {39, 0, P::Idle},
       {40, 0, P::Walk},
       {41, 0, P::Walk},
       {36, 0, P::Ready},
       {37, 0, P::Fire}});
  set(23, SetRole::Elite,
      {{42, 0, P::Idle},
       {43, 0, P::Idle},
       {47, 0, P::Walk},
       {48, 0, P::Walk},
       {45, 0, P::Ready},
       {46, 0, P::Fire},
       {44, 0, P::Ready},
       {49, 0, P::Ready},
       {50, 0, P::Melee},
       {51, 0, P::Idle}},
      32);
  for (int n = 24; n <= 51; ++n) {
    set(n, n >= 38 ? SetRole::Ship : SetRole::Single, {{n + 96, 0, n >= 38 ? P::Hull : P::Ready}});
  }
  return plan;
}

const Plan& ThePlan() {
  static const Plan plan = MakePlan();
  return plan;
}

// Cell (r, c) of a clip: its tile number, flip and offsets.
struct Cell {
  uint8_t tile = 0;
  uint8_t flip = 0;
  int8_t dx = 0;
  int8_t dy = 0;
};

Cell CellOf(const ClipDesign& clip, int r, int c) {
  const auto& clips = ThePlan().clips;
  switch (clip.kind) {
    case ClipKind::Canvas:
    case ClipKind::Filler:
      return {clip.numbers[static_cast<size_t>(r * clip.cols + c)], 0, 0, 0};
    case ClipKind::Symmetric: {
      const int half = (clip.cols + 1) / 2;
      if (c < half) return {clip.numbers[static_cast<size_t>(r * half + c)], 0, 0, 0};
      const int mirror = clip.cols - 1 - c;
      return {clip.numbers[static_cast<size_t>(r * half + mirror)], 1, 0, 0};
    }
    case ClipKind::Mirror: {
      Cell cell = CellOf(clips[clip.source - 1], r, clip.cols - 1 - c);
      cell.flip ^= 1;
      cell.dx = static_cast<int8_t>(-cell.dx);
      return cell;
    }
    case ClipKind::Rotate: {
      Cell cell = CellOf(clips[clip.source - 1], clip.rows - 1 - r, clip.cols - 1 - c);
      cell.flip ^= 3;
      cell.dx = static_cast<int8_t>(-cell.dx);
      cell.dy = static_cast<int8_t>(-cell.dy);
      return cell;
    }
    case ClipKind::Shift: {
      Cell cell = CellOf(clips[clip.source - 1], r, c);
      cell.dx = static_cast<int8_t>(cell.dx + clip.shiftX);
      cell.dy = static_cast<int8_t>(cell.dy + clip.shiftY);
      return cell;
    }
  }
  return {};
}

}  // namespace

const std::vector<ClipDesign>& ClipDesigns() { return ThePlan().clips; }
const std::vector<SetDesign>& SetDesigns() { return ThePlan().sets; }

ClipRecord MakeClipRecord(int clipNumber) {
  ClipRecord record{};
  const ClipDesign& design = ThePlan().clips.at(static_cast<size_t>(clipNumber - 1));
  record.cols = static_cast<uint8_t>(design.cols);
  record.rows = static_cast<uint8_t>(design.rows);
  for (int r = 0; r < design.rows; ++r) {
    for (int c = 0; c < design.cols; ++c) {
      const Cell cell = CellOf(design, r, c);
      const int k = r * kClipGridSide + c;
      record.tile[k] = cell.tile;
      record.flip[k] = cell.flip;
      record.dx[k] = cell.dx;
      record.dy[k] = cell.dy;
    }
  }
  return record;
}

int PreviewFrameOf(int setNumber, int entryIndex) {
  const SetDesign& set = ThePlan().sets.at(static_cast<size_t>(setNumber - 1));
  return set.frames.size() > 5 && entryIndex < 183 ? 5 : 1;
}

void CheckClipPlan() {
  const Plan& plan = ThePlan();
  // The sets drawn here are the program's animation sets.
  AnimSetTable table;
  BuildAnimSetTable(table);
  for (const SetDesign& set : plan.sets) {
    const AnimSetEntry* entry = table.Find(set.number);
    bool same = entry != nullptr && entry->frameCount == set.frames.size();
    for (size_t f = 0; same && f < set.frames.size(); ++f) {
      same = entry->clipNumber[f] == set.frames[f].clip &&
             entry->tileBase[f] == set.frames[f].tileBase;
    }
    if (!same)
      throw std::logic_error("set " + std::to_string(set.number) +
                             " differs from the animation set table");
  }
  int cells = 0;
  for (const ClipDesign& clip : plan.clips) {
    if (clip.cols < 1 || clip.cols > 16 || clip.rows < 1 || clip.rows > 16) {
      throw std::logic_error("clip " + std::to_string(clip.number) + " has no size");
    }
    cells += clip.cols * clip.rows;
  }
  if (cells != kShippedClipCells) {
    throw std::logic_error("clip cells add up to " + std::to_string(cells));
  }
  for (const SetDesign& set : plan.sets) {
    // Sheet tile -> (clip, base) of the canvas frame that draws it.
    std::map<int, std::pair<int, int32_t>> owner;
    for (const SetFrame& frame : set.frames) {
      const ClipDesign& clip = plan.clips[frame.clip - 1];
      if (clip.kind != ClipKind::Canvas && clip.kind != ClipKind::Symmetric) continue;
      for (uint8_t number : clip.numbers) {
        const int tile = frame.tileBase + number - 1;
        const auto [it, fresh] = owner.emplace(tile, std::make_pair(frame.clip, frame.tileBase));
        if (!fresh && it->second != std::make_pair(frame.clip, frame.tileBase)) {
          throw std::logic_error("set " + std::to_string(set.number) + " draws tile " +
                                 std::to_string(tile) + " twice");
        }
      }
    }
    for (const SetFrame& frame : set.frames) {
      const ClipRecord record = MakeClipRecord(frame.clip);
      for (int r = 0; r < record.rows; ++r) {
        for (int c = 0; c < record.cols; ++c) {
          const int t = record.tile[r * kClipGridSide + c];
          if (t == 0) continue;
          const int tile = frame.tileBase + t - 1;
          if (tile < 0 || tile >= kTilesPerSheet || !owner.contains(tile)) {
            throw std::logic_error("set " + std::to_string(set.number) + " reads tile " +
                                   std::to_string(tile) + " that no frame draws");
          }
        }
      }
    }
  }
}

}  // namespace varsk::datagen
