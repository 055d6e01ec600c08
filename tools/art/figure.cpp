#include "figure.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace torvin::art {
namespace {

// --- small 3D helpers ----------------------------------------------------------

Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}
double dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
double length(Vec3 a) {
  return std::sqrt(dot(a, a));
}
Vec3 normalised(Vec3 a) {
  return a * (1.0 / length(a));
}
Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// A direction in the side plane.
Vec3 heading(double degrees, double length = 1.0) {
  return {std::cos(radians(degrees)) * length, std::sin(radians(degrees)) * length, 0};
}

struct Mat3 {
  Vec3 c0{1, 0, 0};  // columns
  Vec3 c1{0, 1, 0};
  Vec3 c2{0, 0, 1};
  Vec3 operator*(Vec3 v) const { return c0 * v.x + c1 * v.y + c2 * v.z; }
  Mat3 operator*(const Mat3& o) const { return {*this * o.c0, *this * o.c1, *this * o.c2}; }
  Mat3 transposed() const { return {{c0.x, c1.x, c2.x}, {c0.y, c1.y, c2.y}, {c0.z, c1.z, c2.z}}; }
};

// Rotation by `degrees` about the unit `axis` (right hand).
Mat3 rotation(Vec3 axis, double degrees) {
  const double c = std::cos(radians(degrees));
  const double s = std::sin(radians(degrees));
  const double t = 1 - c;
  const double x = axis.x, y = axis.y, z = axis.z;
  return {{t * x * x + c, t * x * y + s * z, t * x * z - s * y},
          {t * x * y - s * z, t * y * y + c, t * y * z + s * x},
          {t * x * z + s * y, t * y * z - s * x, t * z * z + c}};
}

// A rigid placement: local point p goes to `to + turn * (p - from)`.
struct Placement {
  Mat3 turn;
  Vec3 from;
  Vec3 to;
  Vec3 operator()(Vec3 p) const { return to + turn * (p - from); }
  Vec3 back(Vec3 w) const { return from + turn.transposed() * (w - to); }
  Placement after(const Placement& inner) const {
    return {turn * inner.turn, inner.from, (*this)(inner.to)};
  }
};

// Turning `degrees` about a line through `through` along `axis`.
Placement turnAbout(Vec3 through, Vec3 axis, double degrees) {
  return {rotation(normalised(axis), degrees), through, through};
}

// --- the bike's fixed points -------------------------------------------------

constexpr Vec3 kRearAxle{-25, 0, 0};
constexpr Vec3 kFrontAxle{25, 0, 0};
constexpr Vec3 kBottomBracket{-3, 3, 0};
constexpr Vec3 kSeatTop{-11, 22, 0};
constexpr Vec3 kHeadTop{16, 23, 0};
constexpr Vec3 kHeadBottom{19, 14, 0};
constexpr double kTyreRadius = 11.5;  // centre of the tyre's stroke; 13 to its outside
constexpr double kTyreWidth = 3.0;
constexpr double kRimRadius = 9.6;
constexpr double kCrank = 8.0;
constexpr double kGripZ = 10.0;
constexpr Vec3 kGrip{11.5, 35, 0};
constexpr Vec3 kBarBottom{15.5, 25.5, 0};

// The pair's centre, the point every pose turns about.
constexpr Vec3 kCentre{-2, 30, 0};
// Where the bike's origin sits in a riding picture: the tyres touch the 114th row.
constexpr double kOriginX = 64;
constexpr double kOriginY = 101;

// --- the rider's measures -----------------------------------------------------

constexpr double kThigh = 17;
constexpr double kShin = 16;
constexpr double kUpperArm = 12;
constexpr double kForearm = 11.5;
constexpr double kTorso = 22;
constexpr double kNeck = 8.5;
constexpr double kHeadRadius = 5.6;
constexpr double kHipZ = 3;
constexpr double kShoulderZ = 5;
constexpr double kPedalZ = 6;

const QColor kJersey(31, 59, 115);
const QColor kPants(118, 122, 134);
const QColor kSkin(232, 181, 138);
const QColor kShoe(26, 26, 26);
const QColor kGlove(34, 34, 34);
const QColor kMetal(70, 70, 76);
const QColor kChrome(190, 196, 204);
const QColor kBars(96, 102, 114);

// A weak perspective about the pair's centre: what turns towards the viewer grows a
// little, so a turning bike shows which end is near.
constexpr double kPerspective = 1.0 / 260;

QPointF toPicture(Vec3 w) {
  const double grow = 1 + w.z * kPerspective;
  return {kOriginX + kCentre.x + (w.x - kCentre.x) * grow,
          kOriginY - kCentre.y - (w.y - kCentre.y) * grow};
}

// One painted thing with the depth it is sorted by (bigger = nearer the viewer).
struct Shape {
  QPainterPath path;
  QPen pen = Qt::NoPen;
  QBrush brush = Qt::NoBrush;
  double depth = 0;
  bool rider = false;

  QRectF bounds() const {
    const double half = pen.style() == Qt::NoPen ? 0 : pen.widthF() / 2;
    return path.boundingRect().adjusted(-half, -half, half, half);
  }
};

class Canvas {
 public:
  bool riderPart = false;

  void stroke(const std::vector<Vec3>& points, const QColor& colour, double width,
              bool closed = false) {
    Shape s = through(points);
    if (closed) {
      s.path.closeSubpath();
    }
    s.pen = QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    add(std::move(s));
  }
  void tube(Vec3 a, Vec3 b, const QColor& colour, double width) { stroke({a, b}, colour, width); }
  void fill(const std::vector<Vec3>& points, const QColor& colour) {
    Shape s = through(points);
    s.path.closeSubpath();
    s.brush = colour;
    s.pen = QPen(colour, 0.6);
    add(std::move(s));
  }

  // A path through the points, lying at their mean depth.
  Shape through(const std::vector<Vec3>& points) const {
    Shape s;
    double depth = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const QPointF p = toPicture(points[i]);
      if (i == 0) {
        s.path.moveTo(p);
      } else {
        s.path.lineTo(p);
      }
      depth += points[i].z;
    }
    s.depth = depth / static_cast<double>(points.size());
    return s;
  }
  void disc(Vec3 c, double radius, const QColor& colour) {
    Shape s;
    s.path.addEllipse(toPicture(c), radius, radius);
    s.brush = colour;
    s.depth = c.z;
    add(std::move(s));
  }
  // Several paths painted together as one shape (a head with its helmet).
  void group(std::vector<Shape> parts, double depth) {
    for (auto& part : parts) {
      part.depth = depth;
      add(std::move(part));
    }
  }

  void shift(bool riderShapes, QPointF by) {
    for (auto& s : shapes_) {
      if (s.rider == riderShapes)
        s.path.translate(by);
    }
  }
  QRectF bounds(bool riderShapes) const {
    QRectF r;
    for (const auto& s : shapes_) {
      if (s.rider == riderShapes)
        r = r.united(s.bounds());
    }
    return r;
  }
  QRectF bounds() const { return bounds(false).united(bounds(true)); }
  void shiftAll(QPointF by) {
    for (auto& s : shapes_)
      s.path.translate(by);
  }

  void paint(QPainter& painter) {
    std::stable_sort(shapes_.begin(), shapes_.end(),
                     [](const Shape& a, const Shape& b) { return a.depth < b.depth; });
    for (const auto& s : shapes_) {
      painter.setPen(s.pen);
      painter.setBrush(s.brush);
      painter.drawPath(s.path);
    }
  }

 private:
  void add(Shape s) {
    s.rider = riderPart;
    shapes_.push_back(std::move(s));
  }
  std::vector<Shape> shapes_;
};

// --- the bike -----------------------------------------------------------------

void drawWheel(Canvas& canvas, const Placement& place, Vec3 axle, const BikeStyle& bike) {
  constexpr int kSteps = 48;
  constexpr int kSpokes = 14;
  auto around = [&](double radius, double degrees) {
    return place(axle + heading(degrees, radius));
  };
  std::vector<Vec3> tyre;
  std::vector<Vec3> rim;
  for (int i = 0; i < kSteps; ++i) {
    const double a = 360.0 * i / kSteps;
    tyre.push_back(around(kTyreRadius, a));
    rim.push_back(around(kRimRadius, a));
  }
  const Vec3 hub = place(axle);
  for (int i = 0; i < kSpokes; ++i) {
    canvas.tube(around(1.6, 360.0 * i / kSpokes + 8), around(kRimRadius, 360.0 * i / kSpokes),
                QColor(150, 156, 164), 0.55);
  }
  canvas.stroke(rim, bike.rim, 1.3, true);
  canvas.stroke(tyre, bike.tyre, kTyreWidth, true);
  canvas.disc(hub, 1.9, kMetal);
}

// A motion trail behind a part turning about the vertical line through `centre`: an
// arc of the circle it sweeps, seen a little from above, ending in an arrowhead.
void drawSpinTrail(Canvas& canvas, const Placement& place, Vec3 centre, double radius,
                   double turned) {
  if (turned < 30)
    return;
  const QColor trail(255, 255, 255, 210);
  std::vector<Vec3> arc;
  const double from = std::max(0.0, turned - 110);
  const double to = turned - 18;
  for (double a = from; a <= to + 1e-6; a += (to - from) / 16) {
    // Towards the viewer shows lower down: a flattened circle.
    arc.push_back(place(
        centre + Vec3{-radius * std::cos(radians(a)), -0.3 * radius * std::sin(radians(a)), 60}));
  }
  canvas.stroke(arc, trail, 1.3);
  const Vec3 tip = arc.back();
  const Vec3 before = arc[arc.size() - 2];
  const Vec3 along = normalised(tip - before);
  const Vec3 across{-along.y, along.x, 0};
  canvas.stroke({tip - along * 3 + across * 2, tip, tip - along * 3 - across * 2}, trail, 1.3);
}

struct BikePoints {
  Vec3 nearGrip;
  Vec3 farGrip;
  Vec3 nearPedal;
  Vec3 farPedal;
};

BikePoints drawBike(Canvas& canvas, const Pose& pose, const BikeStyle& bike,
                    const Placement& place) {
  const Vec3 steering = kHeadTop - kHeadBottom;
  // The tailwhip swings the frame round the vertical through the head tube, so the
  // rear wheel keeps its height; a barspin turns the bars about the steering axis.
  const Placement frame = place.after(turnAbout(kHeadBottom, {0, 1, 0}, pose.frameYaw));
  const Placement front = place.after(turnAbout(kHeadBottom, steering, pose.barYaw));
  auto flat = [](QPointF p) { return Vec3{p.x(), p.y(), 0}; };

  drawWheel(canvas, frame, kRearAxle, bike);
  drawWheel(canvas, front, kFrontAxle, bike);
  drawSpinTrail(canvas, place, {kHeadBottom.x, 4, 0}, kHeadBottom.x - kRearAxle.x, pose.frameYaw);
  drawSpinTrail(canvas, place, {kBarBottom.x, 38, 0}, 11, pose.barYaw);

  // Drive side: chainring, chain and the near crank face the viewer.
  const Vec3 ring = kBottomBracket + Vec3{0, 0, 1.5};
  canvas.stroke({frame(ring + Vec3{0, 4.2, 0}), frame(kRearAxle + Vec3{0, 2, 1.5})}, kMetal, 0.8);
  canvas.stroke({frame(ring - Vec3{0, 4.2, 0}), frame(kRearAxle - Vec3{0, 2, -1.5})}, kMetal, 0.8);
  canvas.disc(frame(ring), 4.4, kMetal);
  canvas.disc(frame(ring), 2.4, bike.frame);

  for (const auto& plate : bike.plates) {
    std::vector<Vec3> points;
    for (const auto& p : plate)
      points.push_back(frame(flat(p)));
    canvas.fill(points, bike.frame);
  }
  for (const auto& tube : bike.tubes) {
    std::vector<Vec3> points;
    for (const auto& p : tube)
      points.push_back(frame(flat(p)));
    canvas.stroke(points, bike.frame, bike.tube);
  }
  canvas.tube(frame(kHeadBottom), frame(kHeadTop), bike.frame, bike.tube + 1.2);

  // Seat post and saddle.
  canvas.tube(frame(kSeatTop), frame(kSeatTop + Vec3{-1, 3.5, 0}), kChrome, 2.0);
  canvas.stroke({frame({-16.5, 25.6, 0}), frame({-12, 26.6, 0}), frame({-7.5, 25.8, 0})},
                bike.saddle, 3.2);

  // Fork, stem and bars turn together.
  for (double side : {-2.5, 2.5}) {
    canvas.tube(front(kHeadBottom + Vec3{0, 0, side}), front(kFrontAxle + Vec3{0, 0, side}),
                bike.frame, bike.tube - 0.4);
  }
  canvas.tube(front(kHeadTop), front(kBarBottom), kMetal, 3.0);
  const Vec3 nearGrip = kGrip + Vec3{0, 0, kGripZ};
  const Vec3 farGrip = kGrip - Vec3{0, 0, kGripZ};
  canvas.tube(front(kBarBottom - Vec3{0, 0, kGripZ - 1}),
              front(kBarBottom + Vec3{0, 0, kGripZ - 1}), kBars, 1.8);
  canvas.tube(front({13.6, 30.6, -kGripZ + 0.5}), front({13.6, 30.6, kGripZ - 0.5}), kBars, 1.4);
  for (const Vec3 grip : {farGrip, nearGrip}) {
    const Vec3 bottom = kBarBottom + Vec3{0, 0, grip.z * 0.9};
    canvas.tube(front(bottom), front(grip), kBars, 2.2);
    canvas.tube(front(grip), front(grip + Vec3{-0.8, 2.4, 0}), kShoe, 2.8);
  }

  // Cranks and pedals.
  const Vec3 crank = heading(pose.crank, kCrank);
  const Vec3 nearPedal = kBottomBracket + crank + Vec3{0, 0, kPedalZ};
  const Vec3 farPedal = kBottomBracket - crank - Vec3{0, 0, kPedalZ};
  for (const Vec3 pedal : {farPedal, nearPedal}) {
    const Vec3 root = kBottomBracket + Vec3{0, 0, pedal.z * 0.5};
    canvas.tube(frame(root), frame(pedal - Vec3{0, 0, pedal.z * 0.3}), kChrome, 2.0);
    canvas.tube(frame(pedal - Vec3{2.2, 0, 0}), frame(pedal + Vec3{2.2, 0, 0}), kShoe, 2.4);
  }
  return {front(nearGrip), front(farGrip), frame(nearPedal), frame(farPedal)};
}

// --- the rider ----------------------------------------------------------------

// The middle joint of a two-segment limb from `root` reaching for `target`, bent
// towards `hint`. When the target is out of reach the limb points straight at it.
Vec3 middleJoint(Vec3 root, Vec3 target, double first, double second, Vec3 hint) {
  const Vec3 d = target - root;
  const double distance = std::max(length(d), 1e-6);
  const Vec3 along = d * (1.0 / distance);
  if (distance >= first + second)
    return root + along * first;
  const double a = (first * first - second * second + distance * distance) / (2 * distance);
  const double h = std::sqrt(std::max(0.0, first * first - a * a));
  Vec3 side = hint - along * dot(hint, along);
  if (length(side) < 1e-6)
    side = cross(along, {0, 0, 1});
  return root + along * a + normalised(side) * h;
}

struct LimbJoints {
  Vec3 root;
  Vec3 middle;
  Vec3 end;
};

LimbJoints placeLimb(const Limb& limb, Vec3 root, double first, double second, Vec3 targetLocal,
                     Vec3 hint) {
  if (limb.attached) {
    const Vec3 middle = middleJoint(root, targetLocal, first, second, hint);
    const Vec3 towards = targetLocal - middle;
    const double reach = length(towards);
    const Vec3 end = reach <= second + 1e-6 ? targetLocal : middle + towards * (second / reach);
    return {root, middle, end};
  }
  const Vec3 middle = root + heading(limb.upper, first) + Vec3{0, 0, limb.reach * 0.5};
  const Vec3 end = middle + heading(limb.lower, second) + Vec3{0, 0, limb.reach * 0.5};
  return {root, middle, end};
}

QColor shaded(const QColor& colour, bool far) {
  return far ? colour.darker(135) : colour;
}

void drawLeg(Canvas& canvas, const Placement& rider, const LimbJoints& leg, bool far) {
  canvas.tube(rider(leg.root), rider(leg.middle), shaded(kPants, far), 6.2);
  canvas.tube(rider(leg.middle), rider(leg.end), shaded(kPants, far), 5.0);
  // The shoe points forward from the shin.
  const Vec3 shin = leg.end - leg.middle;
  const Vec3 toe = normalised(Vec3{-shin.y, shin.x, 0});
  const Vec3 ankle = leg.end + normalised(shin) * 0.8;
  canvas.tube(rider(ankle - toe * 1.8), rider(ankle + toe * 4.6), shaded(kShoe, far), 3.6);
}

void drawArm(Canvas& canvas, const Placement& rider, const LimbJoints& arm, bool far) {
  canvas.tube(rider(arm.root), rider(arm.middle), shaded(kJersey, far), 4.6);
  canvas.tube(rider(arm.middle), rider(arm.end), shaded(kJersey, far), 3.8);
  canvas.disc(rider(arm.end), 2.2, shaded(kGlove, far));
}

QPointF flatten(Vec3 v) {
  return {v.x, -v.y};
}

void drawHead(Canvas& canvas, const Placement& rider, Vec3 centre, double neck,
              const QColor& helmet) {
  const Vec3 up3 = rider.turn * heading(neck);
  const Vec3 face3 = rider.turn * heading(neck - 90);
  const Vec3 side3 = rider.turn * Vec3{0, 0, 1};
  const QPointF c = toPicture(rider(centre));
  const QPointF up = flatten(up3);
  const QPointF face = flatten(face3);

  std::vector<Shape> parts;
  auto add = [&](QPainterPath path, const QColor& colour) {
    Shape s;
    s.path = std::move(path);
    s.brush = colour;
    parts.push_back(std::move(s));
  };
  QPainterPath shell;
  shell.addEllipse(c, kHeadRadius + 0.4, kHeadRadius + 0.4);
  add(shell, helmet.darker(120));
  if (face3.z > -0.6) {
    QPainterPath skin;
    skin.addEllipse(c + face * 1.8 - up * 1.2, kHeadRadius - 1.2, kHeadRadius - 1.2);
    add(skin.intersected(shell), kSkin);
  }
  // The helmet's crown over the top and back of the head.
  QPainterPath crown;
  crown.addEllipse(c + up * 1.6 - face * 0.9, kHeadRadius - 0.2, kHeadRadius - 0.6);
  add(crown.intersected(shell), helmet);
  QPainterPath visor;
  const QPointF brim = c + up * 2.4 + face * 4.2;
  visor.moveTo(brim - up * 0.9 - face * 2.0);
  visor.lineTo(brim + face * 2.2 + up * 0.2);
  visor.lineTo(brim + up * 1.0 - face * 2.0);
  visor.closeSubpath();
  if (face3.z > -0.6)
    add(visor, helmet.darker(160));
  if (face3.z > -0.3) {
    const QPointF eyes = c + face * 2.6 - up * 0.4;
    const QPointF apart = flatten(side3) * 1.8;
    for (const QPointF eye : {eyes + apart, eyes - apart}) {
      QPainterPath dot;
      dot.addEllipse(eye, 0.75, 0.75);
      add(dot, QColor(20, 20, 30));
    }
  }
  canvas.group(std::move(parts), rider(centre).z);
}

void drawRider(Canvas& canvas, const Pose& pose, const BikeStyle& bike, const Placement& rider,
               const BikePoints& holds) {
  const Vec3 hip{pose.hipX, pose.hipY, 0};
  const Vec3 shoulder = hip + heading(pose.torso, kTorso);
  const Vec3 head = shoulder + heading(pose.neck, kNeck);
  const Vec3 side{0, 0, 1};
  // Knees bend forwards, elbows backwards and out.
  const Vec3 knee = heading(pose.torso - 50);
  const Vec3 elbow = heading(pose.torso + 150) + side * 0.3;

  auto leg = [&](const Limb& limb, double z, Vec3 pedal) {
    return placeLimb(limb, hip + side * z, kThigh, kShin, rider.back(pedal), knee);
  };
  auto arm = [&](const Limb& limb, double z, Vec3 grip) {
    return placeLimb(limb, shoulder + side * z, kUpperArm, kForearm, rider.back(grip),
                     elbow + side * (z > 0 ? 0.3 : -0.3));
  };
  const LimbJoints farLeg = leg(pose.farLeg, -kHipZ, holds.farPedal);
  const LimbJoints nearLeg = leg(pose.nearLeg, kHipZ, holds.nearPedal);
  const LimbJoints farArm = arm(pose.farArm, -kShoulderZ, holds.farGrip);
  const LimbJoints nearArm = arm(pose.nearArm, kShoulderZ, holds.nearGrip);

  drawLeg(canvas, rider, farLeg, true);
  drawArm(canvas, rider, farArm, true);
  canvas.disc(rider(hip), 4.2, kPants);
  canvas.tube(rider(hip), rider(shoulder), kJersey, 8.4);
  canvas.tube(rider(shoulder), rider(shoulder + heading(pose.neck, 3.5)), kSkin, 3.2);
  drawHead(canvas, rider, head, pose.neck, bike.frame);
  drawLeg(canvas, rider, nearLeg, false);
  drawArm(canvas, rider, nearArm, false);
}

}  // namespace

QPointF poseAnchor() {
  return toPicture(kCentre);
}

QRectF drawPose(QPainter& painter, const Pose& pose, const BikeStyle& bike, QSizeF size) {
  const Mat3 turn = rotation({0, 1, 0}, pose.yaw) * rotation({0, 0, 1}, pose.pitch);
  const Mat3 bikeTurn = turn * rotation({1, 0, 0}, pose.roll);
  Placement bikePlace{bikeTurn, kCentre, kCentre};
  if (pose.rest == Rest::kRearWheel)
    bikePlace.to = kCentre + kRearAxle - bikePlace(kRearAxle);
  if (pose.rest == Rest::kFrontWheel) {
    bikePlace.to = kCentre + kFrontAxle - bikePlace(kFrontAxle);
  }
  Placement riderPlace = bikePlace;
  riderPlace.turn = turn * rotation({1, 0, 0}, pose.roll + pose.riderRoll);
  if (pose.thrown)
    riderPlace = {Mat3{}, kCentre, kCentre + Vec3{pose.riderShift, 0, 0}};

  Canvas canvas;
  const BikePoints holds = drawBike(canvas, pose, bike, bikePlace);
  canvas.riderPart = true;
  drawRider(canvas, pose, bike, riderPlace, holds);

  if (pose.rest == Rest::kGround) {
    // Bike and rider each drop onto the bottom rows.
    canvas.shift(false, {pose.bikeShift, size.height() - canvas.bounds(false).bottom()});
    canvas.shift(true, {0, size.height() - canvas.bounds(true).bottom()});
  } else if (pose.rest == Rest::kCentre) {
    // A pose that would leave its picture moves just enough to stay inside.
    const QRectF r = canvas.bounds();
    const double dx = std::max(0.0, -r.left()) - std::max(0.0, r.right() - size.width());
    const double dy = std::max(0.0, -r.top()) - std::max(0.0, r.bottom() - size.height());
    canvas.shiftAll({dx, dy});
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  canvas.paint(painter);
  painter.restore();
  return canvas.bounds();
}

}  // namespace torvin::art
