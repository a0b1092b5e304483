// Ships: hulls seen from the side, bow to the right, engines glowing at the
// stern. The class sets the hull's bulk, turrets and hangar deck; the faction
// and the sprite's seed the bow, the superstructure and the details.
#include <algorithm>

#include "art.h"
#include "prng.h"

namespace varsk::datagen {
namespace {

int Pct(int v, int percent) { return v * percent / 100; }

void Turret(Canvas& c, int x, int deckY, int size, bool twin) {
  const int h = std::max(2, size / 2 + 1);
  c.Box(x, deckY - h, x + size, deckY, kMetal);
  const int barrel = size + 2;
  c.Line(x + size, deckY - h + 1, x + size + barrel, deckY - h + 1, kOutline);
  if (twin) c.Line(x + size, deckY - h + 3, x + size + barrel, deckY - h + 3, kOutline);
}

}  // namespace

void DrawShip(Canvas& c, const SpriteDesign& design) {
  Prng prng(design.seed);
  const int w = c.Width(), h = c.Height();
  const int cls = design.shipClass;  // 0 corvette .. 6 dreadnought
  const int bowStyle = (design.faction + prng.Range(0, 2)) % 3;

  // Hull band.
  const int hullTop = Pct(h, cls >= 5 ? 42 : cls == 4 ? 48 : 46);
  const int hullBottom = h - 2 - Pct(h, 8);
  const int sternX = std::max(7, Pct(w, 9));
  const int bowX = w - 2;
  const int mid = (hullTop + hullBottom) / 2;

  // Engines behind the stern: nozzles with exhaust.
  const int engines = cls >= 4 ? 3 : 2;
  const int band = (hullBottom - hullTop) / engines;
  for (int i = 0; i < engines; ++i) {
    const int y0 = hullTop + 1 + i * band, y1 = y0 + std::max(2, band - 2);
    c.Polygon({0, (y0 + y1) / 2, 4, y0, 4, y1}, kGlowMat, false);
    c.Line(1, (y0 + y1) / 2, 4, (y0 + y1) / 2, kFlash);
    c.Box(4, y0 - 1, sternX + 1, y1 + 1, kMetal);
  }

  // Engine nacelles slung under the after hull on some factions' ships.
  const bool nacelle = design.faction % 4 == 1 || (cls >= 3 && prng.Chance(30));
  if (nacelle) {
    const int nh = std::max(4, Pct(h, 16));
    const int ny = std::min(h - 2 - nh, hullBottom - nh / 2);
    c.Polygon({0, ny + nh / 2, 3, ny, 3, ny + nh}, kGlowMat, false);
    c.Box(3, ny, Pct(w, 48), ny + nh, kSecondary);
    c.Line(5, ny + nh / 2, Pct(w, 46), ny + nh / 2, kAccent0 + 1);
  }

  // Keel fin or lower sponson.
  if (cls >= 3 || prng.Chance(40)) {
    const int fx = Pct(w, prng.Range(35, 55));
    c.Polygon({fx, hullBottom - 2, fx + Pct(w, 22), hullBottom - 2, fx + Pct(w, 12), h - 2,
               fx + Pct(w, 4), h - 2},
              kSecondary);
  }

  // The hull itself, by bow style.
  std::vector<int> hull;
  switch (bowStyle) {
    case 0:  // long pointed bow
      hull = {sternX, hullTop,    Pct(w, 72), hullTop, bowX,
              mid,    Pct(w, 78), hullBottom, sternX,  hullBottom};
      break;
    case 1:  // ram: the lower edge runs forward further than the deck
      hull = {sternX,    hullTop,    Pct(w, 80),
              hullTop,   bowX,       hullBottom - Pct(hullBottom - hullTop, 25),
              bowX - 2,  hullBottom, sternX,
              hullBottom};
      break;
    default:  // raked blunt bow
      hull = {sternX,     hullTop,        Pct(w, 86),
              hullTop,    bowX,           hullTop + Pct(hullBottom - hullTop, 40),
              bowX,       hullBottom - 2, Pct(w, 90),
              hullBottom, sternX,         hullBottom};
      break;
  }
  c.Polygon(hull, kPrimary);
  // Lower hull in the secondary colour, an accent stripe and plating seams.
  std::vector<int> belly;
  const int bellyTop = mid + Pct(hullBottom - hullTop, 18);
  for (int x = sternX + 1; x < bowX; ++x) {
    for (int y = bellyTop; y < hullBottom; ++y) {
      const uint8_t ink = c.At(x, y);
      if (ink >= kPrimary0 && ink <= kPrimary0 + 3)
        c.Set(x, y, y == hullBottom - 1 ? kSecondary0 : kSecondary0 + 1);
    }
  }
  for (int x = sternX + 1; x < bowX - 2; ++x) {
    const uint8_t ink = c.At(x, bellyTop - 1);
    if (ink >= kPrimary0 && ink <= kPrimary0 + 3) c.Set(x, bellyTop - 1, kAccent0 + 1);
  }
  const int seam = std::max(8, Pct(w, 11));
  for (int x = sternX + seam; x < Pct(w, 80); x += seam) {
    for (int y = hullTop + 2; y < bellyTop - 1; ++y) {
      if (c.At(x, y) >= kPrimary0 && c.At(x, y) <= kPrimary0 + 3) c.Set(x, y, kPrimary0);
    }
  }
  // Portholes.
  const int portY = hullTop + Pct(bellyTop - hullTop, 45);
  for (int x = sternX + 4; x < Pct(w, 74); x += 3) {
    if (c.At(x, portY) >= kPrimary0 && c.At(x, portY) <= kPrimary0 + 3) c.Set(x, portY, kGlow);
  }

  // A raised citadel amidships on the larger classes.
  if (cls >= 2 && cls != 4) {
    const int top = hullTop - Pct(h, 14);
    const int x0 = Pct(w, 16), x1 = Pct(w, cls >= 5 ? 74 : 66);
    c.Polygon({x0, hullTop + 1, x0 + 3, top, x1 - 4, top, x1, hullTop + 1}, kPrimary);
    for (int x = x0 + 5; x < x1 - 5; x += 4) c.Set(x, top + 2, kGlow);
  }

  // Hangar deck on carriers: a long flat block with a launch bay at the bow end.
  if (cls == 4) {
    const int deckTop = hullTop - Pct(h, 16);
    const int x0 = Pct(w, 34), x1 = Pct(w, 90);
    c.Polygon({x0, deckTop, x1 - 3, deckTop, x1, hullTop + 1, x0, hullTop + 1}, kSecondary);
    c.Box(x1 - Pct(w, 10), deckTop + 2, x1 - 2, hullTop - 1, kDark, false);
    c.Line(x0 + 2, deckTop + 2, x1 - Pct(w, 12), deckTop + 2, kAccent0 + 1);
  }

  // Superstructure: bridge tower with windows and a mast.
  const bool bridgeForward = cls != 4 && design.faction % 3 == 2;
  const int towerX0 = Pct(w, cls == 4        ? 16
                             : bridgeForward ? prng.Range(52, 58)
                                             : prng.Range(18, 30));
  const int towerW = std::max(8, Pct(w, cls >= 5 ? 16 : 13));
  const int towerTop = std::max(3, hullTop - Pct(h, cls >= 5 ? 34 : cls >= 2 ? 30 : 24));
  c.Polygon({towerX0, hullTop + 1, towerX0 + 2, towerTop + 2, towerX0 + towerW - 3, towerTop,
             towerX0 + towerW, hullTop + 1},
            kSecondary);
  // Upper bridge with its window band.
  c.Box(towerX0 + 3, towerTop - 2, towerX0 + towerW - 2, towerTop + 4, kSecondary);
  c.Line(towerX0 + 4, towerTop + 1, towerX0 + towerW - 3, towerTop + 1, kOutline);
  for (int x = towerX0 + 5; x < towerX0 + towerW - 3; x += 2) c.Set(x, towerTop + 1, kGlow);
  const int mastX = towerX0 + towerW / 2;
  c.Line(mastX, towerTop, mastX, std::max(0, towerTop - Pct(h, 12)), kOutline);
  c.Line(mastX - 2, std::max(1, towerTop - Pct(h, 8)), mastX + 2, std::max(1, towerTop - Pct(h, 8)),
         kOutline);
  c.Set(mastX, std::max(0, towerTop - Pct(h, 12)), kAccent0 + 1);

  // Turrets forward of the tower (none on carriers' hangar deck).
  const int turretSize = std::max(4, Pct(h, cls >= 5 ? 12 : 10));
  const int turrets = cls == 4 ? 1 : std::min(1 + cls / 2 + prng.Range(0, 1), 4);
  int tx = bridgeForward ? Pct(w, 24) : towerX0 + towerW + 2;
  const int turretEnd = cls == 4 ? Pct(w, 30) : Pct(w, 76);
  if (cls == 4) tx = sternX + 2;
  for (int i = 0; i < turrets && tx + turretSize < turretEnd; ++i) {
    if (bridgeForward && tx + turretSize + 2 >= towerX0 && tx <= towerX0 + towerW)
      tx = towerX0 + towerW + 2;
    if (tx + turretSize >= turretEnd) break;
    const bool onCitadel = cls >= 2 && tx < Pct(w, cls >= 5 ? 70 : 62);
    Turret(c, tx, onCitadel ? hullTop - Pct(h, 14) + 1 : hullTop + 1, turretSize, cls >= 3);
    tx += turretSize + turretSize + 4;
  }
  // A rear turret on the larger classes.
  if (cls >= 3 && cls != 4) Turret(c, sternX + 2, hullTop + 1, std::max(3, turretSize - 1), false);

  // Dorsal fin on some factions' ships.
  if (design.faction % 2 == 1 && cls >= 2 && cls != 4) {
    const int fx = towerX0 - Pct(w, 8);
    c.Polygon({fx, hullTop + 1, fx + 3, hullTop - Pct(h, 14), fx + 6, hullTop + 1}, kAccent);
  }
  c.OutlineAll();
}

}  // namespace varsk::datagen
