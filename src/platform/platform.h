// Everything the game needs from outside, in one place. A host (the desktop
// window, the simulator, a test) implements it; the game core calls it.
#pragma once

#include <string>

#include "platform/picture.h"

namespace torvin {

class Timer;
class PictureBox;
class ListBox;

// How long the fallen rider lies still after a fall or a ramp crash. Nothing is
// handled meanwhile; what arrives is handled after it. The same in every host.
inline constexpr int kPauseMs = 1000;

class Platform {
 public:
  virtual ~Platform() = default;

  // Decodes the picture file at `path` (or returns the copy kept from an earlier
  // load). Throws PictureError when the file is missing or undecodable.
  virtual DecodedPicture loadPicture(const std::string& path) = 0;

  // A modal message box with one OK button, captioned "Torvin". Blocks until the
  // player closes it; meanwhile the host keeps the other timers ticking.
  virtual void messageBox(const std::string& text) = 0;

  // The still moment after a fall or crash (kPauseMs); blocks every event.
  virtual void pause() = 0;

  // The folder of the running program: where the pictures lie.
  virtual std::string programFolder() = 0;

  // The window's line-drawing operation, used while painting.
  virtual void drawLine(float x1, float y1, float x2, float y2) = 0;

  // Changes a host reacts to. A timer's Interval changed to a different value
  // (the host restarts or stops its clock for it).
  virtual void intervalChanged(const Timer& timer) = 0;
  // A picture was assigned to a picture control (even the one it already shows).
  virtual void pictureAssigned(const PictureBox& /*image*/) {}
  // A line was appended to a list box.
  virtual void itemAdded(const ListBox& /*list*/, const std::string& /*item*/) {}
};

}  // namespace torvin
