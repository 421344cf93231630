#include "ListLook.h"

#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <QHeaderView>
#include <QToolButton>

#include <functional>

namespace qern {

namespace {

// Colours as the record windows write them: 0xBBGGRR.
QColor fromBgr(quint32 bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

const char* GradientProperty = "qernHeaderFocused";

using Drawing = std::function<void(QPainter&)>;

QPixmap render(const Drawing& draw, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pixmap;
}

QIcon icon(const Drawing& draw)
{
    QIcon result;
    for (int size : {16, 24, 32, 48})
        result.addPixmap(render(draw, size));
    return result;
}

void person(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour.darker(150), 1.2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(7, 3, 11, 11));
    QPainterPath body;
    body.moveTo(2, 29);
    body.cubicTo(2, 18, 23, 18, 23, 29);
    body.closeSubpath();
    p.drawPath(body);
}

void table(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour.darker(160), 1.2));
    p.setBrush(QColor(250, 250, 250));
    const QRectF frame(2, 5, 22, 20);
    p.drawRect(frame);
    p.setBrush(colour);
    p.drawRect(QRectF(2, 5, 22, 5));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(2, 10 + i * 5), QPointF(24, 10 + i * 5));
    p.drawLine(QPointF(13, 5), QPointF(13, 25));
}

void badgePlus(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 160, 60));
    p.drawEllipse(QRectF(18, 17, 13, 13));
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24.5, 20), QPointF(24.5, 27));
    p.drawLine(QPointF(21, 23.5), QPointF(28, 23.5));
}

void badgeCross(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 40, 40));
    p.drawEllipse(QRectF(18, 17, 13, 13));
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21.5, 20.5), QPointF(27.5, 26.5));
    p.drawLine(QPointF(27.5, 20.5), QPointF(21.5, 26.5));
}

void badgePencil(QPainter& p)
{
    p.setPen(QPen(QColor(120, 70, 10), 1));
    p.setBrush(QColor(245, 180, 40));
    QPainterPath pencil;
    pencil.moveTo(29, 14);
    pencil.lineTo(31.5, 16.5);
    pencil.lineTo(21, 27);
    pencil.lineTo(17.5, 28);
    pencil.lineTo(18.5, 24.5);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void arrowDown(QPainter& p, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPainterPath arrow;
    arrow.moveTo(12, 2);
    arrow.lineTo(20, 2);
    arrow.lineTo(20, 13);
    arrow.lineTo(26, 13);
    arrow.lineTo(16, 23);
    arrow.lineTo(6, 13);
    arrow.lineTo(12, 13);
    arrow.closeSubpath();
    p.drawPath(arrow);
    p.setPen(QPen(colour.darker(140), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(4, 21), QPointF(4, 29), QPointF(28, 29), QPointF(28, 21)}));
}

void memo(QPainter& p)
{
    p.setPen(QPen(QColor(140, 120, 40), 1.2));
    p.setBrush(QColor(255, 246, 170));
    p.drawRect(QRectF(5, 3, 22, 26));
    p.setPen(QPen(QColor(110, 110, 110), 1.4));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(9, 9 + i * 4), QPointF(23, 9 + i * 4));
}

void exitDoor(QPainter& p)
{
    p.setPen(QPen(QColor(90, 60, 30), 1.2));
    p.setBrush(QColor(180, 130, 80));
    p.drawRect(QRectF(4, 3, 14, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    QPainterPath arrow;
    arrow.moveTo(14, 13);
    arrow.lineTo(23, 13);
    arrow.lineTo(23, 8);
    arrow.lineTo(31, 16);
    arrow.lineTo(23, 24);
    arrow.lineTo(23, 19);
    arrow.lineTo(14, 19);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void disk(QPainter& p)
{
    p.setPen(QPen(QColor(20, 50, 110), 1.2));
    p.setBrush(QColor(50, 100, 190));
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 2, 2);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(8, 3, 16, 10));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(7, 17, 18, 12));
}

} // namespace

HeaderGradient FocusedHeaderGradient() { return {fromBgr(0x359FFF), fromBgr(0xACD8FF)}; }
HeaderGradient UnfocusedHeaderGradient() { return {fromBgr(0xF2DED5), fromBgr(0xEED7CC)}; }

void SetHeaderGradient(QTableView* grid, bool focused)
{
    const HeaderGradient g = focused ? FocusedHeaderGradient() : UnfocusedHeaderGradient();
    grid->setProperty(GradientProperty, focused);
    grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, "
                       "stop:1 %2); border: none; border-right: 1px solid #a0a0a0; border-bottom: 1px solid #a0a0a0;"
                       " padding: 3px 4px; }")
            .arg(g.From.name(), g.To.name()));
}

void SetUpRecordGrid(QTableView* grid)
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setFocusPolicy(Qt::StrongFocus);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(22);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->setStyleSheet(QStringLiteral("QTableView { gridline-color: #c8c8c8; selection-background-color: #cfe3ff;"
                                       " selection-color: black; }"));
    SetHeaderGradient(grid, false);
}

HeaderGradient HeaderGradientOf(const QTableView* grid)
{
    return grid->property(GradientProperty).toBool() ? FocusedHeaderGradient() : UnfocusedHeaderGradient();
}

QPixmap SearchIndicatorPicture(SearchIndicator state)
{
    return render(
        [state](QPainter& p) {
            QColor lens;
            switch (state) {
            case SearchIndicator::NotPossible:
                lens = QColor(150, 150, 150);
                break;
            case SearchIndicator::Ready:
                lens = QColor(40, 110, 210);
                break;
            case SearchIndicator::Found:
                lens = QColor(30, 150, 50);
                break;
            case SearchIndicator::NotFound:
                lens = QColor(210, 40, 40);
                break;
            }
            p.setPen(QPen(lens.darker(130), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(19, 19), QPointF(28, 28));
            p.setPen(QPen(lens, 3));
            p.setBrush(QColor(255, 255, 255, 220));
            p.drawEllipse(QRectF(3, 3, 18, 18));
            p.setPen(QPen(lens, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            if (state == SearchIndicator::Found) {
                p.drawPolyline(QPolygonF({QPointF(7.5, 12), QPointF(11, 16), QPointF(17, 8)}));
            } else if (state == SearchIndicator::NotFound) {
                p.drawLine(QPointF(8, 8), QPointF(16, 16));
                p.drawLine(QPointF(16, 8), QPointF(8, 16));
            } else if (state == SearchIndicator::NotPossible) {
                p.drawLine(QPointF(7, 17), QPointF(17, 7));
            }
        },
        22);
}

QIcon RecordToolIcon(RecordIcon kind)
{
    const QColor patient(70, 120, 200);
    const QColor values(60, 150, 140);
    switch (kind) {
    case RecordIcon::Recall:
        return icon([](QPainter& p) { arrowDown(p, QColor(40, 130, 60)); });
    case RecordIcon::NewPatient:
        return icon([patient](QPainter& p) { person(p, patient); badgePlus(p); });
    case RecordIcon::EditPatient:
        return icon([patient](QPainter& p) { person(p, patient); badgePencil(p); });
    case RecordIcon::DeletePatient:
        return icon([patient](QPainter& p) { person(p, patient); badgeCross(p); });
    case RecordIcon::NewValue:
        return icon([values](QPainter& p) { table(p, values); badgePlus(p); });
    case RecordIcon::EditValue:
        return icon([values](QPainter& p) { table(p, values); badgePencil(p); });
    case RecordIcon::DeleteValue:
        return icon([values](QPainter& p) { table(p, values); badgeCross(p); });
    case RecordIcon::Display:
        return icon([](QPainter& p) { table(p, QColor(90, 90, 170)); });
    case RecordIcon::Memo:
        return icon([](QPainter& p) { memo(p); });
    case RecordIcon::Exit:
        return icon([](QPainter& p) { exitDoor(p); });
    case RecordIcon::Save:
        return icon([](QPainter& p) { disk(p); });
    }
    return {};
}

QToolButton* RecordToolButton(const QString& name, const QString& caption, const QString& hint, RecordIcon kind,
                              QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(RecordToolIcon(kind));
    button->setIconSize(QSize(28, 28));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(72);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    return button;
}

} // namespace qern
