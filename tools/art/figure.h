// The rider and the bike as a small 3D figure: every pose is data (how the bike is
// turned, where the rider's joints go, which hands and feet hold on) and one routine
// draws any pose of any bike, side view, anti-aliased.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <string_view>
#include <vector>

namespace torvin::art {

// Bike and rider coordinates: x forward, y up, z towards the viewer; the origin is
// the midpoint between the two axles of the bike standing level.
struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

// A free arm or leg points its two segments at these angles (degrees in the rider's
// side plane, 0 = forward, 90 = up) and moves its hand or foot sideways by `reach`.
// An attached one keeps its hand on the grip or its foot on the pedal.
struct Limb {
  bool attached = true;
  double upper = 0;
  double lower = 0;
  double reach = 0;
};

// How a pose is placed in its picture.
enum class Rest {
  kCentre,      // the pair's centre stays at the common anchor
  kRearWheel,   // the rear axle stays where it is when riding (front wheel up)
  kFrontWheel,  // the front axle stays where it is when riding (rear wheel up)
  kGround,      // bike and rider each lie on the bottom rows (a fall)
};

struct Pose {
  std::string_view file;
  // The bike, turned about the pair's centre.
  double pitch = 0;     // nose up, degrees
  double yaw = 0;       // turning about the vertical, 180 = facing back
  double roll = 0;      // laid over sideways, 90 = flat
  double frameYaw = 0;  // the frame swung round the steering axis (tailwhip)
  double barYaw = 0;    // bars, fork and front wheel turned (barspin)
  double crank = 15;    // angle of the near crank
  Rest rest = Rest::kCentre;
  double bikeShift = 0;  // sideways move of a fallen bike
  // The rider, in the bike's side plane.
  double hipX = -4;
  double hipY = 34;
  double torso = 52;     // hip to shoulder
  double neck = 66;      // shoulder to head
  double riderRoll = 0;  // the rider's own lean against the bike's roll
  Limb nearArm;
  Limb farArm;
  Limb nearLeg;
  Limb farLeg;
  bool thrown = false;    // the rider lies apart from the bike
  double riderShift = 0;  // where a thrown rider lies, forward of the bike
};

// What tells the three bikes apart: colours and the shape of the frame.
struct BikeStyle {
  std::string_view folder;
  QColor frame;
  QColor rim;
  QColor tyre;
  QColor saddle;
  double tube = 2.6;
  // Frame tubes as polylines and gusset plates as polygons, in bike coordinates
  // (side plane, z = 0).
  std::vector<std::vector<QPointF>> tubes;
  std::vector<std::vector<QPointF>> plates;
};

// Where the pair's centre (the common anchor) lies in every pose picture.
QPointF poseAnchor();

// Draws `pose` of `bike` with the picture's top-left corner at the painter's origin,
// into a picture of `size`. Returns the area the figure covers, in picture pixels.
QRectF drawPose(QPainter& painter, const Pose& pose, const BikeStyle& bike, QSizeF size);

}  // namespace torvin::art
