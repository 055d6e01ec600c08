// The scene as the native renderer composes it at the last dump of a script:
// what the page's canvas must show for the same game.
//
//   scene_at_end SCRIPT ASSETS OUT   writes OUT.ppm (for the browser test to
//                                    compare) and OUT.png (for a person)
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene/frame.h"
#include "script/reader.h"
#include "sim/simulator.h"
#include "support/png_image.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: scene_at_end SCRIPT ASSETS OUT\n");
    return 2;
  }
  try {
    torvin::scene::Frame last;
    bool dumped = false;
    torvin::sim::Options options;
    options.assets = argv[2];
    options.frames = [&](long long /*time*/, const torvin::scene::Frame& frame) {
      last = frame;
      dumped = true;
    };
    std::ostringstream ignored;
    torvin::sim::Simulator simulator(options, torvin::script::readScriptFile(argv[1]), ignored);
    simulator.run();
    if (!dumped) {
      std::fprintf(stderr, "scene_at_end: the script has no dump line\n");
      return 1;
    }
    const std::string out = argv[3];
    std::ofstream ppm(out + ".ppm", std::ios::binary);
    ppm << "P6\n" << torvin::scene::kWidth << ' ' << torvin::scene::kHeight << "\n255\n";
    for (int y = 0; y < torvin::scene::kHeight; ++y) {
      for (int x = 0; x < torvin::scene::kWidth; ++x) {
        const std::uint32_t pixel = last.pixel(x, y);
        const char rgb[3] = {static_cast<char>((pixel >> 16) & 0xFF),
                             static_cast<char>((pixel >> 8) & 0xFF),
                             static_cast<char>(pixel & 0xFF)};
        ppm.write(rgb, sizeof rgb);
      }
    }
    if (!ppm.flush()) {
      std::fprintf(stderr, "scene_at_end: cannot write %s.ppm\n", out.c_str());
      return 1;
    }
    torvin::testing::writePng(out + ".png", torvin::scene::kWidth, torvin::scene::kHeight,
                              last.data(), torvin::scene::Frame::kStride);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "scene_at_end: %s\n", error.what());
    return 1;
  }
  return 0;
}
