// A small page of the web build for the browser tests to try their harness on:
// the simulator plays a script inside the page, on the pictures packed with
// it, and the picture decoder decodes one of them for a canvas.
#include <emscripten.h>

#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "picture/picture_decoder.h"
#include "script/reader.h"
#include "sim/simulator.h"

namespace {

// What the page reads back, kept until the next call.
std::string played;
torvin::picture::Image picture;

}  // namespace

extern "C" {

// What torvin-sim --assets /assets [--trace] prints for the script, or
// "error: " and why the run failed.
EMSCRIPTEN_KEEPALIVE const char* torvin_smoke_play(const char* script, int trace) {
  std::istringstream in(script);
  std::ostringstream out;
  try {
    torvin::sim::Options options;
    options.assets = "/assets";
    options.trace = trace != 0;
    torvin::sim::Simulator simulator(options, torvin::script::readScript(in), out);
    simulator.run();
    played = out.str();
  } catch (const std::exception& error) {
    played = std::string("error: ") + error.what();
  }
  return played.c_str();
}

// Decodes the picture file: its pixels (0xAARRGGBB, row after row), with its
// width and height in size[0] and size[1]; null when it is refused.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* torvin_smoke_picture(const char* path, int* size) {
  try {
    torvin::picture::Decoder decoder;
    picture = decoder.decode(path);
  } catch (const std::exception&) {
    return nullptr;
  }
  size[0] = picture.width;
  size[1] = picture.height;
  return picture.pixels.data();
}

}  // extern "C"
