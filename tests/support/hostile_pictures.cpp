#include "support/hostile_pictures.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace torvin::testing {

namespace fs = std::filesystem;
using picture::Reason;

namespace {

Bytes cut(const Bytes& bytes, std::size_t size) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

// The bytes with a 16-bit word changed: GIF words are little-endian, JPEG's big.
Bytes withWord(const Bytes& bytes, std::size_t at, int value, bool bigEndian = false) {
  Bytes changed = bytes;
  changed.at(at + (bigEndian ? 1 : 0)) = static_cast<std::uint8_t>(value & 0xFF);
  changed.at(at + (bigEndian ? 0 : 1)) = static_cast<std::uint8_t>(value >> 8);
  return changed;
}

// A JPEG with another height and width in its frame header.
Bytes withJpegSize(const Bytes& jpeg, std::size_t frame, int height, int width) {
  return withWord(withWord(jpeg, frame, height, true), frame + 2, width, true);
}

// A 16 x 16 screen with one image of the given place and size (no pixels).
Bytes gifWithImage(int left, int top, int width, int height) {
  GifPlan plan = gifScreen(16, 16);
  plan.images.push_back({left, top, 1, 1, {1}, false, -1});
  Bytes gif = makeGif(plan);
  const std::size_t descriptor = 13 + 3 * 256;  // after the header and the colour table
  gif = withWord(gif, descriptor + 1, left);
  gif = withWord(gif, descriptor + 3, top);
  gif = withWord(gif, descriptor + 5, width);
  return withWord(gif, descriptor + 7, height);
}

void write(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace

std::vector<Hostile> hostilePictures() {
  const Bytes jpeg = makeJpeg({});
  const Bytes gif = makeGif({});
  const ScanData scan = findScanData(jpeg);
  const std::size_t frame = findFrameSize(jpeg);

  Bytes garbageScan = jpeg;
  std::uint32_t seed = 12345;
  for (std::size_t i = scan.begin; i < scan.end; ++i) {
    seed = seed * 1103515245U + 12345U;
    garbageScan[i] = static_cast<std::uint8_t>(seed >> 16);
  }
  Bytes noScanData(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(scan.begin));
  noScanData.push_back(0xFF);
  noScanData.push_back(0xD9);
  Bytes noScan(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(frame - 5));
  noScan.push_back(0xFF);
  noScan.push_back(0xD9);

  // Half the image data, then the trailer.
  const Bytes halfGif = [&] {
    const GifPlan plan = gifScreen(64, 64);
    const Bytes whole = makeGif(plan);
    Bytes half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    half.push_back(0x3B);
    return half;
  }();
  // A pixel of colour `index` in a colour table of `size` entries.
  auto withColour = [](int size, std::uint8_t index) {
    GifPlan plan = gifScreen(4, 4);
    plan.colours.resize(static_cast<std::size_t>(size), 0x808080);
    plan.tableSize = size;
    plan.images.push_back({0, 0, 4, 4, std::vector<std::uint8_t>(16, 0), false, -1});
    plan.images[0].indices[5] = index;
    return makeGif(plan);
  };
  Bytes noGifImage(gif.begin(), gif.begin() + 13 + 3 * 256);
  noGifImage.push_back(0x3B);

  const char* const cutShort = "the file is cut short";
  const std::vector<Hostile> table = {
      {"good-link", "01/002.jpg", Plant::LinkToGood, jpeg, true, {}, ""},
      {"jpeg-1x4096", "01/019.jpg", Plant::File, makeJpeg(JpegPlan().sized(1, 4096)), true, {}, ""},
      {"gif-colour-last-of-table", "bg003.gif", Plant::File, withColour(4, 3), true, {}, ""},
      {"missing", "01/003.jpg", Plant::Dangling, {}, false, Reason::Missing, "the file is missing"},
      {"folder",
       "01/004.jpg",
       Plant::Folder,
       {},
       false,
       Reason::NotAFile,
       "not a picture file but a folder"},
      {"fifo",
       "bg003.gif",
       Plant::Fifo,
       {},
       false,
       Reason::NotAFile,
       "not a picture file but a named pipe"},
      {"device",
       "02/005.jpg",
       Plant::Device,
       {},
       false,
       Reason::NotAFile,
       "not a picture file but a device"},
      {"no-permission", "bg004.gif", Plant::NoPermission, gif, false, Reason::NoPermission,
       "no permission to read the file"},
      {"empty", "01/006.jpg", Plant::File, {}, false, Reason::CutShort, "the file is empty"},
      {"gif-named-jpg", "01/007.jpg", Plant::File, gif, false, Reason::WrongFormat,
       "a GIF picture, not the JPEG its name says"},
      {"jpeg-named-gif", "bg005.gif", Plant::File, jpeg, false, Reason::WrongFormat,
       "a JPEG picture, not the GIF its name says"},
      {"text-named-jpg",
       "03/008.jpg",
       Plant::File,
       {'h', 'e', 'l', 'l', 'o', '\n'},
       false,
       Reason::WrongFormat,
       "not a JPEG picture, though its name says so"},
      {"jpeg-cut-short", "01/009.jpg", Plant::File, cut(jpeg, jpeg.size() / 2), false,
       Reason::CutShort, cutShort},
      {"jpeg-without-end", "01/010.jpg", Plant::File, cut(jpeg, jpeg.size() - 2), false,
       Reason::CutShort, cutShort},
      {"jpeg-garbage-scan", "01/011.jpg", Plant::File, garbageScan, false, Reason::Damaged,
       "the picture is damaged (Corrupt JPEG data: premature end of data segment)"},
      {"jpeg-no-scan-data", "01/012.jpg", Plant::File, noScanData, false, Reason::Damaged,
       "the picture is damaged (Corrupt JPEG data: premature end of data segment)"},
      {"jpeg-no-image", "01/013.jpg", Plant::File, noScan, false, Reason::Damaged,
       "the picture is damaged (it holds no image)"},
      {"jpeg-16000-square", "01/014.jpg", Plant::File, withJpegSize(jpeg, frame, 16000, 16000),
       false, Reason::TooLarge,
       "the picture is too large (16000 x 16000 pixels; at most 4096 x 4096)"},
      {"jpeg-4097-wide", "01/015.jpg", Plant::File, withJpegSize(jpeg, frame, 16, 4097), false,
       Reason::TooLarge, "the picture is too large (4097 x 16 pixels; at most 4096 x 4096)"},
      {"jpeg-1x4097", "01/020.jpg", Plant::File, makeJpeg(JpegPlan().sized(1, 4097)), false,
       Reason::TooLarge, "the picture is too large (1 x 4097 pixels; at most 4096 x 4096)"},
      {"jpeg-cmyk", "01/016.jpg", Plant::File, makeJpeg(JpegPlan().inComponents(4)), false,
       Reason::WrongFormat, "a JPEG picture in colours the game cannot show (CMYK or another)"},
      {"jpeg-128-scans", "01/017.jpg", Plant::File, makeJpeg(JpegPlan().inScans(128)), false,
       Reason::TooLarge, "the picture is too large to decode (more than 100 scans)"},
      {"gif-cut-to-6", "bg006.gif", Plant::File, cut(gif, 6), false, Reason::CutShort, cutShort},
      {"gif-cut-to-13", "bg006.gif", Plant::File, cut(gif, 13), false, Reason::CutShort, cutShort},
      {"gif-cut-colour-table", "bg006.gif", Plant::File, cut(gif, 13 + 100), false,
       Reason::CutShort, cutShort},
      {"gif-cut-short", "bg007.gif", Plant::File, cut(gif, gif.size() - 3), false, Reason::CutShort,
       cutShort},
      {"gif-half-then-trailer", "bg007.gif", Plant::File, halfGif, false, Reason::CutShort,
       cutShort},
      {"gif-0x0-image", "bg001.gif", Plant::File, gifWithImage(0, 0, 0, 0), false, Reason::Damaged,
       "the picture is damaged (an empty image of 0 x 0 pixels)"},
      {"gif-65535-image", "bg001.gif", Plant::File, gifWithImage(0, 0, 65535, 65535), false,
       Reason::TooLarge, "an image in the picture is too large (65535 x 65535 pixels)"},
      {"gif-image-outside", "bg001.gif", Plant::File, gifWithImage(10, 10, 8, 8), false,
       Reason::Damaged, "the picture is damaged (an image reaches outside the picture)"},
      {"gif-20000-square", "bg003.gif", Plant::File, withWord(withWord(gif, 6, 20000), 8, 20000),
       false, Reason::TooLarge,
       "the picture is too large (20000 x 20000 pixels; at most 4096 x 4096)"},
      {"gif-0x0-screen", "bg003.gif", Plant::File, withWord(withWord(gif, 6, 0), 8, 0), false,
       Reason::Damaged, "the picture is damaged (it is empty: 0 x 0 pixels)"},
      {"gif-no-image", "bg004.gif", Plant::File, noGifImage, false, Reason::Damaged,
       "the picture is damaged (it holds no image)"},
      {"gif-colour-far-outside-table", "bg005.gif", Plant::File, withColour(2, 200), false,
       Reason::Damaged, "the picture is damaged (a colour outside its colour table)"},
      // Colours 0 to 3: the first index past the table.
      {"gif-colour-just-past-table", "bg005.gif", Plant::File, withColour(4, 4), false,
       Reason::Damaged, "the picture is damaged (a colour outside its colour table)"},
      {"too-large-file", "02/018.jpg", Plant::Oversized, jpeg, false, Reason::TooLarge,
       "the file is too large (17 MB; at most 16 MB)"},
  };
  return table;
}

void plant(const Hostile& hostile, const std::string& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
  switch (hostile.plant) {
    case Plant::File:
      write(path, hostile.bytes);
      break;
    case Plant::Oversized:
      write(path, hostile.bytes);
      fs::resize_file(path, (16U << 20) + 1);
      break;
    case Plant::Folder:
      fs::create_directory(path);
      break;
    case Plant::Fifo:
      if (::mkfifo(path.c_str(), 0644) != 0) {
        throw std::runtime_error("cannot make a named pipe at " + path);
      }
      break;
    case Plant::Device:
      fs::create_symlink("/dev/zero", path);
      break;
    case Plant::Dangling:
      fs::create_symlink(path + ".nowhere", path);
      break;
    case Plant::LinkToGood:
      write(path + ".target", hostile.bytes);
      fs::create_symlink(fs::path(path).filename().string() + ".target", path);
      break;
    case Plant::NoPermission:
      write(path, hostile.bytes);
      fs::permissions(path, fs::perms::none);
      break;
  }
}

}  // namespace torvin::testing
