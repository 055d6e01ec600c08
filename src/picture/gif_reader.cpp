#include "picture/gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace torvin::picture {

namespace {

// giflib reads through this, from the bytes in memory; it notes when giflib
// asked for more than there is.
struct Source {
  std::span<const std::uint8_t> bytes;
  std::size_t at = 0;
  bool ranOut = false;
};

int readBytes(GifFileType* gif, GifByteType* to, int wanted) {
  auto& source = *static_cast<Source*>(gif->UserData);
  if (wanted <= 0) {
    return 0;
  }
  const std::size_t left = source.bytes.size() - source.at;
  const std::size_t count = std::min(left, static_cast<std::size_t>(wanted));
  if (count < static_cast<std::size_t>(wanted)) {
    source.ranOut = true;
  }
  std::memcpy(to, source.bytes.data() + source.at, count);
  source.at += count;
  return static_cast<int>(count);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};

[[noreturn]] void damaged(const std::string& what) {
  throw Failure{Reason::Damaged, "the picture is damaged (" + what + ")"};
}

// giflib's error codes in the player's words. (giflib's own strings are not
// used: it has none for some codes.)
[[noreturn]] void refuse(int error, const Source& source) {
  if (source.ranOut) {  // whatever giflib made of it: it wanted more than there is
    throw Failure{Reason::CutShort, "the file is cut short"};
  }
  switch (error) {
    case D_GIF_ERR_READ_FAILED:
    case D_GIF_ERR_OPEN_FAILED:
      damaged("unreadable data");
    case D_GIF_ERR_NOT_GIF_FILE:
      throw Failure{Reason::WrongFormat, "not a GIF picture"};
    case D_GIF_ERR_NOT_ENOUGH_MEM:
      throw Failure{Reason::TooLarge, "the picture needs too much memory to decode"};
    case D_GIF_ERR_NO_SCRN_DSCR:
      damaged("no screen descriptor");
    case D_GIF_ERR_NO_IMAG_DSCR:
      damaged("no image descriptor");
    case D_GIF_ERR_NO_COLOR_MAP:
      damaged("no colour table");
    case D_GIF_ERR_WRONG_RECORD:
      damaged("an unknown block");
    case D_GIF_ERR_DATA_TOO_BIG:
      damaged("more image data than the image holds");
    case D_GIF_ERR_IMAGE_DEFECT:
      damaged("broken image data");
    case D_GIF_ERR_EOF_TOO_SOON:
      damaged("the image data ends too early");
    default:
      damaged("GIF error " + std::to_string(error));
  }
}

// The order in which an interlaced image stores its rows: every 8th row from
// 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) {
      rows.push_back(y);
    }
    return rows;
  }
  constexpr int kStart[] = {0, 4, 2, 1};
  constexpr int kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) {
      rows.push_back(y);
    }
  }
  return rows;
}

constexpr std::uint32_t opaque(const GifColorType& colour) {
  return 0xFF000000U | static_cast<std::uint32_t>(colour.Red) << 16 |
         static_cast<std::uint32_t>(colour.Green) << 8 | colour.Blue;
}

class Walk {
 public:
  Walk(GifFileType& gif, const Source& source, const Limits& limits, Image& image, bool keep)
      : gif_(gif), source_(source), limits_(limits), image_(image), keep_(keep) {}

  void run() {
    for (;;) {
      GifRecordType record = UNDEFINED_RECORD_TYPE;
      check(DGifGetRecordType(&gif_, &record));
      switch (record) {
        case IMAGE_DESC_RECORD_TYPE:
          readImage();
          break;
        case EXTENSION_RECORD_TYPE:
          readExtension();
          break;
        case TERMINATE_RECORD_TYPE:
          if (images_ == 0) {
            damaged("it holds no image");
          }
          return;
        default:
          damaged("an unknown block");
      }
    }
  }

 private:
  void check(int status) const {
    if (status == GIF_ERROR) {
      refuse(gif_.Error, source_);
    }
  }

  void readExtension() {
    int code = 0;
    GifByteType* block = nullptr;
    check(DGifGetExtension(&gif_, &code, &block));
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR) {
        damaged("a broken graphic control block");
      }
      transparent_ = control.TransparentColor;
    }
    while (block != nullptr) {
      check(DGifGetExtensionNext(&gif_, &block));
    }
  }

  void readImage() {
    check(DGifGetImageDesc(&gif_));
    if (++images_ > limits_.maxGifImages) {
      throw Failure{Reason::TooLarge, "the picture holds too many images (more than " +
                                          std::to_string(limits_.maxGifImages) + ")"};
    }
    const GifImageDesc& desc = gif_.Image;
    if (desc.Width > limits_.maxSide || desc.Height > limits_.maxSide) {
      throw Failure{Reason::TooLarge, "an image in the picture is too large (" +
                                          std::to_string(desc.Width) + " x " +
                                          std::to_string(desc.Height) + " pixels)"};
    }
    if (desc.Width < 1 || desc.Height < 1) {
      damaged("an empty image of " + std::to_string(desc.Width) + " x " +
              std::to_string(desc.Height) + " pixels");
    }
    pixels_ += static_cast<std::uint64_t>(desc.Width) * static_cast<std::uint64_t>(desc.Height);
    if (pixels_ > limits_.maxGifPixels) {
      throw Failure{Reason::TooLarge,
                    "the picture is too large to decode (its images together hold more than " +
                        std::to_string(limits_.maxGifPixels / 1000000) + " million pixels)"};
    }
    if (desc.Left < 0 || desc.Top < 0 || desc.Left + desc.Width > image_.width ||
        desc.Top + desc.Height > image_.height) {
      damaged("an image reaches outside the picture");
    }
    const ColorMapObject* colours = desc.ColorMap != nullptr ? desc.ColorMap : gif_.SColorMap;
    if (colours == nullptr || colours->Colors == nullptr) {
      damaged("no colour table");
    }
    const bool shown = images_ == 1 && keep_;  // only the first image is the picture
    const int see = transparent_;
    transparent_ = NO_TRANSPARENT_COLOR;  // a control block is for the next image only

    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    for (const int y : rowOrder(desc.Height, desc.Interlace)) {
      check(DGifGetLine(&gif_, line.data(), desc.Width));
      std::uint32_t* const to = shown ? image_.pixels.data() +
                                            static_cast<std::size_t>(desc.Top + y) *
                                                static_cast<std::size_t>(image_.width) +
                                            static_cast<std::size_t>(desc.Left)
                                      : nullptr;
      for (std::size_t x = 0; x < line.size(); ++x) {
        const int index = line[x];
        if (index == see) {
          continue;  // stays transparent
        }
        if (index >= colours->ColorCount) {
          damaged("a colour outside its colour table");
        }
        if (to != nullptr) {
          to[x] = opaque(colours->Colors[index]);
        }
      }
    }
  }

  GifFileType& gif_;
  const Source& source_;
  const Limits& limits_;
  Image& image_;
  bool keep_;
  int images_ = 0;
  std::uint64_t pixels_ = 0;  // in all images so far
  int transparent_ = NO_TRANSPARENT_COLOR;
};

}  // namespace

Image readGif(std::span<const std::uint8_t> bytes, const Limits& limits, Pixels pixels,
              const SizeCheck& checkSize) {
  Source source{bytes};
  int error = 0;
  const std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readBytes, &error));
  if (!gif) {
    refuse(error, source);
  }
  checkSize(gif->SWidth, gif->SHeight);
  Image image{gif->SWidth, gif->SHeight, {}};
  const bool keep = pixels == Pixels::Keep;
  if (keep) {
    // What no image covers is transparent.
    image.pixels.assign(
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 0U);
  }
  Walk(*gif, source, limits, image, keep).run();
  return image;
}

}  // namespace torvin::picture
