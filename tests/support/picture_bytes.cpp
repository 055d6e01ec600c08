#include "support/picture_bytes.h"

// clang-format off: jpeglib.h needs <cstdio> first.
#include <jpeglib.h>
#include <cstdio>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace torvin::testing {

namespace {

void putWord(Bytes& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// GIF image data without compression: 9-bit codes, with a clear code often
// enough that the code size never grows.
Bytes lzwData(const std::vector<std::uint8_t>& indices) {
  constexpr int kMinCodeSize = 8;
  constexpr unsigned kClear = 1U << kMinCodeSize;
  Bytes packed;
  unsigned long long bits = 0;
  int count = 0;
  auto emit = [&](unsigned code) {
    bits |= static_cast<unsigned long long>(code) << count;
    count += kMinCodeSize + 1;
    while (count >= 8) {
      packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
      bits >>= 8;
      count -= 8;
    }
  };
  emit(kClear);
  unsigned sinceClear = 0;
  for (const std::uint8_t index : indices) {
    emit(index);
    if (++sinceClear == kClear - 2) {
      emit(kClear);
      sinceClear = 0;
    }
  }
  emit(kClear + 1);  // end of information
  if (count > 0) {
    packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
  }
  Bytes out{kMinCodeSize};
  for (std::size_t at = 0; at < packed.size(); at += 255) {
    const std::size_t size = std::min<std::size_t>(255, packed.size() - at);
    out.push_back(static_cast<std::uint8_t>(size));
    out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
               packed.begin() + static_cast<std::ptrdiff_t>(at + size));
  }
  out.push_back(0);
  return out;
}

void putColours(Bytes& out, const std::vector<std::uint32_t>& colours, int tableSize) {
  for (std::size_t i = 0; i < static_cast<std::size_t>(tableSize); ++i) {
    const std::uint32_t rgb = i < colours.size() ? colours[i] : 0;
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));
    out.push_back(static_cast<std::uint8_t>(rgb));
  }
}

// Interlaced images store their rows in four passes.
std::vector<std::uint8_t> storedOrder(const GifImage& image) {
  if (!image.interlaced) {
    return image.indices;
  }
  std::vector<std::uint8_t> stored;
  for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
    for (int y = start; y < image.height; y += step) {
      const auto row = image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
      stored.insert(stored.end(), row, row + image.width);
    }
  }
  return stored;
}

Bytes gifImageBlock(const GifImage& image) {
  Bytes out;
  if (image.transparent >= 0) {  // a graphic control block naming the transparent index
    out = {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, static_cast<std::uint8_t>(image.transparent), 0x00};
  }
  out.push_back(0x2C);
  putWord(out, image.left);
  putWord(out, image.top);
  putWord(out, image.width);
  putWord(out, image.height);
  out.push_back(image.interlaced ? 0x40 : 0x00);
  const Bytes data = lzwData(storedOrder(image));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

GifPlan gifScreen(int width, int height) {
  GifPlan plan;
  plan.width = width;
  plan.height = height;
  return plan;
}

std::uint8_t patternIndex(int x, int y) {
  return static_cast<std::uint8_t>((x + 2 * y) % 4);
}

Bytes makeGif(GifPlan plan) {
  if (plan.images.empty()) {
    GifImage whole{0, 0, plan.width, plan.height, {}, false, -1};
    for (int y = 0; y < plan.height; ++y) {
      for (int x = 0; x < plan.width; ++x) {
        whole.indices.push_back(patternIndex(x, y));
      }
    }
    plan.images.push_back(whole);
  }
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  putWord(out, plan.width);
  putWord(out, plan.height);
  int sizeBits = 1;  // the table holds 2 ^ sizeBits colours
  while ((1 << sizeBits) < plan.tableSize) {
    ++sizeBits;
  }
  out.push_back(plan.colours.empty() ? 0x00 : static_cast<std::uint8_t>(0xF0 | (sizeBits - 1)));
  out.push_back(0);
  out.push_back(0);
  if (!plan.colours.empty()) {
    putColours(out, plan.colours, 1 << sizeBits);
  }
  for (const GifImage& image : plan.images) {
    const Bytes block = gifImageBlock(image);
    out.insert(out.end(), block.begin(), block.end());
  }
  out.push_back(0x3B);
  return out;
}

Bytes makeJpeg(const JpegPlan& plan) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(plan.width);
  info.image_height = static_cast<JDIMENSION>(plan.height);
  const int components = plan.scans > 0 ? 1 : plan.components;
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&info);
  if (plan.storedAsRgb) {
    jpeg_set_colorspace(&info, JCS_RGB);  // an Adobe marker and the ids 'R', 'G', 'B'
    if (plan.rgbMark == RgbMark::IdsOnly) {
      info.write_Adobe_marker = FALSE;
    } else if (plan.rgbMark == RgbMark::AdobeOnly) {
      for (int c = 0; c < 3; ++c) {
        info.comp_info[c].component_id = c + 1;
      }
    }
  }
  jpeg_set_quality(&info, 90, TRUE);
  std::vector<jpeg_scan_info> script;
  if (plan.scans > 0) {
    // The DC in two steps, then each AC coefficient on its own, in one or two
    // steps, until the scans are used up (at most 2 + 63 * 2).
    script.push_back({1, {0}, 0, 0, 0, plan.scans > 65 ? 1 : 0});
    if (plan.scans > 65) {
      script.push_back({1, {0}, 0, 0, 1, 0});
    }
    const int twoStep = std::max(0, plan.scans - 2 - 63);
    for (int k = 1; k <= 63; ++k) {
      const bool split = k <= twoStep;
      script.push_back({1, {0}, k, k, 0, split ? 1 : 0});
      if (split) {
        script.push_back({1, {0}, k, k, 1, 0});
      }
    }
    info.scan_info = script.data();
    info.num_scans = static_cast<int>(script.size());
  } else if (plan.progressive) {
    jpeg_simple_progression(&info);
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(plan.width * components));
  for (int x = 0; x < plan.width; ++x) {
    for (int c = 0; c < components; ++c) {
      const int shift = components == 3 ? 16 - 8 * c : 0;
      row[static_cast<std::size_t>(x * components + c)] =
          static_cast<JSAMPLE>((plan.rgb >> shift) & 0xFF);
    }
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

ScanData findScanData(const Bytes& jpeg) {
  for (std::size_t at = 2; at + 4 < jpeg.size();) {
    if (jpeg[at] != 0xFF) {
      break;
    }
    const std::size_t length = static_cast<std::size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
    if (jpeg[at + 1] == 0xDA) {
      return {at + 2 + length, jpeg.size() - 2};
    }
    at += 2 + length;
  }
  throw std::runtime_error("no scan in the JPEG");
}

std::size_t findFrameSize(const Bytes& jpeg) {
  for (std::size_t at = 2; at + 4 < jpeg.size();) {
    const std::uint8_t marker = jpeg[at + 1];
    if (marker >= 0xC0 && marker <= 0xC2) {
      return at + 5;
    }
    at += 2 + static_cast<std::size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
  }
  throw std::runtime_error("no frame header in the JPEG");
}

}  // namespace torvin::testing
