// The size of every picture the drawing tool writes. The tool draws each picture
// at exactly this size and the asset tests check the committed files against it.
#pragma once

#include <array>
#include <string_view>

namespace torvin::art {

struct PictureSize {
  std::string_view file;
  int width;
  int height;
};

// One folder of pose pictures per bike: "000.jpg" and "002.jpg" to "031.jpg".
inline constexpr std::array<std::string_view, 3> kBikeFolders = {"01", "02", "03"};

// The riding box: 114 x 114, standing on the ground line when its top is at 182.
inline constexpr int kPoseBox = 114;
// Taller poses (arms up, leg over the bars, 360, tabletop, barspin) grow downwards,
// the superman and the tailwhip grow to the right.
inline constexpr int kTallPose = 140;
inline constexpr int kWidePose = 140;
inline constexpr int kTailwhipWidth = 165;

inline constexpr std::array<PictureSize, 31> kPoseSizes = {{
    {"000.jpg", kPoseBox, kPoseBox},        // fallen rider
    {"002.jpg", kPoseBox, kPoseBox},        // riding
    {"003.jpg", kPoseBox, kPoseBox},        // can-can
    {"004.jpg", kPoseBox, kPoseBox},        // can-can, full
    {"005.jpg", kPoseBox, kTallPose},       // no hander
    {"006.jpg", kPoseBox, kTallPose},       // no hander, full
    {"007.jpg", kWidePose, kPoseBox},       // superman
    {"008.jpg", kWidePose, kPoseBox},       // superman, full
    {"009.jpg", kPoseBox, kPoseBox},        // front wheel up
    {"010.jpg", kPoseBox, kPoseBox},        // flip
    {"011.jpg", kPoseBox, kPoseBox},        // flip
    {"012.jpg", kPoseBox, kPoseBox},        // flip, upside down
    {"013.jpg", kPoseBox, kPoseBox},        // flip
    {"014.jpg", kPoseBox, kPoseBox},        // flip
    {"015.jpg", kPoseBox, kPoseBox},        // rear wheel up
    {"016.jpg", kPoseBox, kPoseBox},        // frontflip, upside down
    {"017.jpg", kPoseBox, kPoseBox},        // frontflip
    {"018.jpg", kPoseBox, kPoseBox},        // nothing
    {"019.jpg", kPoseBox, kPoseBox},        // nothing, full
    {"020.jpg", kTailwhipWidth, kPoseBox},  // tailwhip
    {"021.jpg", kTailwhipWidth, kPoseBox},  // tailwhip, frame reversed
    {"022.jpg", kTailwhipWidth, kPoseBox},  // tailwhip, coming back
    {"023.jpg", kPoseBox, kTallPose},       // barspin
    {"024.jpg", kPoseBox, kTallPose},       // barspin, bars reversed
    {"025.jpg", kPoseBox, kTallPose},       // barspin, coming back
    {"026.jpg", kPoseBox, kTallPose},       // 360, facing back
    {"027.jpg", kPoseBox, kTallPose},       // 360, first quarter
    {"028.jpg", kPoseBox, kTallPose},       // 360, three quarters
    {"029.jpg", kPoseBox, kTallPose},       // candy bar
    {"030.jpg", kPoseBox, kTallPose},       // tabletop
    {"031.jpg", kPoseBox, kTallPose},       // tabletop, flat
}};

// Scenery, in the game's folder.
inline constexpr std::array<PictureSize, 6> kSceneSizes = {{
    {"bg001.gif", 600, 47},   // ground tile, below the ground line
    {"bg003.gif", 120, 64},   // cloud
    {"bg004.gif", 136, 76},   // cloud
    {"bg005.gif", 104, 56},   // cloud
    {"bg006.gif", 90, 114},   // the ramp, foot at its bottom left
    {"bg007.gif", 360, 296},  // far hills, foot on the ground line
}};

// The sky behind every pose picture.
inline constexpr int kSkyRed = 150;
inline constexpr int kSkyGreen = 213;
inline constexpr int kSkyBlue = 255;

}  // namespace torvin::art
