#include "sim/picture_reader.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>

#include "platform/picture.h"

namespace torvin::sim {

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// libjpeg reports errors through a callback; this one jumps back with the message.
struct JpegErrors {
  jpeg_error_mgr manager{};
  std::jmp_buf jump{};
  char message[JMSG_LENGTH_MAX] = {};
};

void jpegFail(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  info->err->format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// A warning (such as a file that ends too early) counts as a bad picture too.
void jpegMessage(j_common_ptr info, int level) {
  if (level < 0) {
    jpegFail(info);
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

PictureSize readJpeg(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    throw PictureError(path + ": cannot be opened");
  }
  jpeg_decompress_struct info{};
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = jpegFail;
  errors.manager.emit_message = jpegMessage;
  std::vector<JSAMPLE> row;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    throw PictureError(path + ": not a readable JPEG picture (" + errors.message + ")");
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  row.resize(static_cast<std::size_t>(info.output_width) *
             static_cast<std::size_t>(info.output_components));
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
  }
  const PictureSize size{static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return size;
}

PictureSize readGif(const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) {
    throw PictureError(path + ": not a readable GIF picture (" + GifErrorString(error) + ")");
  }
  const int status = DGifSlurp(gif);
  const PictureSize size{gif->SWidth, gif->SHeight};
  const int slurpError = gif->Error;
  const int frames = gif->ImageCount;
  DGifCloseFile(gif, &error);
  if (status != GIF_OK) {
    throw PictureError(path + ": not a readable GIF picture (" + GifErrorString(slurpError) + ")");
  }
  if (frames < 1 || size.width < 1 || size.height < 1) {
    throw PictureError(path + ": a GIF picture without an image");
  }
  return size;
}

}  // namespace

PictureSize readPictureSize(const std::string& path) {
  if (endsWith(path, ".jpg")) {
    return readJpeg(path);
  }
  if (endsWith(path, ".gif")) {
    return readGif(path);
  }
  throw PictureError(path + ": not a picture the game can show");
}

}  // namespace torvin::sim
