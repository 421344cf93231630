#pragma once

#include <QPixmap>
#include <QString>

namespace qern {

// The picture of a point in a PictureStyle (1 "Picture", 2 "Outline",
// 3 "Combined"): "PLh1.bmp", "GLh1.bmp", "CLh1.bmp" ... for point index 1.
QString PointPictureFile(int style, int point);

// Loads the picture from the picture folder. A missing or unreadable file
// gives a neutral frame naming the point, the size of `size`.
QPixmap LoadPointPicture(const QString& pictureFolder, int style, int point, const QSize& size);

} // namespace qern
