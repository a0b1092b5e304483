// Palettes from faction liveries.
#include "palettes.h"

#include <algorithm>

#include "art.h"

namespace varsk::datagen {
namespace {

Rgb Scale(Rgb c, int percent) {
  auto ch = [&](int v) { return std::clamp(v * percent / 100, 0, 255); };
  return {ch(c.r), ch(c.g), ch(c.b)};
}

Rgb Mix(Rgb a, Rgb b, int percentB) {
  auto ch = [&](int x, int y) { return (x * (100 - percentB) + y * percentB) / 100; };
  return {ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b)};
}

// Ramps: dark, mid, light, highlight.
void PutRamp(Palette16& p, int first, int count, Rgb base) {
  const Rgb white{255, 255, 255};
  const Rgb shades[4] = {Scale(base, 55), base, Mix(base, white, 30), Mix(base, white, 62)};
  const int pick3[3] = {0, 1, 2};
  for (int i = 0; i < count; ++i) {
    p.colours[first + i] = ToBgr555(count == 4 ? shades[i] : shades[pick3[i]]);
  }
}

Livery VariantLivery(const Livery& base, Variant v) {
  Livery l = base;
  switch (v) {
    case Variant::Command:
      l.primary = Mix(base.primary, {200, 40, 40}, 55);
      l.accent = {236, 196, 70};
      break;
    case Variant::Desert:
      l.primary = {196, 170, 116};
      l.secondary = Mix(base.secondary, {130, 100, 60}, 60);
      break;
    case Variant::Marine:
      l.primary = {52, 96, 150};
      l.secondary = Mix(base.secondary, {40, 150, 140}, 60);
      break;
    case Variant::Space:
      l.primary = Mix(base.primary, {220, 224, 232}, 60);
      break;
    case Variant::Heavy:
      l.primary = Scale(base.primary, 78);
      l.secondary = Mix(base.secondary, {90, 90, 96}, 50);
      break;
    case Variant::Recon:
      l.primary = Mix(base.primary, {110, 140, 90}, 55);
      l.glow = {250, 120, 40};
      break;
    case Variant::Sniper:
      l.primary = Mix(base.primary, {70, 80, 110}, 50);
      l.glow = {240, 60, 60};
      break;
    case Variant::Assault:
      l.primary = Mix(base.primary, {210, 120, 40}, 45);
      break;
    case Variant::Custom:
      l.primary = Mix(base.primary, {236, 236, 240}, 35);
      l.accent = {240, 200, 60};
      l.secondary = Mix(base.secondary, {160, 40, 50}, 50);
      break;
    case Variant::Prototype:
      l.primary = Mix(base.primary, {230, 230, 236}, 70);
      l.accent = {236, 90, 40};
      break;
    case Variant::Base:
      break;
  }
  return l;
}

Palette16 FromLivery(const Livery& l, Rgb outline, Rgb metal) {
  Palette16 p{};
  p.colours[0] = ToBgr555({255, 0, 255});  // never drawn
  p.colours[kOutline] = ToBgr555(outline);
  PutRamp(p, kPrimary0, 4, l.primary);
  PutRamp(p, kSecondary0, 3, l.secondary);
  PutRamp(p, kMetal0, 3, metal);
  p.colours[kAccent0] = ToBgr555(Scale(l.accent, 70));
  p.colours[kAccent0 + 1] = ToBgr555(l.accent);
  p.colours[kGlow] = ToBgr555(l.glow);
  p.colours[kFlash] = ToBgr555({252, 244, 190});
  return p;
}

}  // namespace

uint16_t ToBgr555(Rgb c) {
  return static_cast<uint16_t>((c.r >> 3) | ((c.g >> 3) << 5) | ((c.b >> 3) << 10));
}

Palette16 EntryPalette(int position) {
  const Catalogue& cat = TheCatalogue();
  if (position >= kEntries) {
    // The spare last palette: plain greys.
    return FromLivery({{150, 150, 156}, {96, 96, 104}, {200, 200, 90}, {120, 240, 240}},
                      {24, 22, 30}, {120, 122, 130});
  }
  const EntryDesign& e = cat.entries[static_cast<size_t>(position)];
  const Faction& f = cat.factions[static_cast<size_t>(e.faction)];
  return FromLivery(VariantLivery(f.livery, e.variant), {22, 20, 30}, {112, 116, 128});
}

Palette16 IconPalette(int i) {
  // 0 blue and white, 1 red and black, 2 green and bronze, 3 violet and gold.
  static const Livery kIcons[4] = {
      {{52, 96, 196}, {230, 232, 240}, {236, 196, 64}, {250, 250, 250}},
      {{196, 44, 40}, {52, 48, 58}, {220, 220, 228}, {250, 230, 120}},
      {{64, 150, 70}, {176, 120, 60}, {236, 226, 180}, {250, 250, 200}},
      {{120, 64, 170}, {226, 178, 60}, {236, 236, 244}, {250, 240, 150}},
  };
  return FromLivery(kIcons[i], {18, 16, 24}, {140, 144, 156});
}

}  // namespace varsk::datagen
