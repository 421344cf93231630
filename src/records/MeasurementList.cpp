#include "MeasurementList.h"

#include "ListLook.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace qern {

TMeasurementList::TMeasurementList(QWidget* parent) : QWidget(parent), model_(new MeasurementListModel(this))
{
    setObjectName(QStringLiteral("MeasurementList"));
    DBAdvGrid2 = new QTableView(this);
    DBAdvGrid2->setObjectName(QStringLiteral("DBAdvGrid2"));
    DBAdvGrid2->setModel(model_);
    SetUpRecordGrid(DBAdvGrid2);
    QHeaderView* header = DBAdvGrid2->horizontalHeader();
    const int widths[MeasurementFirstValue] = {44, 100, 74, 56, 50, 64};
    for (int c = 0; c < MeasurementColumnCount; ++c)
        header->resizeSection(c, c < MeasurementFirstValue ? widths[c] : 46);
    DBAdvGrid2->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBAdvGrid2);

    connect(DBAdvGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!quiet_)
            Q_EMIT SelectionChanged();
    });
    connect(DBAdvGrid2, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT RowDoubleClicked(index.row()); });
}

bool TMeasurementList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBAdvGrid2 && event->type() == QEvent::FocusIn)
        Q_EMIT FocusEntered();
    return QWidget::eventFilter(watched, event);
}

void TMeasurementList::Read(QSqlDatabase db, const std::optional<Patient>& patient)
{
    quiet_ = true;
    if (patient)
        model_->Read(db, patient->Number, patient->BirthDate);
    else
        model_->Clear();
    quiet_ = false;
    PositionOnRow(0);
}

void TMeasurementList::Reread()
{
    quiet_ = true;
    model_->Reread();
    quiet_ = false;
    PositionOnRow(0);
}

bool TMeasurementList::PositionOnRow(int row)
{
    quiet_ = true;
    const bool found = row >= 0 && row < model_->rowCount();
    if (found) {
        const QModelIndex index = model_->index(row, std::max(0, DBAdvGrid2->currentIndex().column()));
        DBAdvGrid2->selectionModel()->setCurrentIndex(index,
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        DBAdvGrid2->scrollTo(index);
    } else {
        DBAdvGrid2->selectionModel()->clear();
    }
    quiet_ = false;
    return found;
}

int TMeasurementList::Count() const { return model_->rowCount(); }

int TMeasurementList::CurrentRow() const
{
    const QModelIndex index = DBAdvGrid2->selectionModel()->currentIndex();
    return index.isValid() ? index.row() : -1;
}

qint64 TMeasurementList::CurrentKey() const { return model_->KeyAt(CurrentRow()); }

std::optional<Measurement> TMeasurementList::CurrentMeasurement() const { return model_->MeasurementAt(CurrentRow()); }

void TMeasurementList::SetFocusGradient(bool focused) { SetHeaderGradient(DBAdvGrid2, focused); }

} // namespace qern
