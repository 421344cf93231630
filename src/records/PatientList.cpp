#include "PatientList.h"

#include "ListLook.h"

#include "shell/AppState.h"
#include "shell/DayCount.h"

#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <cstdlib>

namespace qern {

namespace {

const std::array<int, PatientColumnCount> ColumnWidths{48, 100, 160, 62, 100, 48, 178, 110, 230, 180, 110, 110};

const QColor Silver(0xC0, 0xC0, 0xC0);

} // namespace

TPatientList::TPatientList(QWidget* parent) : QWidget(parent), model_(new PatientListModel(this))
{
    setObjectName(QStringLiteral("PatientList"));

    auto* searchLabel = new QLabel(QStringLiteral("Search:"), this);
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setMinimumWidth(160);
    SearchEdit->setMaximumWidth(240);
    searchLabel->setBuddy(SearchEdit);
    SearchButton = new QPushButton(QStringLiteral("Start Searching"), this);
    SearchButton->setObjectName(QStringLiteral("SearchButton"));
    SearchButton->setAutoDefault(false);
    SearchImage = new QLabel(this);
    SearchImage->setObjectName(QStringLiteral("SearchImage"));
    SearchImage->setFixedSize(24, 24);
    SearchHint = new QLabel(this);
    SearchHint->setObjectName(QStringLiteral("SearchHint"));
    SearchHint->setStyleSheet(QStringLiteral("QLabel { color: #555555; }"));
    SearchHint->hide();

    searchRow_ = new QHBoxLayout;
    searchRow_->addWidget(searchLabel);
    searchRow_->addWidget(SearchEdit);
    searchRow_->addWidget(SearchButton);
    searchRow_->addWidget(SearchImage);
    searchRow_->addWidget(SearchHint);
    searchRow_->addStretch();

    DBAdvGrid1 = new QTableView(this);
    DBAdvGrid1->setObjectName(QStringLiteral("DBAdvGrid1"));
    DBAdvGrid1->setModel(model_);
    SetUpRecordGrid(DBAdvGrid1);
    QHeaderView* header = DBAdvGrid1->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    for (int c = 0; c < PatientColumnCount; ++c)
        header->resizeSection(c, ColumnWidths[std::size_t(c)]);
    DBAdvGrid1->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(searchRow_);
    layout->addWidget(DBAdvGrid1, 1);

    connect(header, &QHeaderView::sectionClicked, this, &TPatientList::Resort);
    connect(DBAdvGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TPatientList::CurrentRowChanged);
    connect(DBAdvGrid1, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT RowDoubleClicked(index.row()); });
    connect(SearchEdit, &QLineEdit::textChanged, this, &TPatientList::SearchTextChanged);
    connect(SearchEdit, &QLineEdit::returnPressed, this, [this] {
        if (!SearchEdit->text().trimmed().isEmpty())
            Search();
    });
    connect(SearchButton, &QPushButton::clicked, this, &TPatientList::Search);
    SetIndicator(SearchIndicator::Ready);
}

bool TPatientList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBAdvGrid1 && event->type() == QEvent::FocusIn)
        Q_EMIT FocusEntered();
    return QWidget::eventFilter(watched, event);
}

bool TPatientList::Open(QSqlDatabase db)
{
    AppState& state = appState();
    state.PatientSortKey = ValidSortKey(state.PatientSortKey);
    quiet_ = true;
    const bool ok = model_->Read(db, state.PatientSortKey);
    quiet_ = false;
    reportedKey_ = -1;
    MarkHeader();
    SetUpSearch(std::abs(state.PatientSortKey));
    return ok;
}

bool TPatientList::Reread()
{
    quiet_ = true;
    const bool ok = model_->Reread();
    quiet_ = false;
    return ok;
}

void TPatientList::MarkHeader()
{
    const int key = model_->SortKey();
    DBAdvGrid1->horizontalHeader()->setSortIndicator(std::abs(key), key < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TPatientList::SetIndicator(SearchIndicator state)
{
    searchState_ = state;
    SearchImage->setPixmap(SearchIndicatorPicture(state));
    SearchImage->setProperty("state", int(state));
}

void TPatientList::SetUpSearch(int column)
{
    const SearchSetup setup = SearchSetupFor(column, ToDayCount(QDateTime::currentDateTime()));
    SearchEdit->setEnabled(setup.Enabled);
    QPalette palette = SearchEdit->palette();
    palette.setColor(QPalette::Base, setup.Enabled ? QWidget::palette().color(QPalette::Active, QPalette::Base) : Silver);
    SearchEdit->setPalette(palette);
    SearchEdit->setAutoFillBackground(true);
    SearchButton->setEnabled(setup.Enabled && !SearchEdit->text().trimmed().isEmpty());
    SetIndicator(setup.Indicator);
    SearchHint->setText(setup.Hint);
    SearchHint->setVisible(setup.HintVisible);
}

void TPatientList::SearchTextChanged()
{
    SearchButton->setEnabled(SearchEdit->isEnabled() && !SearchEdit->text().trimmed().isEmpty());
    if (SearchEdit->isEnabled())
        SetIndicator(SearchIndicator::Ready);
}

void TPatientList::ClearSearchText() { SearchEdit->clear(); }

void TPatientList::Resort(int column)
{
    // Without a chosen row there is nothing to follow, and none is chosen for the user.
    const std::optional<Patient> current = CurrentRow() >= 0 ? CurrentPatient() : std::nullopt;
    AppState& state = appState();
    state.PatientSortKey = NextSortKey(state.PatientSortKey, column);
    SetUpSearch(std::abs(state.PatientSortKey));
    quiet_ = true;
    model_->Read(model_->Database(), state.PatientSortKey);
    quiet_ = false;
    MarkHeader();
    if (current)
        PositionOnNumberPrefix(current->Number.trimmed());
    else
        ClearPosition();
}

void TPatientList::Search()
{
    const QString t = SearchEdit->text().trimmed();
    bool found = false;
    if (!t.isEmpty()) {
        const int row = model_->SearchRow(t);
        found = row >= 0;
        if (found)
            PositionOnRow(row);
    }
    SetIndicator(found ? SearchIndicator::Found : SearchIndicator::NotFound);
    SearchEdit->setFocus();
    Q_EMIT Searched(found);
}

bool TPatientList::PositionOnRow(int row, bool notify)
{
    quiet_ = true;
    const bool found = row >= 0 && row < model_->rowCount();
    if (found) {
        const int column = std::max(0, DBAdvGrid1->currentIndex().column());
        const QModelIndex index = model_->index(row, column);
        DBAdvGrid1->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        DBAdvGrid1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    } else {
        DBAdvGrid1->selectionModel()->clear();
    }
    quiet_ = false;
    if (notify)
        CurrentRowChanged();
    else
        reportedKey_ = CurrentKey();
    return found;
}

bool TPatientList::PositionOnKey(qint64 key, bool notify) { return PositionOnRow(model_->RowOfKey(key), notify); }

bool TPatientList::PositionOnNumberPrefix(const QString& number, bool notify)
{
    return PositionOnRow(model_->FirstRowNumberBeginsWith(number), notify);
}

bool TPatientList::PositionOnNumber(const QString& number, bool notify)
{
    return PositionOnRow(model_->FirstRowNumberEquals(number), notify);
}

void TPatientList::ClearPosition() { PositionOnRow(-1, false); }

void TPatientList::CurrentRowChanged()
{
    if (quiet_)
        return;
    const qint64 key = CurrentKey();
    if (key == reportedKey_)
        return;
    reportedKey_ = key;
    Q_EMIT SelectionChanged();
}

int TPatientList::Count() const { return model_->rowCount(); }

int TPatientList::CurrentRow() const
{
    const QModelIndex index = DBAdvGrid1->selectionModel()->currentIndex();
    return index.isValid() ? index.row() : -1;
}

qint64 TPatientList::CurrentKey() const { return model_->KeyAt(CurrentRow()); }

std::optional<Patient> TPatientList::CurrentPatient() const { return model_->PatientAt(CurrentRow()); }

void TPatientList::SetFocusGradient(bool focused) { SetHeaderGradient(DBAdvGrid1, focused); }

} // namespace qern
