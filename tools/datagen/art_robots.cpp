// Mobile units: front-view humanoid robots built from shaded parts, each part
// with its own dark outline. The body plan comes from the faction (head and
// shoulders), the tier (bulk, backpack, size of the canvas) and the sprite's
// seed (weapon, shield, details); the pose from the frame.
#include <algorithm>

#include "art.h"
#include "prng.h"

namespace varsk::datagen {
namespace {

enum class Weapon { Rifle, Bazooka, Gatling, Lance, Cannon };

struct Body {
  int cx;    // centre column
  int top;   // top of the head
  int unit;  // body height in pixels
  int headW, headH;
  int chestW, chestH;
  int waistW, waistH;
  int hipW, hipH;
  int legW, thighH, shinH, footH;
  int shoulderW, shoulderH;
  int armW;
};

struct Plan {
  int headStyle;
  int shoulderStyle;
  int bulk;  // 0 slim .. 3 massive
  Weapon weapon;
  bool shield;
  bool backCannons;
  bool thrusters;
  bool symmetric;
};

int P(int v, int percent) { return std::max(1, v * percent / 100); }

Plan MakePlan(const SpriteDesign& d, bool symmetric) {
  const Faction& f = TheCatalogue().factions[static_cast<size_t>(d.faction)];
  Prng prng(d.seed);
  Plan p{};
  p.headStyle = f.headStyle;
  if (d.tier >= 3 && prng.Chance(50)) p.headStyle = 2;
  if (prng.Chance(15)) p.headStyle = prng.Range(0, 4);
  p.shoulderStyle = prng.Chance(75) ? f.shoulderStyle : prng.Range(0, 3);
  p.bulk = std::clamp(d.tier - 1 + prng.Range(-1, 1) + (d.tier == 4 ? 1 : 0), 0, 3);
  static const Weapon kWeapons[] = {Weapon::Rifle, Weapon::Rifle, Weapon::Bazooka, Weapon::Gatling,
                                    Weapon::Lance, Weapon::Rifle, Weapon::Cannon};
  p.weapon = kWeapons[prng.Range(0, 6)];
  p.shield = prng.Chance(d.tier >= 3 ? 55 : 35) && p.weapon != Weapon::Gatling;
  p.backCannons = d.tier == 4 || (d.tier >= 2 && prng.Chance(25));
  p.thrusters = prng.Chance(60);
  p.symmetric = symmetric;
  if (symmetric) {
    p.shield = false;
    p.backCannons = true;
    p.weapon = Weapon::Gatling;
  }
  return p;
}

Body MakeBody(const Canvas& c, const Plan& p, Pose pose) {
  Body b{};
  const int w = c.Width(), h = c.Height();
  b.cx = w / 2;
  int room = h - 2;
  if (p.backCannons) room -= P(room, 6);  // the barrels stand above the shoulders
  if (p.headStyle == 2 || p.headStyle == 3)
    room -= std::max(2, room / 14);  // fin or crest above the head
  // Keep the figure inside the width too: arms and weapon need about 1.1 units.
  // Body, shoulders and a margin for the weapon take about (78 + 11 * bulk) %
  // of the height in width; a narrow canvas gets a slimmer build rather than
  // a smaller one.
  int bulk = p.bulk;
  while (bulk > 0 && w * 100 / (78 + 11 * bulk) < room * 9 / 10) --bulk;
  const int u = std::min(room, w * 100 / (78 + 11 * bulk));
  b.unit = u;
  b.top = h - 1 - u;  // feet on the ground line
  // Small sprites read better with a bigger head and chest and shorter legs.
  const int small = u < 40 ? 1 : 0;
  b.headH = std::max(5, P(u, 17 - bulk + 2 * small));
  b.headW = std::max(5, P(u, 17 + bulk));
  b.chestH = P(u, 23 + bulk + 3 * small);
  b.chestW = P(u, 36 + 5 * bulk + 6 * small);
  b.waistH = P(u, 7);
  b.waistW = P(b.chestW, 55 + 5 * bulk);
  b.hipH = P(u, 10 + bulk);
  b.hipW = P(b.chestW, 82 + 4 * bulk);
  b.footH = std::max(2, P(u, 7));
  const int legTotal = b.unit - b.headH - b.chestH - b.waistH - b.hipH + 3;
  b.thighH = P(legTotal, 42);
  b.shinH = legTotal - b.thighH - b.footH + 2;
  b.legW = std::max(5, P(u, 15 + 2 * bulk + 2 * small));
  b.shoulderW = std::max(4, P(u, 15 + 3 * bulk));
  b.shoulderH = std::max(4, P(u, 14 + 2 * bulk));
  b.armW = std::max(3, P(u, 10 + bulk));
  if (pose == Pose::Crouch) {
    const int drop = P(b.thighH, 45);
    b.top += drop;
    b.thighH -= drop / 2;
    b.shinH -= drop - drop / 2;
  }
  if (pose == Pose::Boost) b.top -= 1;
  return b;
}

void DrawHead(Canvas& c, const Body& b, const Plan& p) {
  const int x0 = b.cx - b.headW / 2, x1 = x0 + b.headW - 1;
  const int y0 = b.top, y1 = b.top + b.headH - 1;
  const int eyeY = y0 + b.headH / 2;
  switch (p.headStyle) {
    case 0:  // dome with a mono-eye in a dark slit
      c.Ellipse(x0 + x1 + 1, y0 + y1 + 3, b.headW + 1, b.headH + 3, kPrimary);
      c.Line(x0 + 1, eyeY, x1 - 1, eyeY, kOutline);
      c.Set(b.cx - 1 + (b.headW > 6 ? 1 : 0), eyeY, kGlow);
      if (b.headW > 8) c.Set(b.cx + 1, eyeY, kGlow);
      break;
    case 1:  // box with a visor
      c.Box(x0, y0 + 1, x1, y1, kPrimary);
      c.Box(x0 + 1, y0, x1 - 1, y0 + 2, kSecondary);
      c.Line(x0 + 1, eyeY, x1 - 1, eyeY, kGlow);
      if (b.headH > 7) c.Line(x0 + 2, eyeY + 1, x1 - 2, eyeY + 1, kAccent0 + 1);
      break;
    case 2: {  // twin eyes and a V fin
      c.Box(x0, y0 + 1, x1, y1, kPrimary);
      const int finH = std::max(2, b.headH / 2);
      c.Line(b.cx, y0 + 1, b.cx - b.headW / 2 - 1, y0 + 1 - finH, kAccent0 + 1);
      c.Line(b.cx - 1, y0 + 1, b.cx - b.headW / 2 - 2, y0 + 1 - finH, kAccent0);
      c.Line(b.cx, y0 + 1, b.cx + b.headW / 2 + 1, y0 + 1 - finH, kAccent0 + 1);
      c.Line(b.cx + 1, y0 + 1, b.cx + b.headW / 2 + 2, y0 + 1 - finH, kAccent0);
      c.Set(b.cx, y0 + 1, kAccent0 + 1);
      c.Set(b.cx - 2, eyeY, kGlow);
      c.Set(b.cx + 1, eyeY, kGlow);
      if (b.headW > 8) {
        c.Set(b.cx - 3, eyeY, kGlow);
        c.Set(b.cx + 2, eyeY, kGlow);
      }
      c.Set(b.cx, y1 - 1, kSecondary0 + 2);
      c.Set(b.cx - 1, y1 - 1, kSecondary0 + 2);
      break;
    }
    case 3:  // helmet with a crest
      c.Ellipse(x0 + x1 + 1, y0 + y1 + 2, b.headW + 1, b.headH + 1, kPrimary);
      c.Box(b.cx - 1, y0 - 2, b.cx, y0 + b.headH / 2, kAccent);
      c.Line(x0 + 1, eyeY, x1 - 1, eyeY, kOutline);
      c.Line(x0 + 2, eyeY, x1 - 2, eyeY, kGlow);
      break;
    default:  // wedge
      c.Polygon({x0, y0 + 2, b.cx - 1, y0 - 1, b.cx, y0 - 1, x1, y0 + 2, x1, y1, x0, y1}, kPrimary);
      c.Line(x0 + 1, eyeY, b.cx - 1, eyeY + 1, kGlow);
      c.Line(x1 - 1, eyeY, b.cx, eyeY + 1, kGlow);
      break;
  }
}

void DrawShoulder(Canvas& c, int x0, int y0, const Body& b, const Plan& p, bool left) {
  const int x1 = x0 + b.shoulderW - 1, y1 = y0 + b.shoulderH - 1;
  switch (p.shoulderStyle) {
    case 0:
      c.Ellipse(x0 + x1 + 1, y0 + y1 + 1, b.shoulderW, b.shoulderH, kPrimary);
      break;
    case 1:
      c.Box(x0, y0, x1, y1, kSecondary);
      c.Box(x0 + 1, y1 - b.shoulderH / 3, x1 - 1, y1, kAccent);
      break;
    case 2:
      c.Box(x0, y0 + 1, x1, y1, kPrimary);
      if (left) {
        c.Polygon({x0, y0 + 2, x0 - 2, y0 - 1, x0 + 3, y0 + 1}, kAccent);
      } else {
        c.Polygon({x1, y0 + 2, x1 + 2, y0 - 1, x1 - 3, y0 + 1}, kAccent);
      }
      break;
    default:
      c.Box(x0, y0, x1, y0 + b.shoulderH / 2, kPrimary);
      c.Box(x0 + (left ? 1 : 0), y0 + b.shoulderH / 2 - 1, x1 - (left ? 0 : 1), y1, kSecondary);
      break;
  }
}

// A gun held in front of the unit's right hand (viewer's left), pointing left
// when raised, down when lowered.
void DrawWeapon(Canvas& c, const Body& b, const Plan& p, int handX, int handY, bool raised,
                bool firing) {
  const int len = std::max(6, b.unit * (p.weapon == Weapon::Lance ? 42 : 30) / 100);
  const int thick = std::max(2, b.armW - 1 + (p.weapon == Weapon::Bazooka ? 1 : 0));
  if (p.weapon == Weapon::Lance) {
    // A lance held upright, its arc head glowing.
    const int x = handX;
    c.Box(x - 1, handY - len * 2 / 3, x, handY + len / 3, kMetal);
    c.Polygon({x - 2, handY - len * 2 / 3, x, handY - len * 2 / 3 - 5, x + 1, handY - len * 2 / 3},
              kGlowMat);
    c.Set(x - 1, handY - len * 2 / 3 - 2, kFlash);
    return;
  }
  if (raised) {
    const int x1 = handX + 2, x0 = std::max(1, handX - len);
    const int y0 = handY - thick / 2;
    c.Box(x0, y0, x1, y0 + thick, p.weapon == Weapon::Bazooka ? kSecondary : kDark);
    if (p.weapon == Weapon::Gatling) c.Box(x0 - 1, y0 + 1, x0 + 2, y0 + thick - 1, kMetal);
    if (p.weapon == Weapon::Cannon) c.Box(x0 + len / 3, y0 - 2, x0 + len / 3 + 2, y0, kMetal);
    c.Box(handX - 2, y0 + thick, handX, y0 + thick + 2, kDark);  // grip
    if (firing) {
      c.Polygon({x0 - 1, y0 - 1, x0 - 5, y0 + thick / 2, x0 - 1, y0 + thick + 1}, kGlowMat, false);
      c.Set(x0 - 2, y0 + thick / 2, kFlash);
      c.Set(x0 - 3, y0 + thick / 2, kFlash);
    }
  } else {
    const int y0 = handY - 2, y1 = std::min(c.Height() - 2, handY + len - 2);
    c.Box(handX - thick / 2 - 1, y0, handX + thick / 2, y1,
          p.weapon == Weapon::Bazooka ? kSecondary : kDark);
    if (p.weapon == Weapon::Gatling) c.Box(handX - 1, y1 - 2, handX + 1, y1, kMetal);
  }
}

void DrawShield(Canvas& c, const Body& b, int x, int y, bool front) {
  const int w = std::max(5, b.shoulderW + (front ? 2 : 0));
  const int h = std::max(8, b.chestH + b.waistH + (front ? 2 : 0));
  c.Polygon({x, y, x + w - 1, y, x + w - 1, y + h - 4, x + w / 2, y + h - 1, x, y + h - 4},
            kSecondary);
  c.Box(x + w / 2 - 1, y + 2, x + w / 2, y + h - 5, kAccent, false);
}

// The transforming unit's flight form, seen from the side, nose to the left
// like the raised guns: fuselage, swept wing, tail fin, cockpit and exhaust.
void DrawFlightForm(Canvas& c, const Plan& p) {
  const int w = c.Width(), h = c.Height();
  const int cy = h / 2;
  const int noseX = 2, tailX = w - 7;
  const int body = std::max(4, h / 5);
  c.Box(tailX - 2, cy - body / 2 + 1, tailX + 2, cy + body / 2 - 1, kMetal);  // engine
  c.Polygon({tailX + 3, cy - 2, w - 1, cy, tailX + 3, cy + 2}, kGlowMat, false);
  c.Set(tailX + 4, cy, kFlash);
  c.Polygon({tailX - 9, cy - body / 2, tailX - 3, cy - body / 2 - h / 3, tailX + 1,
             cy - body / 2 - h / 3, tailX + 1, cy - body / 2},
            kSecondary);  // tail fin
  c.Polygon({noseX, cy, noseX + w / 5, cy - body / 2, tailX, cy - body / 2, tailX, cy + body / 2,
             noseX + w / 5, cy + body / 2},
            kPrimary);  // fuselage
  c.Polygon({w / 3, cy + 1, w / 2 + 4, cy + 1, tailX - 2, cy + h / 3, w / 2 + 2, cy + h / 3},
            kPrimary);  // wing
  c.Line(w / 3 + 3, cy + 2, w / 2 + 3, cy + h / 3 - 1, kAccent0 + 1);
  c.Polygon({noseX + w / 6, cy - body / 2, noseX + w / 6 + 4, cy - body / 2 - 3, noseX + w / 6 + 9,
             cy - body / 2 - 3, noseX + w / 6 + 11, cy - body / 2},
            kGlowMat);  // canopy
  if (p.weapon != Weapon::Lance)
    c.Box(w / 3, cy + body / 2, w / 2, cy + body / 2 + 2, kDark);  // the gun, slung
  c.OutlineAll();
}

}  // namespace

void DrawRobot(Canvas& c, const SpriteDesign& design, Pose pose, bool symmetric) {
  const Plan p = MakePlan(design, symmetric);
  if (pose == Pose::Cruise) {
    DrawFlightForm(c, p);
    return;
  }
  if (pose == Pose::Transforming) pose = Pose::Crouch;
  const Body b = MakeBody(c, p, pose);
  const int chestTop = b.top + b.headH - 1;
  const int chestBottom = chestTop + b.chestH - 1;
  const int waistBottom = chestBottom + b.waistH;
  const int hipBottom = waistBottom + b.hipH - 1;
  const int chestX0 = b.cx - b.chestW / 2, chestX1 = chestX0 + b.chestW - 1;

  // Behind the body: shoulder cannons or thruster pods.
  if (p.backCannons) {
    const int barrelW = std::max(3, b.armW);
    for (int side = 0; side < 2; ++side) {
      if (!p.symmetric && side == 1 && design.tier < 4) break;
      const int x = side == 0 ? chestX0 + 1 : chestX1 - barrelW;
      c.Box(x, b.top - P(b.unit, 6) - 1, x + barrelW - 1, chestTop + 3, kMetal);
      c.Box(x - 1, chestTop - 1, x + barrelW, chestTop + 4, kSecondary);
    }
  } else if (p.thrusters) {
    c.Box(chestX0 - 1, chestTop + 1, chestX0 + 2, chestTop + b.chestH / 2, kMetal);
    c.Box(chestX1 - 2, chestTop + 1, chestX1 + 1, chestTop + b.chestH / 2, kMetal);
  }

  // Legs.
  const int gap = std::max(1, b.legW / 4);
  for (int side = 0; side < 2; ++side) {
    const int dir = side == 0 ? -1 : 1;
    int lift = 0;
    int spread = 0;
    if (pose == Pose::Walk) lift = side == 0 ? P(b.thighH, 35) : 0;
    if (pose == Pose::Crouch || pose == Pose::Melee) spread = P(b.legW, 35);
    if (pose == Pose::Boost) lift = side == 1 ? 2 : 0;
    const int lx0 = side == 0 ? b.cx - gap / 2 - b.legW - spread : b.cx + (gap + 1) / 2 + spread;
    const int lx1 = lx0 + b.legW - 1;
    const int thighTop = hipBottom - 2;
    const int kneeY = thighTop + b.thighH - lift;
    c.Box(lx0 + 1, thighTop, lx1 - 1, kneeY + 1, kMetal);
    const int shinBottom = kneeY + b.shinH;
    const int flare = b.legW >= 7 ? 1 : 0;
    c.Polygon({lx0, kneeY, lx1, kneeY, lx1 + flare, shinBottom, lx0 - flare, shinBottom}, kPrimary);
    c.Box(lx0 + 1, kneeY - 1, lx1 - 1, kneeY + std::max(2, b.shinH / 4), kSecondary);  // knee guard
    const int footY = shinBottom;
    c.Box(lx0 - 1 - (dir < 0 ? 1 : 0), footY - 1, lx1 + 1 + (dir > 0 ? 1 : 0), footY + b.footH - 1,
          kSecondary);
    if (pose == Pose::Boost) {
      c.Polygon({lx0 + 1, footY + b.footH, lx1 - 1, footY + b.footH,
                 b.cx + dir * (gap / 2 + b.legW / 2), footY + b.footH + 4},
                kGlowMat, false);
    }
  }

  // Hips, waist, chest. Bulky units hang armour plates from the hips.
  if (b.unit >= 44 && p.bulk >= 2) {
    const int plateW = std::max(4, b.legW - 1);
    const int plateBottom = hipBottom + b.thighH / 2;
    const int hx0 = b.cx - b.hipW / 2 - 1, hx1 = b.cx - b.hipW / 2 + b.hipW;
    c.Polygon({hx0, waistBottom, hx0 + plateW, waistBottom, hx0 + plateW, plateBottom, hx0 - 1,
               plateBottom - 2},
              kSecondary);
    c.Polygon({hx1 - plateW, waistBottom, hx1, waistBottom, hx1 + 1, plateBottom - 2, hx1 - plateW,
               plateBottom},
              kSecondary);
  }
  c.Box(b.cx - b.hipW / 2, waistBottom - 1, b.cx - b.hipW / 2 + b.hipW - 1, hipBottom, kPrimary);
  c.Box(b.cx - 1, waistBottom, b.cx, hipBottom - 1, kAccent);
  c.Box(b.cx - b.waistW / 2, chestBottom - 1, b.cx - b.waistW / 2 + b.waistW - 1, waistBottom,
        kMetal);
  c.Polygon({chestX0, chestTop, chestX1, chestTop, chestX1, chestBottom - 2, chestX1 - 2,
             chestBottom, chestX0 + 2, chestBottom, chestX0, chestBottom - 2},
            kPrimary);
  // Chest detail: a cockpit hatch and vents.
  const int hatchW = std::max(2, b.chestW / 4);
  c.Box(b.cx - hatchW / 2, chestTop + 2, b.cx - hatchW / 2 + hatchW - 1,
        chestTop + 2 + std::max(2, b.chestH / 3), kSecondary);
  if (b.chestW >= 14) {
    c.Line(chestX0 + 2, chestTop + b.chestH / 2, chestX0 + b.chestW / 4, chestTop + b.chestH / 2,
           kAccent0 + 1);
    c.Line(chestX1 - b.chestW / 4, chestTop + b.chestH / 2, chestX1 - 2, chestTop + b.chestH / 2,
           kAccent0 + 1);
  }

  DrawHead(c, b, p);

  // Arms and shoulders. Side 0 is the unit's right (viewer's left) and holds the weapon.
  const int armLen = P(b.unit, 30);
  for (int side = 0; side < 2; ++side) {
    const bool gunArm = side == 0 && !p.symmetric;
    const int sx0 = side == 0 ? chestX0 - b.shoulderW + 2 : chestX1 - 1;
    const int ax0 = side == 0 ? chestX0 - b.armW + 1 : chestX1;
    const int armTop = chestTop + b.shoulderH / 2;
    bool raised = gunArm && (pose == Pose::Ready || pose == Pose::Fire || pose == Pose::Guard);
    const bool swing = side == 1 && pose == Pose::Melee;
    if (swing) {
      // The off arm raised high with an arc blade.
      c.Box(ax0, armTop - armLen / 2, ax0 + b.armW - 1, armTop + 2, kMetal);
      c.Box(ax0 - 1, armTop - armLen / 2 - 2, ax0 + b.armW, armTop - armLen / 2 + 2, kMetal);
      c.Box(ax0 + b.armW / 2 - 1, std::max(0, armTop - armLen / 2 - armLen), ax0 + b.armW / 2,
            armTop - armLen / 2 - 2, kGlowMat, false);
    } else if (raised) {
      // Forearm forward: upper arm down to the elbow, then the hand out to the side.
      const int elbowY = armTop + armLen / 2;
      c.Box(ax0, armTop, ax0 + b.armW - 1, elbowY, kMetal);
      c.Box(ax0 - b.armW, elbowY - b.armW / 2, ax0 + b.armW - 1, elbowY + b.armW / 2 + 1, kPrimary);
      DrawWeapon(c, b, p, ax0 - b.armW + 1, elbowY, true, pose == Pose::Fire);
    } else {
      const int elbowY = armTop + armLen / 2;
      const int handY = armTop + armLen;
      c.Box(ax0, armTop, ax0 + b.armW - 1, elbowY + 1, kMetal);
      c.Box(ax0 - 1, elbowY, ax0 + b.armW, handY - 1, kPrimary);
      c.Box(ax0, handY - 1, ax0 + b.armW - 1, handY + 1, kMetal);
      if (gunArm) DrawWeapon(c, b, p, ax0 + b.armW / 2, handY, false, false);
      if (p.symmetric) {
        // Arm guns on both forearms of the heavy twin-armed units.
        c.Box(ax0 + (side == 0 ? -2 : b.armW - 1), elbowY + 1, ax0 + (side == 0 ? 0 : b.armW + 1),
              handY + 2, kDark);
        if (pose == Pose::Fire) c.Set(ax0 + (side == 0 ? -1 : b.armW), handY + 4, kFlash);
      }
    }
    DrawShoulder(c, sx0, chestTop - 1, b, p, side == 0);
    if (side == 1 && p.shield && !swing) {
      const bool front = pose == Pose::Guard;
      DrawShield(c, b, front ? b.cx : ax0, armTop + (front ? 0 : armLen / 3), front);
    }
  }

  if (pose == Pose::Damaged) {
    Prng sparks(design.seed ^ 0xDA);
    for (int i = 0; i < 6; ++i) {
      const int x = b.cx + sparks.Range(-b.chestW / 2, b.chestW / 2);
      const int y = chestTop + sparks.Range(0, b.chestH + b.hipH);
      c.Set(x, y, i % 2 ? kFlash : kGlow);
      c.Set(x + 1, y - 1, kFlash);
    }
    c.Line(chestX0 + 2, chestTop + 2, chestX0 + b.chestW / 2, chestBottom - 2, kOutline);
  }
  if (p.symmetric) c.MirrorLeftToRight();
}

void DrawBurst(Canvas& c, Pose stage, uint64_t seed) {
  Prng prng(seed ^ static_cast<uint64_t>(stage));
  const int cx = c.Width() / 2, cy = c.Height() / 2;
  const int r = stage == Pose::Burst1 ? 3 : stage == Pose::Burst2 ? 5 : 7;
  if (stage == Pose::Burst3) {
    for (int i = 0; i < 5; ++i) {  // smoke puffs round the fire
      const int px = cx + prng.Range(-4, 4), py = cy + prng.Range(-4, 4);
      c.Ellipse(2 * px, 2 * py, 6, 6, kMetal);
    }
  }
  for (int i = 0; i < 8; ++i) {  // rays
    const int dx = prng.Range(-r - 1, r + 1), dy = prng.Range(-r - 1, r + 1);
    c.Line(cx, cy, cx + dx, cy + dy, kAccent0 + 1);
  }
  c.Ellipse(2 * cx, 2 * cy, 2 * r, 2 * r, kGlowMat, false);
  c.Ellipse(2 * cx, 2 * cy, r, r, Material{{15, 15, 15, 15}}, false);
  c.OutlineAll();
}

}  // namespace varsk::datagen
