#pragma once

// The looks the record lists share: the header gradient that follows the
// focus, the search indicator's pictures, the record windows' tool icons.

#include "PatientListLogic.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

class QTableView;
class QToolButton;
class QWidget;

namespace qern {

struct HeaderGradient {
    QColor From;
    QColor To;
    bool operator==(const HeaderGradient&) const = default;
};
// The grid with the focus, and the other grid of the window.
HeaderGradient FocusedHeaderGradient();
HeaderGradient UnfocusedHeaderGradient();
void SetHeaderGradient(QTableView* grid, bool focused);
// A read-only record grid: whole rows selected, one at a time, fixed row
// heights (a list may hold a hundred thousand rows).
void SetUpRecordGrid(QTableView* grid);
HeaderGradient HeaderGradientOf(const QTableView* grid);

QPixmap SearchIndicatorPicture(SearchIndicator state);

enum class RecordIcon { Recall, NewPatient, EditPatient, DeletePatient, NewValue, EditValue, DeleteValue, Display,
                        Memo, Exit, Save };
QIcon RecordToolIcon(RecordIcon kind);
// A toolbar button of the record windows: picture above the caption, the hint
// as tool tip and status tip; it never takes the focus from the lists.
QToolButton* RecordToolButton(const QString& name, const QString& caption, const QString& hint, RecordIcon icon,
                              QWidget* parent);

} // namespace qern
