// A platform for driving the game core in tests: pictures have sizes from a
// table (`defaultSize` for any file not in it), message boxes return at once
// (or run a callback while "open"), the pause takes no time (or runs a callback
// while it lasts), and everything the core asks for is recorded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/platform.h"

namespace torvin::testing {

class FakePlatform : public Platform {
 public:
  std::string folder = "/game";
  DecodedPicture defaultSize{114, 114, 0};
  std::map<std::string, DecodedPicture> sizes;         // by file name ("009.jpg", "bg001.gif")
  std::vector<std::string> missing;                    // file names that fail to load
  std::vector<std::string> loads;                      // every path asked for
  std::vector<std::string> messages;                   // every message box text, in order
  std::vector<std::string> shown;                      // every picture given to Image1, by name
  std::vector<std::pair<std::string, int>> intervals;  // timer name, new value
  std::vector<std::string> items;
  int pauses = 0;
  std::function<void(const std::string&)> whileMessageOpen;
  std::function<void()> whilePaused;

  DecodedPicture loadPicture(const std::string& path) override {
    loads.push_back(path);
    const std::string file = path.substr(path.find_last_of('/') + 1);
    for (const std::string& bad : missing) {
      if (file == bad) {
        throw PictureError(path + ": missing");
      }
    }
    auto found = sizes.find(file);
    return found != sizes.end() ? found->second : defaultSize;
  }
  void messageBox(const std::string& text) override {
    messages.push_back(text);
    if (whileMessageOpen) {
      whileMessageOpen(text);
    }
  }
  void pause() override {
    ++pauses;
    if (whilePaused) {
      whilePaused();
    }
  }
  std::string programFolder() override { return folder; }
  void drawLine(float x1, float y1, float x2, float y2) override {
    drawnLines.push_back({x1, y1, x2, y2});
  }
  void intervalChanged(const Timer& timer) override {
    intervals.emplace_back(timer.name(), timer.Interval());
  }
  void pictureAssigned(const PictureBox& image) override {
    if (image.name() == "Image1") {
      shown.push_back(image.picture()->name);
    }
  }
  void itemAdded(const ListBox&, const std::string& item) override { items.push_back(item); }

  struct DrawnLine {
    float x1, y1, x2, y2;
  };
  std::vector<DrawnLine> drawnLines;
};

}  // namespace torvin::testing
