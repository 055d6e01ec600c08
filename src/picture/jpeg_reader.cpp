#include "picture/jpeg_reader.h"

// clang-format off: jpeglib.h needs <cstdio> first, and jerror.h after it.
#include <jerror.h>
#include <jpeglib.h>
#include <cstdio>
// clang-format on

#include <algorithm>
#include <bit>
#include <csetjmp>

namespace torvin::picture {

namespace {

// The pixel layout of an Image (0xAARRGGBB in a native 32-bit word), as libjpeg
// names the byte order in memory.
constexpr J_COLOR_SPACE kImageBytes =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// One decompression. libjpeg reports errors by calling back, and the callbacks
// jump back to guarded() with what went wrong.
struct Job {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  jpeg_progress_mgr progress{};
  std::jmp_buf jump{};
  bool created = false;
  int maxScans = 0;
  std::uint64_t maxWorkingBytes = 0;
  bool tooManyScans = false;
  int messageCode = 0;
  char message[JMSG_LENGTH_MAX] = {};

  Job() = default;
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;
  ~Job() {
    if (created) {
      jpeg_destroy_decompress(&info);
    }
  }
};

Job& jobOf(j_common_ptr info) {
  return *static_cast<Job*>(info->client_data);
}

[[noreturn]] void fail(j_common_ptr info) {
  Job& job = jobOf(info);
  job.messageCode = info->err->msg_code;
  info->err->format_message(info, job.message);
  std::longjmp(job.jump, 1);
}

// A warning (a file cut short, corrupt data) refuses the picture as an error does.
void message(j_common_ptr info, int level) {
  if (level < 0) {
    fail(info);
  }
}

// Called as each scan starts: a JPEG with ever more scans would take very long.
void progress(j_common_ptr info) {
  Job& job = jobOf(info);
  if (info->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > job.maxScans) {
    job.tooManyScans = true;
    std::longjmp(job.jump, 1);
  }
}

// Runs libjpeg calls; false when libjpeg failed. `work` must hold nothing that
// needs destroying, since a failure jumps out of it.
template <class Work>
bool guarded(Job& job, const Work& work) {
  if (setjmp(job.jump) != 0) {
    return false;
  }
  work();
  return true;
}

[[noreturn]] void refuse(const Job& job) {
  if (job.tooManyScans) {
    throw Failure{Reason::TooLarge, "the picture is too large to decode (more than " +
                                        std::to_string(job.maxScans) + " scans)"};
  }
  switch (job.messageCode) {
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF:
    case JERR_INPUT_EMPTY:
      throw Failure{Reason::CutShort, "the file is cut short"};
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
      throw Failure{Reason::TooLarge, "the picture is too large to decode (it needs more than " +
                                          std::to_string(job.maxWorkingBytes >> 20) +
                                          " MB of working memory)"};
    case JERR_NO_IMAGE:
      throw Failure{Reason::Damaged, "the picture is damaged (it holds no image)"};
    default:
      throw Failure{Reason::Damaged, std::string("the picture is damaged (") + job.message + ")"};
  }
}

}  // namespace

Image readJpeg(std::span<const std::uint8_t> bytes, const Limits& limits, Pixels pixels,
               const SizeCheck& checkSize) {
  Job job;
  job.maxScans = limits.maxJpegScans;
  job.maxWorkingBytes = limits.maxJpegWorkingBytes;
  job.info.err = jpeg_std_error(&job.errors);
  job.errors.error_exit = fail;
  job.errors.emit_message = message;
  job.info.client_data = &job;
  job.progress.progress_monitor = progress;

  if (!guarded(job, [&] {
        job.created = true;  // safe to destroy even if creating fails half-way
        jpeg_create_decompress(&job.info);
        job.info.mem->max_memory_to_use = static_cast<long>(job.maxWorkingBytes);
        job.info.progress = &job.progress;
        jpeg_mem_src(&job.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&job.info, TRUE);
      })) {
    refuse(job);
  }

  // Grey, or colour as almost every JPEG is; not CMYK.
  const J_COLOR_SPACE colours = job.info.jpeg_color_space;
  if (!(job.info.num_components == 1 && colours == JCS_GRAYSCALE) &&
      !(job.info.num_components == 3 && (colours == JCS_YCbCr || colours == JCS_RGB))) {
    throw Failure{Reason::WrongFormat,
                  "a JPEG picture in colours the game cannot show (CMYK or another)"};
  }
  const int width = static_cast<int>(std::min<JDIMENSION>(job.info.image_width, 1U << 30));
  const int height = static_cast<int>(std::min<JDIMENSION>(job.info.image_height, 1U << 30));
  checkSize(width, height);

  // A progressive JPEG is read whole here, within libjpeg's working memory,
  // before the pixels take theirs.
  if (!guarded(job, [&] {
        job.info.out_color_space = kImageBytes;
        jpeg_start_decompress(&job.info);
      })) {
    refuse(job);
  }

  Image image{width, height, {}};
  const auto rowPixels = static_cast<std::size_t>(width);
  const bool keep = pixels == Pixels::Keep;
  image.pixels.resize(keep ? rowPixels * static_cast<std::size_t>(height) : rowPixels);
  std::uint32_t* const first = image.pixels.data();
  bool stalled = false;
  if (!guarded(job, [&] {
        constexpr int kRowsAtOnce = 16;
        JSAMPROW rows[kRowsAtOnce];
        while (job.info.output_scanline < job.info.output_height) {
          const JDIMENSION next = job.info.output_scanline;
          const JDIMENSION want = std::min<JDIMENSION>(kRowsAtOnce, job.info.output_height - next);
          for (JDIMENSION i = 0; i < want; ++i) {
            const std::size_t y = keep ? static_cast<std::size_t>(next) + i : 0;
            rows[i] = reinterpret_cast<JSAMPROW>(first + y * rowPixels);
          }
          if (jpeg_read_scanlines(&job.info, rows, want) == 0) {
            stalled = true;  // cannot happen with the whole file in memory
            return;
          }
        }
        jpeg_finish_decompress(&job.info);
      })) {
    refuse(job);
  }
  if (stalled || job.info.output_width != job.info.image_width) {
    throw Failure{Reason::Damaged, "the picture is damaged (it could not be decoded whole)"};
  }
  if (!keep) {
    image.pixels = {};
  }
  return image;
}

}  // namespace torvin::picture
