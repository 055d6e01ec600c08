#include "poses.h"

#include <array>
#include <stdexcept>
#include <string>

namespace torvin::art {
namespace {

constexpr Limb letGo(double upper, double lower, double reach = 0) {
  return {false, upper, lower, reach};
}

// Riding: standing on the pedals, hands on the grips.
constexpr Pose riding(std::string_view file) {
  Pose p;
  p.file = file;
  return p;
}

// One step of a flip: the bike turned by `pitch`, the rider tucked onto it.
constexpr Pose flip(std::string_view file, double pitch) {
  Pose p = riding(file);
  p.pitch = pitch;
  p.hipX = -4;
  p.hipY = 28;
  p.torso = 62;
  p.neck = 60;
  p.crank = 30;
  return p;
}

// The frontflip's own frames: tucked forward, head down to the bars.
constexpr Pose forwardTuck(std::string_view file, double pitch) {
  Pose p = flip(file, pitch);
  p.hipX = -1;
  p.hipY = 30;
  p.torso = 36;
  p.neck = 8;
  return p;
}

constexpr Pose canCan(std::string_view file, double upper, double lower, double reach) {
  Pose p = riding(file);
  p.hipX = -7;
  p.hipY = 33;
  p.torso = 66;
  p.farLeg = letGo(upper, lower, reach);
  return p;
}

constexpr Pose noHander(std::string_view file, Limb nearArm, Limb farArm) {
  Pose p = riding(file);
  p.hipX = -7;
  p.hipY = 32;
  p.torso = 74;
  p.neck = 82;
  p.nearArm = nearArm;
  p.farArm = farArm;
  return p;
}

constexpr Pose superman(std::string_view file, double hipX, double hipY, double torso, Limb nearLeg,
                        Limb farLeg) {
  Pose p = riding(file);
  p.hipX = hipX;
  p.hipY = hipY;
  p.torso = torso;
  p.neck = 35;
  p.nearLeg = nearLeg;
  p.farLeg = farLeg;
  return p;
}

constexpr Pose nothing(std::string_view file, double hipY, Limb nearArm, Limb farArm, Limb nearLeg,
                       Limb farLeg) {
  Pose p = riding(file);
  p.hipX = -6;
  p.hipY = hipY;
  p.torso = 76;
  p.neck = 84;
  p.nearArm = nearArm;
  p.farArm = farArm;
  p.nearLeg = nearLeg;
  p.farLeg = farLeg;
  return p;
}

// Tailwhip: hands hold the bars, feet tucked up while the frame swings round.
constexpr Pose tailwhip(std::string_view file, double frameYaw) {
  Pose p = riding(file);
  p.frameYaw = frameYaw;
  p.hipX = -2;
  p.hipY = 40;
  p.torso = 68;
  p.nearLeg = letGo(20, -72, 2);
  p.farLeg = letGo(8, -82, -2);
  return p;
}

// Barspin: hands off, hovering over the spinning bars.
constexpr Pose barspin(std::string_view file, double barYaw) {
  Pose p = riding(file);
  p.barYaw = barYaw;
  p.hipY = 33;
  p.torso = 66;
  p.nearArm = letGo(-5, 60, 6);
  p.farArm = letGo(-15, 50, -6);
  return p;
}

constexpr Pose threeSixty(std::string_view file, double yaw) {
  Pose p = riding(file);
  p.yaw = yaw;
  p.hipY = 33;
  p.torso = 64;
  return p;
}

constexpr Pose tabletop(std::string_view file, double roll, double riderRoll) {
  Pose p = riding(file);
  p.roll = roll;
  p.riderRoll = riderRoll;
  p.pitch = 8;
  p.hipY = 34;
  p.torso = 70;
  return p;
}

constexpr std::array<Pose, 31> kPoses = [] {
  std::array<Pose, 31> p{};
  std::size_t i = 0;

  // Fallen: the bike on its side, the rider on his back in front of it.
  Pose fallen = riding("000.jpg");
  fallen.roll = 58;
  fallen.pitch = -6;
  fallen.rest = Rest::kGround;
  fallen.bikeShift = -12;
  fallen.thrown = true;
  fallen.riderShift = 0;
  fallen.hipX = 12;
  fallen.hipY = 8;
  fallen.torso = 4;
  fallen.neck = 14;
  fallen.nearArm = letGo(-160, -178, 4);
  fallen.farArm = letGo(160, 178, -4);
  fallen.nearLeg = letGo(140, -120, 3);
  fallen.farLeg = letGo(165, 200, -3);
  p[i++] = fallen;

  p[i++] = riding("002.jpg");
  p[i++] = canCan("003.jpg", 35, -30, 10);
  p[i++] = canCan("004.jpg", 12, 0, 16);
  p[i++] = noHander("005.jpg", letGo(35, 70, 10), letGo(55, 90, -10));
  p[i++] = noHander("006.jpg", letGo(100, 110, 14), letGo(80, 70, -14));
  p[i++] = superman("007.jpg", -17, 38, 20, letGo(190, 225, 2), letGo(182, 208, -2));
  p[i++] = superman("008.jpg", -24, 41, 12, letGo(172, 170, 3), letGo(164, 160, -3));

  // The backflip, one eighth of a turn per picture. The first and last double as the
  // manual (front wheel up) and the nose manual (rear wheel up) on the ground.
  Pose manual = flip("009.jpg", 38);
  manual.rest = Rest::kRearWheel;
  manual.hipX = -8;
  manual.hipY = 30;
  manual.torso = 58;
  manual.neck = 50;
  p[i++] = manual;
  p[i++] = flip("010.jpg", 90);
  p[i++] = flip("011.jpg", 135);
  p[i++] = flip("012.jpg", 180);
  p[i++] = flip("013.jpg", 225);
  p[i++] = flip("014.jpg", 270);
  Pose noseManual = flip("015.jpg", -34);
  noseManual.rest = Rest::kFrontWheel;
  noseManual.hipX = -7;
  noseManual.hipY = 34;
  noseManual.torso = 92;
  noseManual.neck = 84;
  p[i++] = noseManual;
  p[i++] = forwardTuck("016.jpg", 180);
  p[i++] = forwardTuck("017.jpg", 135);

  // Nothing: hands off the bars and feet off the pedals, legs split away from the bike.
  p[i++] = nothing("018.jpg", 39, letGo(45, 30, 10), letGo(135, 150, -10), letGo(200, 215, 5),
                   letGo(-25, -65, -5));
  p[i++] = nothing("019.jpg", 42, letGo(75, 95, 14), letGo(110, 100, -14), letGo(190, 180, 7),
                   letGo(0, -20, -7));

  p[i++] = tailwhip("020.jpg", 65);
  p[i++] = tailwhip("021.jpg", 180);
  p[i++] = tailwhip("022.jpg", 295);
  p[i++] = barspin("023.jpg", 95);
  p[i++] = barspin("024.jpg", 180);
  p[i++] = barspin("025.jpg", 265);
  p[i++] = threeSixty("026.jpg", 180);
  p[i++] = threeSixty("027.jpg", -65);
  p[i++] = threeSixty("028.jpg", 65);

  // Candy bar: the near leg lifted over the bars.
  Pose candy = riding("029.jpg");
  candy.hipX = -8;
  candy.hipY = 35;
  candy.torso = 78;
  candy.neck = 76;
  candy.nearLeg = letGo(58, -4, 12);
  p[i++] = candy;

  p[i++] = tabletop("030.jpg", 45, -25);
  p[i++] = tabletop("031.jpg", 78, -48);
  return p;
}();

BikeStyle classic() {
  // Red, a plain diamond frame.
  BikeStyle b;
  b.folder = "01";
  b.frame = QColor(214, 38, 52);
  b.rim = QColor(205, 210, 216);
  b.tyre = QColor(38, 38, 40);
  b.saddle = QColor(30, 30, 30);
  b.tube = 2.6;
  b.tubes = {{{-11, 22}, {16, 23}},   // top tube
             {{-3, 3}, {19, 14}},     // down tube
             {{-3, 3}, {-11, 22}},    // seat tube
             {{-3, 3}, {-25, 0}},     // chain stay
             {{-11, 22}, {-25, 0}}};  // seat stay
  return b;
}

BikeStyle swoop() {
  // Green, one curved tube from the head tube sweeping down to the rear axle.
  BikeStyle b;
  b.folder = "02";
  b.frame = QColor(52, 178, 62);
  b.rim = QColor(40, 40, 44);
  b.tyre = QColor(30, 30, 32);
  b.saddle = QColor(52, 178, 62);
  b.tube = 2.5;
  b.tubes = {{{16, 23}, {8, 23.5}, {0, 22}, {-7, 18.5}, {-13, 13}, {-19, 6.5}, {-25, 0}},
             {{-3, 3}, {5, 7.5}, {12, 11}, {19, 14}},
             {{-3, 3}, {-11, 22}},
             {{-3, 3}, {-25, 0}},
             {{-11, 22}, {-8, 18}},
             {{4, 22.5}, {9, 12.5}}};
  return b;
}

BikeStyle heavy() {
  // Orange, thick tubes, a doubled top tube and a gusset plate at the head.
  BikeStyle b;
  b.folder = "03";
  b.frame = QColor(244, 140, 6);
  b.rim = QColor(232, 190, 40);
  b.tyre = QColor(36, 32, 30);
  b.saddle = QColor(24, 24, 24);
  b.tube = 3.4;
  b.tubes = {{{-11, 22}, {16, 23}}, {{-7, 13}, {18.5, 17}}, {{-3, 3}, {19, 14}},
             {{-3, 3}, {-11, 22}},  {{-3, 3}, {-25, 0}},    {{-11, 22}, {-25, 0}},
             {{-7, 13}, {-25, 0}}};
  b.plates = {{{16, 23}, {19, 14}, {9, 12}, {8, 22.8}}, {{-3, 3}, {-11, 22}, {-7, 9}}};
  return b;
}

const std::array<BikeStyle, 3>& bikeTable() {
  static const std::array<BikeStyle, 3> table = {classic(), swoop(), heavy()};
  return table;
}

}  // namespace

std::span<const Pose> poses() {
  return kPoses;
}

const Pose& pose(std::string_view file) {
  for (const auto& p : kPoses) {
    if (p.file == file)
      return p;
  }
  throw std::out_of_range("no pose " + std::string(file));
}

std::span<const BikeStyle> bikes() {
  return bikeTable();
}

}  // namespace torvin::art
