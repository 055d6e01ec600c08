#include "picture/picture_decoder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <new>
#include <span>

#include "picture/gif_reader.h"
#include "picture/jpeg_reader.h"
#include "picture/picture_file.h"

namespace torvin::picture {

namespace {

enum class Format { Jpeg, Gif };

bool endsWith(const std::string& text, std::string_view tail) {
  if (text.size() < tail.size()) {
    return false;
  }
  return std::equal(
      tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::string amount(std::uint64_t bytes) {
  return bytes % (1U << 20) == 0 ? std::to_string(bytes >> 20) + " MB"
                                 : std::to_string(bytes) + " bytes";
}

// The format the file's name promises.
Format formatOf(const std::string& path) {
  if (endsWith(path, ".jpg") || endsWith(path, ".jpeg")) {
    return Format::Jpeg;
  }
  if (endsWith(path, ".gif")) {
    return Format::Gif;
  }
  throw Failure{Reason::WrongFormat,
                "not a picture the game can show (its name must end in .jpg or .gif)"};
}

constexpr std::array<std::uint8_t, 3> kJpegStart = {0xFF, 0xD8, 0xFF};
constexpr std::array<std::uint8_t, 6> kGif87 = {'G', 'I', 'F', '8', '7', 'a'};
constexpr std::array<std::uint8_t, 6> kGif89 = {'G', 'I', 'F', '8', '9', 'a'};

// How the file's first bytes compare with a signature.
enum class Match { Whole, CutShort, Other };

template <std::size_t N>
Match match(std::span<const std::uint8_t> bytes, const std::array<std::uint8_t, N>& signature) {
  const std::size_t common = std::min(bytes.size(), N);
  if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(common),
                  signature.begin())) {
    return Match::Other;
  }
  return common == N ? Match::Whole : Match::CutShort;
}

Match matchGif(std::span<const std::uint8_t> bytes) {
  const Match old = match(bytes, kGif87);
  return old != Match::Other ? old : match(bytes, kGif89);
}

// Refuses a file whose first bytes are not those of the format its name says.
void checkSignature(Format format, std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) {
    throw Failure{Reason::CutShort, "the file is empty"};
  }
  const Match jpeg = match(bytes, kJpegStart);
  const Match gif = matchGif(bytes);
  const Match wanted = format == Format::Jpeg ? jpeg : gif;
  if (wanted == Match::Whole) {
    return;
  }
  if (wanted == Match::CutShort) {
    throw Failure{Reason::CutShort, "the file is cut short"};
  }
  if (format == Format::Jpeg) {
    throw Failure{Reason::WrongFormat, gif == Match::Whole
                                           ? "a GIF picture, not the JPEG its name says"
                                           : "not a JPEG picture, though its name says so"};
  }
  throw Failure{Reason::WrongFormat, jpeg == Match::Whole
                                         ? "a JPEG picture, not the GIF its name says"
                                         : "not a GIF picture, though its name says so"};
}

}  // namespace

Image decodeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                  const Limits& limits, Pixels pixels, const SizeCheck& checkSize) {
  const Format format = formatOf(path);
  checkSignature(format, bytes);
  return format == Format::Jpeg ? readJpeg(bytes, limits, pixels, checkSize)
                                : readGif(bytes, limits, pixels, checkSize);
}

Image Decoder::decode(const std::string& path, Pixels pixels) {
  try {
    formatOf(path);  // a wrong name is refused before the file is touched
    const std::vector<std::uint8_t> bytes = readPictureFile(path, limits_.maxFileBytes);
    std::uint64_t cost = 0;
    const SizeCheck checkSize = [this, &cost](int width, int height) {
      if (width < 1 || height < 1) {
        throw Failure{Reason::Damaged,
                      "the picture is damaged (it is empty: " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels)"};
      }
      if (width > limits_.maxSide || height > limits_.maxSide) {
        throw Failure{Reason::TooLarge, "the picture is too large (" + std::to_string(width) +
                                            " x " + std::to_string(height) + " pixels; at most " +
                                            std::to_string(limits_.maxSide) + " x " +
                                            std::to_string(limits_.maxSide) + ")"};
      }
      cost =
          static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * kBytesPerPixel;
      if (cost > limits_.budgetBytes - std::min(used_, limits_.budgetBytes)) {
        throw Failure{Reason::TooLarge,
                      "the picture is too large: together with the pictures before it, they "
                      "would take more than " +
                          amount(limits_.budgetBytes)};
      }
    };
    Image image = decodeBytes(path, bytes, limits_, pixels, checkSize);
    used_ += cost;
    return image;
  } catch (const Failure& failure) {
    throw Refused(path, failure.reason, failure.text);
  } catch (const std::bad_alloc&) {
    throw Refused(path, Reason::TooLarge, "the picture needs too much memory to decode");
  }
}

}  // namespace torvin::picture
