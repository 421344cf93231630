#pragma once

#include <QImage>

namespace qern::pictures {

enum class PictureStyle { Shaded, Outline, Combined };

constexpr int PointPictureWidth = 300;
constexpr int PointPictureHeight = 250;

// The guide picture of point index 1..24 (left hand, right hand, left foot,
// right foot, six each).
QImage DrawPointPicture(int point, PictureStyle style);

} // namespace qern::pictures
