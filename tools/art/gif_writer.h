// Writes a picture as a single-frame GIF through giflib.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace torvin::art {

// Pixels at least half covered are kept, blended over `matte` (the colour the picture
// is seen against); the rest become the transparent colour. The one frame sits at
// 0,0 and covers the whole logical screen. Throws std::runtime_error on failure.
void writeGif(const QImage& picture, const QString& path, const QColor& matte);

}  // namespace torvin::art
