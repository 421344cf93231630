#include "PointPictures.h"

#include "shell/MeridianModel.h"

#include <QPainter>

namespace qern {

QString PointPictureFile(int style, int point)
{
    const QChar prefix = style == 2 ? QLatin1Char('G') : style == 3 ? QLatin1Char('C') : QLatin1Char('P');
    return prefix + PointPictureName(point).mid(1) + QStringLiteral(".bmp");
}

QPixmap LoadPointPicture(const QString& pictureFolder, int style, int point, const QSize& size)
{
    QPixmap picture(pictureFolder + PointPictureFile(style, point));
    if (!picture.isNull())
        return picture;

    QPixmap frame(size);
    frame.fill(QColor(246, 246, 240));
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(170, 170, 160), 2, Qt::DashLine));
    p.drawRoundedRect(QRectF(frame.rect()).adjusted(4, 4, -4, -4), 8, 8);
    const MeridianInfo& meridian = MeridianTable(MeridianOf(point));
    const QString limb = QString::fromLatin1(SideOf(point) == Side::Left ? "Left " : "Right ") +
                         QString::fromLatin1(IsFoot(point) ? "Foot" : "Hand");
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(11, size.height() / 14));
    p.setFont(font);
    p.setPen(QColor(90, 90, 80));
    p.drawText(QRectF(frame.rect()).adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
               limb + QStringLiteral("\n") + meridian.SourcePoint.simplified() + QStringLiteral("\n\n(") +
                   PointPictureFile(style, point) + QStringLiteral(" not installed)"));
    return frame;
}

} // namespace qern
