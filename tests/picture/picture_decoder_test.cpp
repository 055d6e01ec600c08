// The picture decoder against hostile files: every one is refused for its
// reason, with the file named, in bounded memory and time.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "picture/picture_decoder.h"
#include "picture/picture_file.h"
#include "support/hostile_pictures.h"

namespace torvin::picture {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::JpegPlan;

class Folder {
 public:
  Folder() {
    std::string name = fs::temp_directory_path() / "torvin-pictures-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
      throw std::runtime_error("no temporary folder");
    }
    path_ = name;
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::string write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(file(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return file(name);
  }

 private:
  fs::path path_;
};

// What the decoder made of a file: accepted, or refused for a reason.
struct Outcome {
  bool accepted = false;
  Reason reason = Reason::Damaged;
  std::string message;
};

Outcome decode(const std::string& path, Decoder& decoder, Pixels pixels = Pixels::Keep) {
  try {
    decoder.decode(path, pixels);
    return {true, Reason::Damaged, ""};
  } catch (const Refused& refused) {
    return {false, refused.reason(), refused.what()};
  }
}

Outcome decode(const std::string& path) {
  Decoder decoder;
  return decode(path, decoder);
}

// A small interlaced GIF whose transparent index is 0.
Bytes interlacedGif() {
  testing::GifPlan plan = testing::gifScreen(2, 9);
  plan.images.push_back({0, 0, 2, 9, Bytes(18, 1), true, 0});
  return testing::makeGif(plan);
}

bool runningAsRoot() {
  return ::geteuid() == 0;
}

TEST(HostilePictures, EachIsRefusedForItsReasonWithTheFileNamed) {
  Folder folder;
  for (const testing::Hostile& hostile : testing::hostilePictures()) {
    if (hostile.plant == testing::Plant::NoPermission && runningAsRoot()) {
      continue;  // NoPermissionEvenForRoot
    }
    SCOPED_TRACE(hostile.name);
    fs::create_directory(folder.file(hostile.name));
    const std::string path =
        folder.file(hostile.name + "/" + fs::path(hostile.file).filename().string());
    testing::plant(hostile, path);
    // The same outcome whether the pixels are kept (the desktop) or not (the
    // simulator).
    for (const Pixels pixels : {Pixels::Keep, Pixels::Drop}) {
      Decoder decoder;
      const Outcome outcome = decode(path, decoder, pixels);
      EXPECT_EQ(outcome.accepted, hostile.good) << outcome.message;
      if (!hostile.good) {
        EXPECT_EQ(outcome.reason, hostile.reason) << outcome.message;
        EXPECT_EQ(outcome.message, path + ": " + hostile.text);
        EXPECT_EQ(decoder.bytesUsed(), 0U);
      }
    }
  }
}

// Root reads any file, so the check runs as nobody in a child process.
TEST(HostilePictures, NoPermissionEvenForRoot) {
  Folder folder;
  const std::string path = folder.file("bg004.gif");
  fs::permissions(folder.file(""), fs::perms::all);
  testing::plant({"no-permission", "bg004.gif", testing::Plant::NoPermission, testing::makeGif({}),
                  false, Reason::NoPermission, ""},
                 path);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (runningAsRoot() && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      ::_exit(100);
    }
    const Outcome outcome = decode(path);
    ::_exit(outcome.accepted ? 101 : static_cast<int>(outcome.reason));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(Reason::NoPermission));
}

TEST(HostilePictures, EveryCutOfAGoodFileIsRefused) {
  Folder folder;
  const std::vector<std::pair<std::string, Bytes>> goods = {
      {"baseline.jpg", testing::makeJpeg({})},
      {"progressive.jpg", testing::makeJpeg(JpegPlan().sized(24, 16).inSteps())},
      {"picture.gif", testing::makeGif({})},
      {"interlaced.gif", interlacedGif()},
  };
  const Limits limits;
  const SizeCheck anySize = [](int, int) {};
  for (const auto& [name, bytes] : goods) {
    ASSERT_TRUE(decode(folder.write(name, bytes)).accepted) << name;
    // The bytes straight to the decoder: a file for each cut would take long.
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      const Bytes part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
      try {
        decodeBytes(name, part, limits, Pixels::Keep, anySize);
        ADD_FAILURE() << name << " cut to " << size << " was taken";
      } catch (const Failure& failure) {
        EXPECT_EQ(failure.reason, Reason::CutShort)
            << name << " cut to " << size << ": " << failure.text;
      }
    }
  }
}

// The component ids of a JPEG's frame header, and whether it has an Adobe marker.
std::string jpegMarks(const Bytes& jpeg) {
  const std::size_t frame = testing::findFrameSize(jpeg);
  std::string ids;
  for (int c = 0; c < jpeg.at(frame + 4); ++c) {
    ids += static_cast<char>(jpeg.at(frame + 5 + 3 * static_cast<std::size_t>(c)));
  }
  const std::string adobe = "Adobe";
  const bool marked =
      std::search(jpeg.begin(), jpeg.end(), adobe.begin(), adobe.end()) != jpeg.end();
  return ids + (marked ? " Adobe" : "");
}

TEST(JpegPictures, RgbJpegsAsLibjpegAndOthersWriteThem) {
  using testing::RgbMark;
  const std::pair<RgbMark, std::string> marks[] = {{RgbMark::Both, "RGB Adobe"},
                                                   {RgbMark::IdsOnly, "RGB"},
                                                   {RgbMark::AdobeOnly, "\1\2\3 Adobe"}};
  for (const auto& [mark, wanted] : marks) {
    EXPECT_EQ(jpegMarks(testing::makeJpeg(JpegPlan().asRgb(mark))), wanted);
  }
  EXPECT_EQ(jpegMarks(testing::makeJpeg({})), "\1\2\3");  // the usual YCbCr
}

TEST(JpegPictures, DecodeToTheirColoursAndSizes) {
  using testing::RgbMark;
  Folder folder;
  for (const JpegPlan& plan :
       {JpegPlan(), JpegPlan().sized(33, 7).inComponents(1), JpegPlan().inSteps(),
        JpegPlan().sized(4096, 8), JpegPlan().sized(8, 4096), JpegPlan().inScans(100),
        JpegPlan().asRgb(), JpegPlan().asRgb(RgbMark::IdsOnly),
        JpegPlan().asRgb(RgbMark::AdobeOnly).inSteps()}) {
    SCOPED_TRACE(jpegMarks(testing::makeJpeg(plan)));
    Decoder decoder;
    const Image image = decoder.decode(folder.write("p.JPG", testing::makeJpeg(plan)));
    EXPECT_EQ(image.width, plan.width);
    EXPECT_EQ(image.height, plan.height);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(plan.width * plan.height));
    const std::uint32_t wanted = plan.components == 1 || plan.scans > 0
                                     ? 0xFF000000U | (plan.rgb & 0xFF) * 0x010101U
                                     : 0xFF000000U | plan.rgb;
    for (const std::uint32_t pixel : {image.pixels.front(), image.pixels.back()}) {
      EXPECT_EQ(pixel >> 24, 0xFFU);
      for (const int shift : {0, 8, 16}) {
        EXPECT_NEAR(static_cast<int>(pixel >> shift & 0xFF),
                    static_cast<int>(wanted >> shift & 0xFF), 3)
            << std::hex << pixel;
      }
    }
    EXPECT_EQ(decoder.bytesUsed(), image.pixels.size() * 4);
  }
}

TEST(GifPictures, TheFirstImageOnATransparentScreen) {
  // Two images; the second is checked but not shown. Pixels of the transparent
  // index and the screen outside the first image stay see-through.
  Folder folder;
  for (const bool interlaced : {false, true}) {
    testing::GifImage first{2, 1, 3, 9, {}, interlaced, 2};
    for (int y = 0; y < first.height; ++y) {
      for (int x = 0; x < first.width; ++x) {
        first.indices.push_back(testing::patternIndex(x, y));
      }
    }
    const testing::GifImage second{0, 0, 8, 10, Bytes(80, 1), false, -1};
    const std::vector<std::uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const Image image = Decoder().decode(
        folder.write("p.gif", testing::makeGif({8, 10, colours, {first, second}})));
    ASSERT_EQ(image.width, 8);
    ASSERT_EQ(image.height, 10);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool inside = x >= 2 && x < 5 && y >= 1;
        const std::uint8_t index = inside ? testing::patternIndex(x - 2, y - 1) : 2;
        const std::uint32_t wanted = index == 2 ? 0U : 0xFF000000U | colours[index];
        EXPECT_EQ(image.pixels[static_cast<std::size_t>(y * 8 + x)], wanted)
            << "at " << x << "," << y << (interlaced ? " interlaced" : "");
      }
    }
  }
}

// What would take long or much memory to decode is refused, before the work.
TEST(PictureLimits, ManyImagesManyPixelsAndMuchWorkingMemory) {
  Folder folder;
  testing::GifPlan plan = testing::gifScreen(4, 4);
  plan.images.assign(1025, {1, 1, 2, 2, Bytes(4, 3), false, -1});
  EXPECT_EQ(decode(folder.write("many.gif", testing::makeGif(plan))).reason, Reason::TooLarge);
  plan.images.resize(1024);
  const std::string many = folder.write("many.gif", testing::makeGif(plan));
  EXPECT_TRUE(decode(many).accepted);

  Limits fewer;
  fewer.maxGifPixels = 4 * 1000;  // the images hold 4 * 1024
  Decoder strict(fewer);
  EXPECT_EQ(decode(many, strict).reason, Reason::TooLarge);

  // A progressive JPEG keeps every coefficient: 2 bytes a sample.
  const std::string steps =
      folder.write("steps.jpg", testing::makeJpeg(JpegPlan().sized(256, 256).inSteps()));
  Limits little;
  little.maxJpegWorkingBytes = 64 * 1024;
  Decoder frugal(little);
  const Outcome refused = decode(steps, frugal);
  EXPECT_EQ(refused.reason, Reason::TooLarge) << refused.message;
  little.maxJpegWorkingBytes = 512 * 1024;
  Decoder enough(little);
  EXPECT_TRUE(decode(steps, enough).accepted);
}

// Each limit at its edge: what reaches it is taken, one more is refused. The
// limits are small here, so that the files are.
TEST(PictureLimits, EachIsTakenAtItsEdgeAndRefusedOnePast) {
  Folder folder;
  const auto refusedAsTooLarge = [](const std::string& path, const Limits& limits) {
    Decoder decoder(limits);
    const Outcome outcome = decode(path, decoder);
    EXPECT_FALSE(outcome.accepted) << path;
    EXPECT_EQ(outcome.reason, Reason::TooLarge) << outcome.message;
  };

  // The file's size.
  const std::string gif = folder.write("file.gif", testing::makeGif({}));
  Limits bytes;
  bytes.maxFileBytes = fs::file_size(gif);
  Decoder exact(bytes);
  EXPECT_TRUE(decode(gif, exact).accepted);
  --bytes.maxFileBytes;
  refusedAsTooLarge(gif, bytes);

  // The pixels of all the images of a GIF together: 10 x 6 and 10 x 4.
  testing::GifPlan plan = testing::gifScreen(10, 10);
  plan.images.push_back({0, 0, 10, 6, Bytes(60, 1), false, -1});
  plan.images.push_back({0, 6, 10, 4, Bytes(40, 2), false, -1});
  const std::string two = folder.write("two.gif", testing::makeGif(plan));
  Limits pixels;
  pixels.maxGifPixels = 100;
  Decoder enough(pixels);
  EXPECT_TRUE(decode(two, enough).accepted);
  pixels.maxGifPixels = 99;
  refusedAsTooLarge(two, pixels);

  // The sides, each on its own.
  Limits sides;
  sides.maxSide = 16;
  for (const auto& [width, height] : {std::pair{1, 16}, {16, 1}}) {
    Decoder decoder(sides);
    EXPECT_TRUE(decode(folder.write("side.jpg", testing::makeJpeg(JpegPlan().sized(width, height))),
                       decoder)
                    .accepted);
    EXPECT_TRUE(
        decode(folder.write("side.gif", testing::makeGif(testing::gifScreen(width, height))),
               decoder)
            .accepted);
  }
  for (const auto& [width, height] : {std::pair{1, 17}, {17, 1}}) {
    refusedAsTooLarge(folder.write("side.jpg", testing::makeJpeg(JpegPlan().sized(width, height))),
                      sides);
    refusedAsTooLarge(folder.write("side.gif", testing::makeGif(testing::gifScreen(width, height))),
                      sides);
  }
}

// A file that yields more bytes than it said it held when it was opened, as
// one that grows while it is read: the files of /proc say they are empty. It
// is read to its end, and refused when that is past the limit, never cut at
// the limit and decoded.
TEST(PictureLimits, AFileThatGrowsWhileItIsReadIsReadWholeOrRefused) {
  const std::string grows = "/proc/self/cmdline";
  std::ifstream in(grows, std::ios::binary);
  const Bytes whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (whole.size() < 2 || fs::file_size(grows) != 0) {
    GTEST_SKIP() << grows << " is not a file that says it is empty";
  }
  EXPECT_EQ(readPictureFile(grows, whole.size()), whole);
  try {
    readPictureFile(grows, whole.size() - 1);
    ADD_FAILURE() << "a file that grew past the limit was read";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.reason, Reason::TooLarge) << failure.text;
  }

  Folder folder;
  const std::string picture = folder.file("grows.gif");
  fs::create_symlink(grows, picture);
  Limits limits;
  limits.maxFileBytes = whole.size() - 1;
  Decoder decoder(limits);
  const Outcome outcome = decode(picture, decoder);
  EXPECT_EQ(outcome.reason, Reason::TooLarge) << outcome.message;
}

long peakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(HostilePictures, HugeSizesInTinyFilesTakeNoMemory) {
  Folder folder;
  const long before = peakKilobytes();
  for (const testing::Hostile& hostile : testing::hostilePictures()) {
    if (hostile.reason == Reason::TooLarge && hostile.plant == testing::Plant::File) {
      const std::string path =
          folder.write(hostile.name + hostile.file.substr(hostile.file.size() - 4), hostile.bytes);
      EXPECT_EQ(decode(path).reason, Reason::TooLarge) << hostile.name;
    }
  }
  EXPECT_LT(peakKilobytes() - before, 64 * 1024);
}

TEST(PictureBudget, PicturesTogetherStayWithinIt) {
  Folder folder;
  const std::string big = folder.write("big.jpg", testing::makeJpeg({}));  // 16 x 16: 1 KiB
  const std::string small =
      folder.write("small.gif", testing::makeGif(testing::gifScreen(8, 8)));  // 256 bytes
  const std::string cut = folder.write("cut.jpg", Bytes{0xFF, 0xD8});
  Limits limits;
  limits.budgetBytes = 3 * 1024 + 256;
  Decoder decoder(limits);
  EXPECT_TRUE(decode(big, decoder).accepted);
  EXPECT_TRUE(decode(big, decoder, Pixels::Drop).accepted);  // counted as if kept
  EXPECT_FALSE(decode(cut, decoder).accepted);               // a refused one costs nothing
  EXPECT_TRUE(decode(big, decoder).accepted);
  const Outcome over = decode(big, decoder);
  EXPECT_EQ(over.reason, Reason::TooLarge);
  EXPECT_NE(over.message.find("together"), std::string::npos) << over.message;
  EXPECT_TRUE(decode(small, decoder).accepted);
  EXPECT_EQ(decoder.bytesUsed(), 3 * 1024 + 256U);
  EXPECT_FALSE(decode(small, decoder).accepted);
}

TEST(PictureNames, OnlyJpgAndGifNamesAreTaken) {
  Folder folder;
  const Bytes jpeg = testing::makeJpeg({});
  EXPECT_TRUE(decode(folder.write("a.jpeg", jpeg)).accepted);
  EXPECT_TRUE(decode(folder.write("a.Jpg", jpeg)).accepted);
  EXPECT_EQ(decode(folder.write("a.png", jpeg)).reason, Reason::WrongFormat);
  EXPECT_EQ(decode(folder.write("jpg", jpeg)).reason, Reason::WrongFormat);
  EXPECT_EQ(decode(folder.file("nowhere.png")).reason, Reason::WrongFormat);
}

}  // namespace
}  // namespace torvin::picture
