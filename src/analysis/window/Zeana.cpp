#include "Zeana.h"

#include "AnalysisDisplay.h"
#include "AnalysisHooks.h"
#include "FindingTexts.h"

#include "analysis/diagrams/DiagramKinds.h"
#include "analysis/diagrams/DiagramStyle.h"
#include "records/Records.h"
#include "shell/AppState.h"
#include "shell/DataFolder.h"
#include "shell/DayCount.h"
#include "shell/LaunchExternal.h"
#include "shell/Led.h"
#include "shell/Settings.h"
#include "shell/ZeMsg.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace qern {

// ---------------------------------------------------------------------------
// The history list's model and the chart surface

class THistoryModel : public QAbstractTableModel {
public:
    THistoryModel(const QList<HistoryRow>& rows, const QStringList& headers, QObject* parent)
        : QAbstractTableModel(parent), rows_(rows), headers_(headers)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rows_.size())
            return {};
        const HistoryRow& row = rows_[index.row()];
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return HistoryNumber(index.row() + 1, row.Complete);
        case 1:
            return row.Date > 0 ? ShortDate(row.Date) : QString();
        default:
            return row.Date > 0 ? LongTime(row.Date) : QString();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return headers_.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    void Reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const QList<HistoryRow>& rows_;
    QStringList headers_;
};

class TChartArea : public QWidget {
public:
    explicit TChartArea(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("ChartArea"));
        setFixedSize(ScreenChartWidth, ScreenChartHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    std::function<void(QPainter&)> Paint;
    std::function<void()> Clicked;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (Paint)
            Paint(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (Clicked)
            Clicked();
        QWidget::mousePressEvent(event);
    }
};

namespace {

constexpr int EnergyPage = 0;
constexpr int ChartPage = 1;
constexpr int AnalysisPage = 2;
constexpr int ProtocolsPage = 3;
constexpr int DietaryPage = 4;
constexpr int ApplicationsPage = 5;
constexpr int NotesPage = 6;
constexpr int PrintPage = 7;

const QColor DarkGreen(0, 128, 0);
const QColor SelectionBackground(204, 226, 255);

template <typename T>
T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* label(const QString& text, QWidget* parent, const QString& name = {})
{
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QLabel* field(const QString& name, QWidget* parent)
{
    auto* l = label(QString(), parent, name);
    l->setStyleSheet(QStringLiteral("QLabel { color: #12325a; font-weight: bold; }"));
    l->setMinimumWidth(70);
    return l;
}

QLabel* heading(const QString& text, QWidget* parent, const QString& name = {})
{
    auto* l = label(text, parent, name);
    l->setStyleSheet(QStringLiteral("QLabel { color: #12325a; font-weight: bold; font-size: 13px; }"));
    return l;
}

void setTextColour(QLabel* l, const QColor& colour, bool bold = true)
{
    l->setStyleSheet(QStringLiteral("QLabel { color: %1; %2 }")
                         .arg(colour.name(), bold ? QStringLiteral("font-weight: bold;") : QString()));
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent, const QString& hint = {})
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QPlainTextEdit* detailArea(const QString& name, QWidget* parent)
{
    auto* area = named(new QPlainTextEdit(parent), name);
    area->setReadOnly(true);
    area->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return area;
}

QListWidget* findingList(const QString& name, QWidget* parent)
{
    auto* list = named(new QListWidget(parent), name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setStyleSheet(QStringLiteral("QListWidget { color: #12325a; }"));
    return list;
}

QString joined(const QStringList& lines) { return lines.join(QLatin1Char('\n')); }

// Selected text with its paragraph separators as line breaks.
QString selectedText(const QPlainTextEdit* area)
{
    QString text = area->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void setSelectedTextColour(QTableView* view, const QColor& colour)
{
    QPalette palette = view->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::HighlightedText, colour);
        palette.setColor(group, QPalette::Highlight, SelectionBackground);
    }
    view->setPalette(palette);
}

void setCell(QTableWidget* grid, int row, int column, const QString& text, const QColor& colour = Qt::black,
             bool bold = false)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        item->setFlags(Qt::ItemIsEnabled);
        grid->setItem(row, column, item);
    }
    item->setText(text);
    item->setForeground(colour);
    QFont font = grid->font();
    font.setBold(bold);
    item->setFont(font);
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

TZeany::TZeany(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Zeany"));
    setWindowTitle(QStringLiteral("Data Analysis"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setModal(true);
    setFixedSize(FormWidth, FormHeight);

    historyModel_ = new THistoryModel(
        history_, {QStringLiteral("No"), QStringLiteral("Meas. Date"), QStringLiteral("Time")}, this);
    historyModel2_ = new THistoryModel(
        history_, {QStringLiteral("No"), QStringLiteral("Meas.Date"), QStringLiteral("Time")}, this);

    PageControl1 = named(new QTabWidget(this), QStringLiteral("PageControl1"));
    PageControl1->addTab(BuildEnergyPage(), PageCaption(EnergyPage));
    PageControl1->addTab(BuildChartPage(), PageCaption(ChartPage));
    for (int page : {AnalysisPage, ProtocolsPage, DietaryPage})
        PageControl1->addTab(BuildFindingPage(page), PageCaption(page));
    PageControl1->addTab(BuildApplicationsPage(), PageCaption(ApplicationsPage));
    PageControl1->addTab(BuildNotesPage(), PageCaption(NotesPage));
    PageControl1->addTab(BuildPrintPage(), PageCaption(PrintPage));
    for (int page = 0; page < AnalysisPageCount; ++page)
        PageControl1->widget(page)->setObjectName(QStringLiteral("TabSheet%1").arg(page + 1));

    // "All" and "Paste" of the finding pages and the "Applications" page.
    for (int page : {AnalysisPage, ProtocolsPage, DietaryPage, ApplicationsPage}) {
        for (QPushButton* b : {AllButton[page], PasteButton[page]})
            b->setFocusPolicy(Qt::NoFocus); // the focused detail area stays focused
        PasteButton[page]->setEnabled(false);
        connect(AllButton[page], &QPushButton::clicked, this, [this, page] { AllClick(page); });
        connect(PasteButton[page], &QPushButton::clicked, this, [this, page] { PasteClick(page); });
        for (QPlainTextEdit* area : pageAreas_[page]) {
            connect(area, &QPlainTextEdit::selectionChanged, this, [this, page] { UpdatePaste(page); });
            connect(area, &QPlainTextEdit::textChanged, this, [this, page] { UpdatePaste(page); });
        }
    }

    // The reference-protocol list is one list over the pages 2 to 4.
    ReferenceProtocolList = findingList(QStringLiteral("ReferenceProtocolList"), this);
    ReferenceProtocolList->hide();
    connect(ReferenceProtocolList, &QListWidget::itemSelectionChanged, this, [this] {
        const int row = ReferenceProtocolList->currentRow();
        if (row >= 0 && ReferenceProtocolList->item(row)->isSelected())
            ShowReferenceProtocol(row);
    });

    StatusPanel1 = named(new QLabel(this), QStringLiteral("StatusPanel1"));
    StatusPanel2 = named(new QLabel(RightStatusText, this), QStringLiteral("StatusPanel2"));
    for (QLabel* panel : {StatusPanel1, StatusPanel2}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setFixedHeight(34);
        panel->setContentsMargins(4, 0, 4, 0);
    }
    // The chart texts are long: two lines rather than a cut.
    StatusPanel1->setWordWrap(true);
    StatusPanel2->setStyleSheet(QStringLiteral("QLabel { color: #8b0000; }"));
    ExitButton = button(QStringLiteral("ExitButton"), QStringLiteral("Exit"), this);
    ExitButton->setMinimumWidth(90);
    connect(ExitButton, &QPushButton::clicked, this, &TZeany::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(StatusPanel1, 1);
    bottom->addWidget(StatusPanel2);
    bottom->addWidget(ExitButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TZeany::PageChange);
}

TZeany::~TZeany() = default;

QWidget* TZeany::BuildEnergyPage()
{
    auto* page = new QWidget;

    // Patient block.
    PatientNoText = field(QStringLiteral("PatientNoText"), page);
    PatientNameText = field(QStringLiteral("PatientNameText"), page);
    PatientDobText = field(QStringLiteral("PatientDobText"), page);
    PatientTelText = field(QStringLiteral("PatientTelText"), page);
    PotentialText = field(QStringLiteral("PotentialText"), page);
    HiPotentialLabel = label(QStringLiteral("HI Potential"), page, QStringLiteral("HiPotentialLabel"));
    setTextColour(HiPotentialLabel, DisplayRed);
    HiPotentialLabel->hide();
    GenderText = field(QStringLiteral("GenderText"), page);
    PatientAgeText = field(QStringLiteral("PatientAgeText"), page);
    MeasurementDateText = field(QStringLiteral("MeasurementDateText"), page);
    MeasurementTimeText = field(QStringLiteral("MeasurementTimeText"), page);
    MeasurementAgeText = field(QStringLiteral("MeasurementAgeText"), page);

    // The patient on the left, the measurement on the right.
    auto* patient = new QGridLayout;
    patient->setHorizontalSpacing(8);
    patient->setVerticalSpacing(2);
    const auto place = [&](int row, int column, const QString& caption, QWidget* value) {
        patient->addWidget(label(caption, page), row, column * 2);
        patient->addWidget(value, row, column * 2 + 1);
    };
    place(0, 0, QStringLiteral("No:"), PatientNoText);
    place(1, 0, QStringLiteral("Name:"), PatientNameText);
    place(2, 0, QStringLiteral("Gender:"), GenderText);
    place(3, 0, QStringLiteral("D.O.B."), PatientDobText);
    place(4, 0, QStringLiteral("Age:"), PatientAgeText);
    place(0, 1, QStringLiteral("Tel No.:"), PatientTelText);
    place(1, 1, QStringLiteral("Potential:"), PotentialText);
    place(2, 1, QStringLiteral("Measurement Date:"), MeasurementDateText);
    place(3, 1, QStringLiteral("Measurement Time:"), MeasurementTimeText);
    place(4, 1, QStringLiteral("Measurement Age:"), MeasurementAgeText);
    patient->setColumnStretch(1, 1);
    patient->setColumnStretch(3, 1);

    // Value grid.
    ValueTitle = heading(QStringLiteral("Meridian Energy Values"), page, QStringLiteral("ValueTitle"));
    ValueToggle = named(new QToolButton(page), QStringLiteral("ValueToggle"));
    ValueToggle->setText(QStringLiteral("Values / Quality"));
    ValueToggle->setToolTip(QStringLiteral("Switch between the values and their quality scores"));
    connect(ValueToggle, &QToolButton::clicked, this, [this] {
        qualityView_ = !qualityView_;
        ShowValueGrid();
    });
    AvgText = field(QStringLiteral("AvgText"), page);
    AvgText->setMinimumWidth(50);
    ValueGrid = named(new QTableWidget(3, 13, page), QStringLiteral("ValueGrid"));
    ValueGrid->horizontalHeader()->hide();
    ValueGrid->verticalHeader()->hide();
    ValueGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ValueGrid->setSelectionMode(QAbstractItemView::NoSelection);
    ValueGrid->setFocusPolicy(Qt::NoFocus);
    ValueGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueGrid->setColumnWidth(0, 56);
    for (int c = 1; c < 13; ++c)
        ValueGrid->setColumnWidth(c, 49);
    for (int r = 0; r < 3; ++r)
        ValueGrid->setRowHeight(r, 24);
    ValueGrid->setFixedSize(56 + 12 * 49 + 4, 3 * 24 + 4);
    for (int s = 1; s <= MeridianCount; ++s)
        setCell(ValueGrid, 0, s, MeridianTable(DisplayOrder[s]).Code, QColor(0x12, 0x32, 0x5a), true);
    setCell(ValueGrid, 0, 0, QString());
    setCell(ValueGrid, 1, 0, QStringLiteral("Left"), QColor(0x12, 0x32, 0x5a), true);
    setCell(ValueGrid, 2, 0, QStringLiteral("Right"), QColor(0x12, 0x32, 0x5a), true);
    auto* valueHead = new QHBoxLayout;
    valueHead->addWidget(ValueTitle);
    valueHead->addWidget(ValueToggle);
    valueHead->addStretch();
    valueHead->addWidget(HiPotentialLabel);
    valueHead->addSpacing(24);
    valueHead->addWidget(label(QStringLiteral("Avg:"), page));
    valueHead->addWidget(AvgText);

    // The five rows.
    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(1);
    for (int i = 0; i < 5; ++i) {
        const QString n = QString::number(i + 1);
        GaugeLabel[i] = label(QString(), page, QStringLiteral("GaugeLabel") + n);
        GaugeLabel[i]->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
        Gauge[i] = named(new QProgressBar(page), QStringLiteral("Gauge") + n);
        Gauge[i]->setTextVisible(false);
        Gauge[i]->setFixedSize(130, 14);
        RatioText[i] = label(QString(), page, QStringLiteral("RatioText") + n);
        RatioValue[i] = field(QStringLiteral("RatioValue") + n, page);
        RatioValue[i]->setMinimumWidth(44);
        RatioValue[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        RangeText[i] = label(QString(), page, QStringLiteral("RangeText") + n);
        Statement[i] = label(QString(), page, QStringLiteral("Statement") + n);
        Statement[i]->setWordWrap(true);
        Statement[i]->setStyleSheet(QStringLiteral("QLabel { color: #1f4e99; padding-left: 12px; }"));
        rows->addWidget(GaugeLabel[i], 2 * i, 0);
        rows->addWidget(Gauge[i], 2 * i, 1);
        rows->addWidget(RatioText[i], 2 * i, 2);
        rows->addWidget(RatioValue[i], 2 * i, 3);
        rows->addWidget(RangeText[i], 2 * i, 4);
        rows->addWidget(Statement[i], 2 * i + 1, 0, 1, 5);
        rows->setRowMinimumHeight(2 * i + 1, 30);
    }
    rows->setColumnStretch(4, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(heading(QStringLiteral(" Body Energy and Mental State  "), page));
    left->addLayout(patient);
    left->addSpacing(6);
    left->addLayout(valueHead);
    left->addWidget(ValueGrid);
    left->addSpacing(8);
    left->addLayout(rows);
    left->addStretch();

    // Index table.
    IndexGrid = named(new QTableWidget(14, 4, page), QStringLiteral("IndexGrid"));
    IndexGrid->horizontalHeader()->hide();
    IndexGrid->verticalHeader()->hide();
    IndexGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    IndexGrid->setSelectionMode(QAbstractItemView::NoSelection);
    IndexGrid->setFocusPolicy(Qt::NoFocus);
    IndexGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    IndexGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    IndexGrid->setColumnWidth(0, 64);
    for (int c = 1; c < 4; ++c)
        IndexGrid->setColumnWidth(c, 58);
    for (int r = 0; r < 14; ++r)
        IndexGrid->setRowHeight(r, 20);
    IndexGrid->setFixedSize(64 + 3 * 58 + 4, 14 * 20 + 4);
    setCell(IndexGrid, 0, 0, QString());
    setCell(IndexGrid, 0, 1, QStringLiteral("Left"), QColor(0x12, 0x32, 0x5a), true);
    setCell(IndexGrid, 0, 2, QStringLiteral("Right"), QColor(0x12, 0x32, 0x5a), true);
    setCell(IndexGrid, 0, 3, QStringLiteral("AVG."), QColor(0x12, 0x32, 0x5a), true);

    // Large figure, its selector and the energy-low lamp.
    FigureCaption = heading(QString(), page, QStringLiteral("FigureCaption"));
    FigureValue = label(QString(), page, QStringLiteral("FigureValue"));
    FigureValue->setStyleSheet(QStringLiteral("QLabel { color: #0000c0; font-size: 30px; font-weight: bold; }"));
    FigureSelector = named(new QComboBox(page), QStringLiteral("FigureSelector"));
    FigureSelector->addItems(IntegratedDisplayChoices);
    connect(FigureSelector, &QComboBox::activated, this, [this](int index) {
        appState().Settings.IntegratedDisplay = index;
        ShowFigure();
    });
    EnergyLowLed = named(new TLed(page, TLed::Red), QStringLiteral("EnergyLowLed"));
    EnergyLowLed->setFixedSize(18, 18);
    auto* figure = new QGridLayout;
    figure->addWidget(FigureCaption, 0, 0);
    figure->addWidget(FigureValue, 1, 0);
    figure->addWidget(FigureSelector, 0, 1, Qt::AlignRight);
    auto* lamp = new QHBoxLayout;
    lamp->addStretch();
    lamp->addWidget(EnergyLowLed);
    lamp->addWidget(label(QStringLiteral("Energy Low"), page));
    figure->addLayout(lamp, 1, 1);

    // History list.
    HistoryGrid = BuildHistoryGrid(QStringLiteral("HistoryGrid"), historyModel_, page);
    UnfinishedLabel = label(QStringLiteral("Unfinished"), page, QStringLiteral("UnfinishedLabel"));
    setTextColour(UnfinishedLabel, DisplayRed);
    UnfinishedLabel->hide();
    auto* historyHead = new QHBoxLayout;
    historyHead->addWidget(heading(QStringLiteral("History Records"), page));
    historyHead->addStretch();
    historyHead->addWidget(UnfinishedLabel);

    auto* right = new QVBoxLayout;
    right->addWidget(heading(QStringLiteral("Energetic Composite Index E.C.I."), page, QStringLiteral("IndexHeading")));
    right->addWidget(IndexGrid);
    right->addSpacing(4);
    right->addLayout(figure);
    right->addSpacing(4);
    right->addLayout(historyHead);
    right->addWidget(HistoryGrid, 1);

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(left, 1);
    layout->addSpacing(10);
    layout->addLayout(right);
    return page;
}

QTableView* TZeany::BuildHistoryGrid(const QString& name, THistoryModel* model, QWidget* parent)
{
    auto* grid = named(new QTableView(parent), name);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grid->setColumnWidth(0, 44);
    grid->setSortingEnabled(false);
    setSelectedTextColour(grid, DisplayBlue);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!historyGuard_ && current.isValid())
                    HistoryPick(current.row());
            });
    return grid;
}

QWidget* TZeany::BuildChartPage()
{
    auto* page = new QWidget;
    constexpr int X0 = 2;
    int x = X0;
    for (int g = 1; g <= ChartGroupCount; ++g) {
        QPushButton* b = button(QStringLiteral("GroupButton%1").arg(g), ChartGroupCaptions[g - 1], page);
        b->setCheckable(true);
        // As wide as the caption needs: five groups and three views share one row.
        const int width = std::max(120, b->sizeHint().width() + 8);
        b->setGeometry(x, 2, width, 26);
        x += width + 2;
        connect(b, &QPushButton::clicked, this, [this, g] { GroupButtonClick(g); });
        GroupButton[g - 1] = b;
    }
    x += 8;
    for (int v = 1; v <= MaxChartViews; ++v) {
        QPushButton* b = button(QStringLiteral("ViewButton%1").arg(v), QString(), page);
        b->setCheckable(true);
        b->setGeometry(x, 2, 78, 26);
        x += 80;
        connect(b, &QPushButton::clicked, this, [this, v] { ViewButtonClick(v); });
        ViewButton[v - 1] = b;
    }

    ChartTitle = heading(QString(), page, QStringLiteral("ChartTitle"));
    ChartTitle->setGeometry(X0 + 4, 31, 560, 22);
    ChartEnergyLowLed = named(new TLed(page, TLed::Red), QStringLiteral("ChartEnergyLowLed"));
    ChartEnergyLowLed->setGeometry(X0 + 640, 33, 18, 18);
    ChartEnergyLowLed->SetOn(true);
    ChartEnergyLowLabel = label(QStringLiteral("Energy Low"), page, QStringLiteral("ChartEnergyLowLabel"));
    setTextColour(ChartEnergyLowLabel, DisplayRed);
    ChartEnergyLowLabel->setGeometry(X0 + 662, 31, 110, 22);
    RecallButton = button(QStringLiteral("RecallButton"), QStringLiteral("Recall Analysis Data"), page);
    RecallButton->setGeometry(X0 + ScreenChartWidth - 170, 30, 170, 25);
    connect(RecallButton, &QPushButton::clicked, this, &TZeany::RecallButtonClick);

    ChartArea = new TChartArea(page);
    ChartArea->move(X0, 57);
    ChartArea->Paint = [this](QPainter& painter) { DrawChart(painter); };
    ChartArea->Clicked = [this] { ChartAreaClick(); };

    // The history list's copy lies over the chart, hidden until asked for.
    HistoryGrid2 = BuildHistoryGrid(QStringLiteral("HistoryGrid2"), historyModel2_, ChartArea);
    HistoryGrid2->setGeometry(ScreenChartWidth - 312, 4, 308, 260);
    HistoryGrid2->hide();
    UnfinishedLabel2 = label(QStringLiteral("Unfinished"), ChartArea, QStringLiteral("UnfinishedLabel2"));
    setTextColour(UnfinishedLabel2, DisplayRed);
    UnfinishedLabel2->setStyleSheet(UnfinishedLabel2->styleSheet() +
                                    QStringLiteral(" QLabel { background: white; padding: 1px 4px; }"));
    UnfinishedLabel2->adjustSize();
    UnfinishedLabel2->move(ScreenChartWidth - 312, 268);
    UnfinishedLabel2->hide();
    page->setMinimumSize(X0 + ScreenChartWidth, 57 + ScreenChartHeight);
    return page;
}

QWidget* TZeany::BuildFindingPage(int page)
{
    auto* sheet = new QWidget;
    QListWidget* list = nullptr;
    QString listCaption;
    switch (page) {
    case AnalysisPage:
        AnalysisList = list = findingList(QStringLiteral("AnalysisList"), sheet);
        listCaption = QStringLiteral("Diagnosis Category");
        break;
    case ProtocolsPage:
        ProtocolTabList = list = findingList(QStringLiteral("ProtocolTabList"), sheet);
        listCaption = QStringLiteral("Protocols of Points and Herbs");
        break;
    default:
        DietaryList = list = findingList(QStringLiteral("DietaryList"), sheet);
        listCaption = QStringLiteral("Dietary Regimen");
        break;
    }
    const FindingListKind kind = page == AnalysisPage    ? FindingListKind::Analysis
                                 : page == ProtocolsPage ? FindingListKind::ProtocolTab
                                                         : FindingListKind::Dietary;
    connect(list, &QListWidget::itemSelectionChanged, this, [this, kind] { FindingPick(kind); });

    QWidget*& placeholder = ReferencePlaceholder[page - AnalysisPage];
    placeholder = named(new QWidget(sheet), QStringLiteral("ReferencePlaceholder%1").arg(page));
    placeholder->setFixedHeight(210);

    auto* left = new QVBoxLayout;
    left->addWidget(heading(listCaption, sheet));
    left->addWidget(list, 1);
    left->addWidget(heading(QStringLiteral("Reference Protocols"), sheet));
    left->addWidget(placeholder);

    auto* right = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    if (page == AnalysisPage) {
        DetailMemo = detailArea(QStringLiteral("DetailMemo"), sheet);
        RyodorakuMemo = detailArea(QStringLiteral("RyodorakuMemo"), sheet);
        right->addWidget(heading(QStringLiteral("Detailed Explanation"), sheet));
        right->addWidget(DetailMemo, 3);
        right->addWidget(heading(QStringLiteral("Ryodoraku Analysis"), sheet));
        right->addWidget(RyodorakuMemo, 2);
        pageAreas_[page] = {DetailMemo, RyodorakuMemo};
    } else if (page == ProtocolsPage) {
        ProtocolMemo = detailArea(QStringLiteral("ProtocolMemo"), sheet);
        right->addWidget(heading(QStringLiteral("Protocols Advice"), sheet));
        right->addWidget(ProtocolMemo, 1);
        pageAreas_[page] = {ProtocolMemo};
        AcupunctureButton = button(QStringLiteral("AcupunctureButton"), QStringLiteral("Acupuncture"), sheet,
                                   QStringLiteral("Suggested treatment protocols"));
        HerbsButton = button(QStringLiteral("HerbsButton"), QStringLiteral("Herbs"), sheet,
                             QStringLiteral("Single and compound herbal remedies"));
        buttons->addWidget(AcupunctureButton);
        buttons->addWidget(HerbsButton);
    } else {
        DietaryMemo = detailArea(QStringLiteral("DietaryMemo"), sheet);
        right->addWidget(heading(QStringLiteral("Dietary Advice"), sheet));
        right->addWidget(DietaryMemo, 1);
        pageAreas_[page] = {DietaryMemo};
        MassageButton = button(QStringLiteral("MassageButton"), QStringLiteral("Massage"), sheet,
                               QStringLiteral("Massages that relieve and soothe"));
        buttons->addWidget(MassageButton);
        // The three therapy buttons exist once all finding pages are built.
        AcupunctureButton->setCheckable(true);
        HerbsButton->setCheckable(true);
        MassageButton->setCheckable(true);
        therapyGroup_ = new QButtonGroup(this);
        therapyGroup_->setExclusive(false);
        for (QPushButton* b : {AcupunctureButton, HerbsButton, MassageButton}) {
            b->setMinimumWidth(100);
            therapyGroup_->addButton(b);
        }
        connect(therapyGroup_, &QButtonGroup::buttonClicked, this, &TZeany::TherapyButtonClick);
    }
    buttons->addStretch();
    AllButton[page] = button(QStringLiteral("AllButton%1").arg(page), QStringLiteral("All"), sheet,
                             QStringLiteral("Selects entire content for paste"));
    PasteButton[page] = button(QStringLiteral("PasteButton%1").arg(page), QStringLiteral("Paste"), sheet,
                               QStringLiteral("To paste selected content into \"Dispositions\" tab"));
    buttons->addWidget(AllButton[page]);
    buttons->addWidget(PasteButton[page]);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(sheet);
    layout->setContentsMargins(8, 6, 8, 6);
    auto* leftBox = new QWidget(sheet);
    leftBox->setFixedWidth(280);
    leftBox->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(leftBox);
    layout->addLayout(right, 1);
    return sheet;
}

QWidget* TZeany::BuildApplicationsPage()
{
    auto* sheet = new QWidget;
    const int page = ApplicationsPage;
    UserProtocolList = findingList(QStringLiteral("UserProtocolList"), sheet);
    connect(UserProtocolList, &QListWidget::itemSelectionChanged, this, [this] {
        const int row = UserProtocolList->currentRow();
        if (row >= 0 && UserProtocolList->item(row)->isSelected())
            ShowUserProtocol(row);
    });
    DescriptionMemo = detailArea(QStringLiteral("DescriptionMemo"), sheet);
    pageAreas_[page] = {DescriptionMemo};

    PictureFrame = named(new QScrollArea(sheet), QStringLiteral("PictureFrame"));
    PictureFrame->setFixedSize(300, 300);
    PictureFrame->setAlignment(Qt::AlignCenter);
    ProtocolPicture = label(QString(), nullptr, QStringLiteral("ProtocolPicture"));
    ProtocolPicture->setAlignment(Qt::AlignCenter);
    PictureFrame->setWidget(ProtocolPicture);
    PictureModeLabel = label(QString(), sheet, QStringLiteral("PictureModeLabel"));
    PictureModeLabel->setStyleSheet(QStringLiteral("QLabel { color: #12325a; font-weight: bold; }"));

    auto* keys = new QHBoxLayout;
    for (int k = 1; k <= 4; ++k) {
        QPushButton* b = button(QStringLiteral("FunctionKey%1").arg(k), QStringLiteral("F%1").arg(k), sheet);
        b->setFixedWidth(68);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, k] { FunctionKeyClick(k); });
        FunctionKey[k - 1] = b;
        keys->addWidget(b);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(heading(QStringLiteral("Applicable Protocols"), sheet));
    left->addWidget(UserProtocolList, 1);

    auto* middle = new QVBoxLayout;
    middle->addWidget(heading(QStringLiteral("Description:"), sheet));
    middle->addWidget(DescriptionMemo, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    AllButton[page] = button(QStringLiteral("AllButton%1").arg(page), QStringLiteral("All"), sheet,
                             QStringLiteral("Selects entire content for paste"));
    PasteButton[page] = button(QStringLiteral("PasteButton%1").arg(page), QStringLiteral("Paste"), sheet,
                               QStringLiteral("To paste selected content into \"Dispositions\" tab"));
    buttons->addWidget(AllButton[page]);
    buttons->addWidget(PasteButton[page]);
    middle->addLayout(buttons);

    auto* pictureHead = new QHBoxLayout;
    pictureHead->addWidget(heading(QStringLiteral("Picture"), sheet));
    pictureHead->addStretch();
    pictureHead->addWidget(PictureModeLabel);
    auto* right = new QVBoxLayout;
    right->addLayout(pictureHead);
    right->addWidget(PictureFrame);
    right->addSpacing(6);
    right->addWidget(heading(QStringLiteral("Function Keys"), sheet));
    right->addLayout(keys);
    right->addStretch();

    auto* layout = new QHBoxLayout(sheet);
    layout->setContentsMargins(8, 6, 8, 6);
    auto* leftBox = new QWidget(sheet);
    leftBox->setFixedWidth(250);
    left->setContentsMargins(0, 0, 0, 0);
    leftBox->setLayout(left);
    layout->addWidget(leftBox);
    layout->addLayout(middle, 1);
    layout->addLayout(right);
    return sheet;
}

QWidget* TZeany::BuildNotesPage()
{
    auto* sheet = new QWidget;
    NotesMemo = named(new QPlainTextEdit(sheet), QStringLiteral("NotesMemo"));
    // The report prints the notes in this font.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(true);
    NotesMemo->setFont(font);
    connect(NotesMemo, &QPlainTextEdit::textChanged, this, [this] {
        if (!loadingNotes_)
            notesChanged_ = true;
    });
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(heading(QStringLiteral("Symptoms and Dispositions"), sheet));
    layout->addWidget(NotesMemo, 1);
    return sheet;
}

QWidget* TZeany::BuildPrintPage()
{
    auto* sheet = new QWidget;
    const auto check = [&](const char* name, const QString& caption, QWidget* parent) {
        auto* box = named(new QCheckBox(caption, parent), QLatin1String(name));
        connect(box, &QCheckBox::toggled, this, &TZeany::UpdatePrintDependencies);
        return box;
    };
    const auto radio = [&](const char* name, const QString& caption, QWidget* parent) {
        return named(new QRadioButton(caption, parent), QLatin1String(name));
    };
    const auto pair = [this](QRadioButton* a, QRadioButton* b) {
        auto* group = new QButtonGroup(this);
        group->addButton(a);
        group->addButton(b);
    };

    auto* options = named(new QGroupBox(QStringLiteral(" Printing Options  "), sheet),
                          QStringLiteral("PrintOptionsGroup"));
    ReportHeaderCheck = check("ReportHeaderCheck", QStringLiteral("Report Header"), options);
    PatientDataCheck = check("PatientDataCheck", QStringLiteral("Patient Data"), options);
    PatientDetailedRadio = radio("PatientDetailedRadio", QStringLiteral("Detailed"), options);
    PatientSimpleRadio = radio("PatientSimpleRadio", QStringLiteral("Simple"), options);
    pair(PatientDetailedRadio, PatientSimpleRadio);
    MeridianDataCheck = check("MeridianDataCheck", QStringLiteral("Data of Meridian Measurement"), options);
    CompensatedCheck = check("CompensatedCheck", QStringLiteral("Compensated Value"), options);
    BodyEnergyCheck = check("BodyEnergyCheck", QStringLiteral("Body Energy and Mental State"), options);
    MeridianAnalysisCheck = check("MeridianAnalysisCheck", QStringLiteral("Meridian Analysis"), options);
    RyodorakuAnalysisCheck = check("RyodorakuAnalysisCheck", QStringLiteral("Ryodoraku Analysis"), options);
    ProtocolPointsCheck = check("ProtocolPointsCheck", QStringLiteral("Protocols Advice of Points"), options);
    ProtocolHerbsCheck = check("ProtocolHerbsCheck", QStringLiteral("Protocols Advice of Herbs"), options);
    DietaryCheck = check("DietaryCheck", QStringLiteral("Dietary Regimen Advice"), options);
    ApplicationsCheck = check("ApplicationsCheck", QStringLiteral("Applications"), options);
    NotesCheck = check("NotesCheck", QStringLiteral("Symptoms and  Notes"), options);

    auto* charts = named(new QGroupBox(QStringLiteral(" Analysis Chart of Energy  "), options),
                         QStringLiteral("ChartOptionsGroup"));
    BalanceCheck = check("BalanceCheck", QStringLiteral("Body Energy Balance"), charts);
    EciCheck = check("EciCheck", QStringLiteral("E.C.I.  Pie Diagram"), charts);
    NervousCheck = check("NervousCheck", QStringLiteral("Auto.Nervous Analysis"), charts);
    BarCheck = check("BarCheck", QStringLiteral("Bar Diagram"), charts);
    SlopeCheck = check("SlopeCheck", QStringLiteral("Slope Diagram"), charts);
    RyodorakuDiagramCheck = check("RyodorakuDiagramCheck", QStringLiteral("Ryodoraku Diagram"), charts);
    YinYangCheck = check("YinYangCheck", QStringLiteral("Balance Diagram (A)"), charts);
    QiBloodCheck = check("QiBloodCheck", QStringLiteral("Balance Diagram (A)"), charts);
    ElementsCheck = check("ElementsCheck", QStringLiteral("Integrated Analysis"), charts);
    auto* chartGrid = new QGridLayout(charts);
    chartGrid->setHorizontalSpacing(16);
    const auto chartHead = [&](const QString& text) {
        auto* l = label(text, charts);
        l->setStyleSheet(QStringLiteral("QLabel { color: #12325a; font-weight: bold; }"));
        return l;
    };
    chartGrid->addWidget(chartHead(QStringLiteral("Composite Analysis")), 0, 0);
    chartGrid->addWidget(BalanceCheck, 1, 0);
    chartGrid->addWidget(EciCheck, 2, 0);
    chartGrid->addWidget(NervousCheck, 3, 0);
    chartGrid->addWidget(chartHead(QStringLiteral("Meridian  Analysis")), 0, 1);
    chartGrid->addWidget(BarCheck, 1, 1);
    chartGrid->addWidget(SlopeCheck, 2, 1);
    chartGrid->addWidget(RyodorakuDiagramCheck, 3, 1);
    chartGrid->addWidget(chartHead(QStringLiteral("Yin-Yang Analysis")), 4, 0);
    chartGrid->addWidget(YinYangCheck, 5, 0);
    chartGrid->addWidget(chartHead(QStringLiteral("Qi-Blood Analysis")), 4, 1);
    chartGrid->addWidget(QiBloodCheck, 5, 1);
    chartGrid->addWidget(chartHead(QStringLiteral("Five Elements Analysis")), 6, 0);
    chartGrid->addWidget(ElementsCheck, 7, 0);

    auto* optionGrid = new QGridLayout(options);
    optionGrid->setVerticalSpacing(4);
    optionGrid->setHorizontalSpacing(12);
    int row = 0;
    const auto indented = [&](QWidget* a, QWidget* b = nullptr) {
        auto* line = new QHBoxLayout;
        line->addSpacing(24);
        line->addWidget(a);
        if (b)
            line->addWidget(b);
        line->addStretch();
        optionGrid->addLayout(line, row++, 0);
    };
    optionGrid->addWidget(ReportHeaderCheck, row++, 0);
    optionGrid->addWidget(PatientDataCheck, row++, 0);
    indented(PatientDetailedRadio, PatientSimpleRadio);
    optionGrid->addWidget(MeridianDataCheck, row++, 0);
    indented(CompensatedCheck);
    optionGrid->addWidget(BodyEnergyCheck, row++, 0);
    optionGrid->addWidget(MeridianAnalysisCheck, row++, 0);
    indented(RyodorakuAnalysisCheck);
    optionGrid->addWidget(ProtocolPointsCheck, row++, 0);
    indented(ProtocolHerbsCheck);
    optionGrid->addWidget(DietaryCheck, row++, 0);
    optionGrid->addWidget(ApplicationsCheck, row++, 0);
    optionGrid->addWidget(NotesCheck, row++, 0);
    optionGrid->setRowStretch(row, 1);
    optionGrid->addWidget(charts, 0, 1, row + 1, 1, Qt::AlignTop);
    optionGrid->setColumnStretch(1, 1);

    const auto radioGroup = [&](const QString& title, const char* name, QRadioButton* a, QRadioButton* b) {
        auto* group = named(new QGroupBox(title, sheet), QLatin1String(name));
        a->setParent(group);
        b->setParent(group);
        auto* line = new QHBoxLayout(group);
        line->addWidget(a);
        line->addWidget(b);
        line->addStretch();
        pair(a, b);
        return group;
    };
    FormatDetailedRadio = radio("FormatDetailedRadio", QStringLiteral("Detailed"), sheet);
    FormatSimpleRadio = radio("FormatSimpleRadio", QStringLiteral("Simple"), sheet);
    ColorRadio = radio("ColorRadio", QStringLiteral("Color"), sheet);
    MonochromeRadio = radio("MonochromeRadio", QStringLiteral("Monochrome"), sheet);
    NormalFontRadio = radio("NormalFontRadio", QStringLiteral("Normal"), sheet);
    SmallFontRadio = radio("SmallFontRadio", QStringLiteral("Small"), sheet);

    auto* feed = named(new QGroupBox(sheet), QStringLiteral("FormFeedGroup"));
    FormFeedCheck = check("FormFeedCheck", QStringLiteral("Form Feed "), feed);
    FirstPageRadio = radio("FirstPageRadio", QStringLiteral("First Page"), feed);
    EveryPageRadio = radio("EveryPageRadio", QStringLiteral("Every Page"), feed);
    pair(FirstPageRadio, EveryPageRadio);
    MarginUpDown = named(new QDoubleSpinBox(feed), QStringLiteral("MarginUpDown"));
    MarginUpDown->setDecimals(1);
    MarginUpDown->setSingleStep(0.1);
    MarginUpDown->setFixedWidth(70);
    MarginUpDown->setAlignment(Qt::AlignRight);
    connect(MarginUpDown, &QDoubleSpinBox::valueChanged, this, &TZeany::MarginUpDownChange);
    MarginUnitList = named(new QComboBox(feed), QStringLiteral("MarginUnitList"));
    MarginUnitList->addItems({QStringLiteral("cm"), QStringLiteral("inch")});
    connect(MarginUnitList, &QComboBox::currentIndexChanged, this, &TZeany::MarginUnitChange);
    auto* feedLayout = new QGridLayout(feed);
    feedLayout->addWidget(FormFeedCheck, 0, 0, 1, 3);
    feedLayout->addWidget(FirstPageRadio, 1, 0);
    feedLayout->addWidget(EveryPageRadio, 1, 1, 1, 2);
    feedLayout->addWidget(label(QStringLiteral("Margin:"), feed), 2, 0);
    feedLayout->addWidget(MarginUpDown, 2, 1);
    feedLayout->addWidget(MarginUnitList, 2, 2);

    PrinterSetupButton = button(QStringLiteral("PrinterSetupButton"), QStringLiteral("Printer Setup"), sheet,
                                QStringLiteral("Set up printer parameters"));
    PrintButton = button(QStringLiteral("PrintButton"), QStringLiteral("Print"), sheet,
                         QStringLiteral("Start printing"));
    for (QPushButton* b : {PrinterSetupButton, PrintButton})
        b->setMinimumHeight(32);
    connect(PrinterSetupButton, &QPushButton::clicked, this, &TZeany::PrinterSetupClick);
    connect(PrintButton, &QPushButton::clicked, this, &TZeany::PrintButtonClick);

    auto* side = new QVBoxLayout;
    side->addWidget(radioGroup(QStringLiteral(" Print Format  "), "PrintFormatGroup", FormatDetailedRadio,
                               FormatSimpleRadio));
    side->addWidget(radioGroup(QStringLiteral(" Print Mode  "), "PrintModeGroup", ColorRadio, MonochromeRadio));
    side->addWidget(radioGroup(QStringLiteral(" Print Font Size  "), "PrintFontGroup", NormalFontRadio,
                               SmallFontRadio));
    side->addWidget(feed);
    side->addStretch();
    side->addWidget(PrinterSetupButton);
    side->addWidget(PrintButton);

    auto* layout = new QHBoxLayout(sheet);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(options, 1);
    auto* sideBox = new QWidget(sheet);
    sideBox->setFixedWidth(260);
    side->setContentsMargins(0, 0, 0, 0);
    sideBox->setLayout(side);
    layout->addWidget(sideBox);
    return sheet;
}

// ---------------------------------------------------------------------------
// Opening and closing

void TZeany::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    CentreOnMainWindow();
    FormShow();
}

void TZeany::CentreOnMainWindow()
{
    const QWidget* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible())
            main = w;
    if (!main && parentWidget())
        main = parentWidget()->window();
    QRect area;
    if (main)
        area = main->frameGeometry();
    else if (const QScreen* s = screen())
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void TZeany::FormShow()
{
    AppState& state = appState();
    const Measurement& inHand = state.CurrentMeasurement;

    // 1. The measurement in hand, and its memo into the notes.
    analysed_ = AnalysedMeasurement{};
    analysed_.RawValues = inHand.Raw;
    analysed_.QualityValues = inHand.Quality;
    analysed_.DateTime = inHand.DateTime;
    analysed_.HighPotential = inHand.HighPotential;
    analysed_.StoredKey = inHand.StoredMeasurementKey;
    analysed_.Male = state.CurrentPatient.Male;
    analysed_.BirthDate = state.CurrentPatient.BirthDate;
    SetNotes(inHand.Memo);

    // 3. Flags, the protocol tables, the history.
    notesChanged_ = false;
    referenceProtocolShown_ = false;
    HistoryGrid2->hide();
    const ProtocolSet user = LoadProtocolSet(Database(DbRole::Main));
    if (!user.Error.isEmpty())
        ShowMessageBox(6, user.Error);
    userProtocols_ = user.Protocols;
    const ProtocolSet reference = LoadProtocolSet(Database(DbRole::Protocol));
    if (!reference.Error.isEmpty())
        ShowMessageBox(6, reference.Error);
    referenceProtocols_ = reference.Protocols;

    // 4.
    LoadHistory();

    // 5. The page and the chart view of the last time.
    const int page = std::clamp(state.AnalysisPage, 0, AnalysisPageCount - 1);
    state.ChartGroup = ValidChartGroup(state.ChartGroup);
    for (int g = 1; g <= ChartGroupCount; ++g)
        state.ChartView[g] = ValidChartView(g, state.ChartView[g]);
    ApplyChartView();
    {
        const QSignalBlocker block(PageControl1);
        PageControl1->setCurrentIndex(page);
    }
    PageChange(page);

    // 2, 6 to 9.
    RunAnalysis();

    // 10, 11.
    LoadPrintOptions(ReadPrintOptions(state.Settings.PrintOptions));
    ShowFigure();
}

void TZeany::done(int result)
{
    if (shown_ && !closed_) {
        closed_ = true;
        FormClose();
    }
    QDialog::done(result);
}

void TZeany::FormClose()
{
    AppState& state = appState();
    state.AnalysisPage = PageControl1->currentIndex();
    state.Settings.PrintOptions = BuildPrintOptions(PrintOptionsFromControls());
    const FileResult saved = WriteSettings();
    if (!saved.Ok)
        ShowMessageBox(6, QStringLiteral("The settings could not be saved: ") + saved.Error);
    if (notesChanged_)
        WriteNotesBack();
}

void TZeany::LoadHistory()
{
    const QString number = appState().CurrentPatient.Number.trimmed();
    history_.clear();
    if (!number.isEmpty()) {
        const HistoryRows rows = LoadHistoryRows(Database(DbRole::Main), number);
        if (!rows.Error.isEmpty())
            ShowMessageBox(6, rows.Error);
        history_ = rows.Rows;
    }
    historyModel_->Reload();
    historyModel2_->Reload();
    const bool any = !history_.isEmpty();
    HistoryGrid->setEnabled(any);
    HistoryGrid2->setEnabled(any);
    RecallButton->setEnabled(any);

    int row = -1;
    if (analysed_.StoredKey > 0)
        for (int i = 0; i < history_.size(); ++i)
            if (history_[i].Key == analysed_.StoredKey)
                row = i;
    SetHistoryCursor(row);
}

// ---------------------------------------------------------------------------
// The analysis

void TZeany::RunAnalysis()
{
    AnalyseMeasurement(analysed_, result_);
    ClearLists();
    ChartArea->update();
    ShowValues();
    findings_ = BuildFindingLists(result_);
    protocolTab_ = BuildProtocolTabList(result_);
    AnalysisList->addItems(findings_.Analysis.Texts);
    DietaryList->addItems(findings_.Dietary.Texts);
    ProtocolTabList->addItems(protocolTab_.Texts);
    MatchAllProtocols();
    FirstPicks();
}

void TZeany::ClearLists()
{
    for (QListWidget* list : {AnalysisList, DietaryList, ProtocolTabList, ReferenceProtocolList, UserProtocolList}) {
        const QSignalBlocker block(list);
        list->clear();
    }
    findings_ = {};
    protocolTab_ = {};
}

void TZeany::MatchAllProtocols()
{
    const Patient& patient = appState().CurrentPatient;
    const MatchSubject subject{result_, patient.Male, MatchingAge(QDate::currentDate(), patient.BirthDate)};

    userMatched_ = MatchProtocols(userProtocols_, subject);
    {
        const QSignalBlocker block(UserProtocolList);
        for (const ProtocolRecord& p : userMatched_)
            UserProtocolList->addItem(p.Name);
    }
    if (userMatched_.isEmpty()) {
        ClearUserProtocol();
    } else {
        SelectSilently(UserProtocolList, 0);
        ShowUserProtocol(0);
    }

    referenceMatched_ = MatchProtocols(referenceProtocols_, subject);
    const QSignalBlocker block(ReferenceProtocolList);
    for (const ProtocolRecord& p : referenceMatched_)
        ReferenceProtocolList->addItem(p.Name);
    referenceShown_.reset();
}

void TZeany::FirstPicks()
{
    // 8.
    SetTherapyButtonsEnabled(false);
    for (FindingListKind kind : {FindingListKind::Analysis, FindingListKind::Dietary, FindingListKind::ProtocolTab})
        EmptyFindingDetail(kind);
    // 9. Without keeping the lists in step: each list shows its own first entry.
    for (FindingListKind kind : {FindingListKind::Analysis, FindingListKind::Dietary, FindingListKind::ProtocolTab}) {
        if (FindingListOf(kind).Codes.isEmpty())
            continue;
        SelectSilently(FindingListWidget(kind), 0);
        ShowFinding(kind, 0);
    }
}

void TZeany::ShowValues()
{
    const AppState& state = appState();
    const Patient& patient = state.CurrentPatient;
    const double now = ToDayCount(QDateTime::currentDateTime());

    if (result_.HighGroup == 0)
        result_.HighGroup = 1.0;
    result_.MeridiansIndex = MeridiansIndexOf(result_);

    PatientNoText->setText(patient.Number);
    PatientNameText->setText(patient.Name);
    PatientTelText->setText(patient.Telephone);
    PatientDobText->setText(DateEntered(patient.BirthDate) ? ShortDate(patient.BirthDate) : QString());
    PatientAgeText->setText(AgeText(now, patient.BirthDate));
    if (analysed_.HighPotential) {
        PotentialText->setText(QStringLiteral("HI (extended method)"));
        setTextColour(PotentialText, DisplayRed);
    } else {
        PotentialText->setText(QStringLiteral("NRM (normal method)"));
        setTextColour(PotentialText, DarkGreen);
    }
    HiPotentialLabel->setVisible(analysed_.HighPotential);
    GenderText->setText(patient.Male ? QStringLiteral("Male") : QStringLiteral("Female"));
    setTextColour(GenderText, patient.Male ? DarkGreen : DisplayRed);
    const double measured = analysed_.DateTime;
    MeasurementDateText->setText(measured > 0 ? ShortDate(measured) : QString());
    MeasurementTimeText->setText(measured > 0 ? LongTime(measured) : QString());
    MeasurementAgeText->setText(measured > 0 ? AgeText(measured, patient.BirthDate) : QString());

    qualityView_ = false;
    ShowValueGrid();

    const QList<IndexRow> rows = IndexTableRows(result_);
    for (int r = 0; r < rows.size(); ++r) {
        const bool average = r == rows.size() - 1;
        setCell(IndexGrid, r + 1, 0, rows[r].Label, average ? AverageLabelOrange : QColor(0x12, 0x32, 0x5a), true);
        for (int c = 0; c < 3; ++c) {
            const CellView cell = IndexCell(rows[r].Scores[size_t(c)]);
            setCell(IndexGrid, r + 1, c + 1, cell.Text, cell.Colour, average);
        }
    }

    ShowFigure();
    EnergyLowLed->SetOn(result_.EnergyLow);
    ChartEnergyLowLed->setVisible(result_.EnergyLow);
    ChartEnergyLowLabel->setVisible(result_.EnergyLow);

    const QList<GaugeRowView> gauges = GaugeRows(result_, patient.Male);
    for (int i = 0; i < 5; ++i) {
        const GaugeRowView& g = gauges[i];
        GaugeLabel[i]->setText(g.Label);
        Gauge[i]->setRange(0, g.Maximum);
        Gauge[i]->setValue(g.Parts);
        Gauge[i]->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #7a7a7a; background: #f4f4f4; }"
                                               " QProgressBar::chunk { background: %1; }")
                                    .arg(g.Colour.name()));
        RatioText[i]->setText(g.RatioText);
        RatioValue[i]->setText(g.Ratio);
        RangeText[i]->setText(g.Range);
        Statement[i]->setText(g.Statement);
    }
}

void TZeany::ShowValueGrid()
{
    ValueTitle->setText(qualityView_ ? QStringLiteral("Data Quality Score") : QStringLiteral("Meridian Energy Values"));
    for (int s = 1; s <= MeridianCount; ++s) {
        const SlotPair points = SlotPoints(s);
        for (int row : {1, 2}) {
            const int k = row == 1 ? points.Left : points.Right;
            const CellView cell = qualityView_ ? QualityCell(analysed_.QualityValues[k])
                                               : ValueCell(analysed_.RawValues[k], result_.PointClass[k]);
            setCell(ValueGrid, row, s, cell.Text, cell.Colour, true);
        }
    }
    AvgText->setText(QString::asprintf("%3.1f", qualityView_ ? result_.QualityAverage : result_.BodyEnergy));
}

void TZeany::ShowFigure()
{
    const int display = appState().Settings.IntegratedDisplay;
    {
        const QSignalBlocker block(FigureSelector);
        FigureSelector->setCurrentIndex(display >= 0 && display <= 2 ? display : 1);
    }
    const FigureView figure = IntegratedFigure(display, result_);
    FigureCaption->setText(figure.Caption);
    FigureValue->setText(figure.Value);
    FigureCaption->setVisible(figure.Visible);
    FigureValue->setVisible(figure.Visible);
}

// ---------------------------------------------------------------------------
// History and notes

void TZeany::SetHistoryCursor(int row)
{
    historyGuard_ = true;
    for (QTableView* grid : {HistoryGrid, HistoryGrid2}) {
        if (row < 0) {
            grid->selectionModel()->clearSelection();
            grid->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        } else {
            grid->selectRow(row);
        }
    }
    historyGuard_ = false;
    historyCursor_ = row;
}

void TZeany::SetUnfinished(bool unfinished)
{
    for (QTableView* grid : {HistoryGrid, HistoryGrid2})
        setSelectedTextColour(grid, unfinished ? DisplayRed : DisplayBlue);
    UnfinishedLabel->setVisible(unfinished);
    UnfinishedLabel2->setVisible(unfinished);
}

void TZeany::HistoryPick(int row)
{
    if (row < 0 || row >= history_.size())
        return;
    const int previous = historyCursor_;
    // The notes belong to the measurement shown, whatever row is picked next;
    // when they cannot be stored the list stays where it was.
    if (notesChanged_ && !WriteNotesBack()) {
        SetHistoryCursor(previous);
        return;
    }
    SetHistoryCursor(row);
    const HistoryRow& picked = history_[row];
    if (!picked.Complete) {
        SetUnfinished(true);
        return;
    }
    const StoredMeasurement stored = ReadHistoryMeasurement(Database(DbRole::Main), picked.Key);
    if (!stored.Error.isEmpty() || !stored.Found) {
        ShowMessageBox(6, stored.Error.isEmpty() ? QStringLiteral("The stored measurement no longer exists.")
                                                 : stored.Error);
        SetHistoryCursor(previous);
        return;
    }
    SetUnfinished(false);
    const Measurement& m = *stored.Found;
    const Patient& patient = appState().CurrentPatient;
    analysed_ = AnalysedMeasurement{};
    analysed_.DateTime = m.DateTime;
    analysed_.HighPotential = m.HighPotential;
    SetNotes(m.Memo);
    analysed_.RawValues = m.Raw;
    analysed_.QualityValues = m.Quality;
    analysed_.StoredKey = m.StoredMeasurementKey;
    analysed_.Male = patient.Male;
    analysed_.BirthDate = patient.BirthDate;
    notesChanged_ = false;
    referenceProtocolShown_ = false;
    RunAnalysis();
}

void TZeany::SetNotes(const QStringList& lines)
{
    loadingNotes_ = true;
    NotesMemo->setPlainText(lines.join(QLatin1Char('\n')));
    loadingNotes_ = false;
}

void TZeany::AppendToNotes(const QString& text)
{
    QTextCursor cursor(NotesMemo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText((NotesMemo->document()->isEmpty() ? QStringLiteral("\n") : QStringLiteral("\n\n")) + text);
}

bool TZeany::WriteNotesBack()
{
    notesChanged_ = false;
    const QString text = NotesMemo->toPlainText();
    Measurement& inHand = appState().CurrentMeasurement;
    const NotesTargets targets = NotesTargetsOf(analysed_.StoredKey, inHand.StoredMeasurementKey);
    if (targets.MeasurementInHand)
        inHand.Memo = SplitMemo(text);
    if (targets.RowKey > 0) {
        const DbResult written = WriteHistoryMemo(Database(DbRole::Main), targets.RowKey, JoinMemo(SplitMemo(text)));
        if (!written.Ok) {
            // Kept as changed: the next move or the closing tries again.
            notesChanged_ = true;
            ShowMessageBox(6, QStringLiteral("The notes could not be stored: ") + written.Error);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Pages and the chart

void TZeany::PageChange(int page)
{
    StatusPanel1->setText(page == ChartPage ? ChartStatusText(appState().ChartGroup,
                                                              appState().ChartView[appState().ChartGroup])
                                            : PageStatusText(page));
    PlaceReferenceList();
    HistoryGrid2->hide();
    SetTherapyButtonsEnabled(referenceProtocolShown_);
}

void TZeany::PlaceReferenceList()
{
    const int page = PageControl1->currentIndex();
    if (!ShowsReferenceProtocols(page)) {
        ReferenceProtocolList->hide();
        return;
    }
    QWidget* placeholder = ReferencePlaceholder[page - AnalysisPage];
    // The page's layout has not run before the window is first shown.
    PageControl1->currentWidget()->layout()->activate();
    ReferenceProtocolList->setGeometry(QRect(placeholder->mapTo(this, QPoint(0, 0)), placeholder->size()));
    ReferenceProtocolList->show();
    ReferenceProtocolList->raise();
}

void TZeany::SetTherapyButtonsEnabled(bool enabled)
{
    for (QPushButton* b : {AcupunctureButton, HerbsButton, MassageButton})
        b->setEnabled(enabled);
}

void TZeany::GroupButtonClick(int group)
{
    appState().ChartGroup = group;
    ApplyChartView();
}

void TZeany::ViewButtonClick(int view)
{
    AppState& state = appState();
    state.ChartView[state.ChartGroup] = view;
    ApplyChartView();
}

void TZeany::ApplyChartView()
{
    const AppState& state = appState();
    const int group = ValidChartGroup(state.ChartGroup);
    const int view = ValidChartView(group, state.ChartView[group]);
    for (int g = 1; g <= ChartGroupCount; ++g)
        GroupButton[g - 1]->setChecked(g == group);
    const QStringList captions = ChartViewCaptions(group);
    const QStringList hints = ChartViewHints(group);
    for (int v = 1; v <= MaxChartViews; ++v) {
        QPushButton* b = ViewButton[v - 1];
        b->setVisible(v <= captions.size());
        b->setText(captions.value(v - 1));
        b->setToolTip(hints.value(v - 1));
        b->setChecked(v == view);
    }
    ChartTitle->setText(DiagramInfoOf(ChartDiagram(group, view)).Title);
    if (PageControl1->currentIndex() == ChartPage)
        StatusPanel1->setText(ChartStatusText(group, view));
    HistoryGrid2->hide();
    ChartArea->update();
}

void TZeany::DrawChart(QPainter& painter)
{
    painter.fillRect(ChartArea->rect(), Qt::white);
    if (!shown_)
        return;
    const AppState& state = appState();
    const int group = ValidChartGroup(state.ChartGroup);
    const DiagramKind kind = ChartDiagram(group, state.ChartView[group]);
    DiagramInput input{result_, analysed_.Male, PictureFolder(state.InstallFolder),
                       [this](const QString& file) { PictureMissing(file); }};
    painter.save();
    DrawDiagram(kind, painter, QRectF(0, 0, ScreenChartWidth, ScreenChartHeight), input, DiagramStyle::Screen());
    painter.restore();
}

void TZeany::PictureMissing(const QString& file)
{
    // Once per window: the chart is repainted often.
    if (pictureReported_)
        return;
    pictureReported_ = true;
    QTimer::singleShot(0, this, [file] {
        ShowMessageBox(5, QStringLiteral("The picture file %1 cannot be read; the diagram is drawn without it.")
                              .arg(file));
    });
}

void TZeany::ChartAreaClick() { HistoryGrid2->hide(); }

void TZeany::RecallButtonClick()
{
    HistoryGrid2->setVisible(!HistoryGrid2->isVisible());
    if (HistoryGrid2->isVisible())
        HistoryGrid2->raise();
}

// ---------------------------------------------------------------------------
// Findings

QListWidget* TZeany::FindingListWidget(FindingListKind kind) const
{
    switch (kind) {
    case FindingListKind::Analysis:
        return AnalysisList;
    case FindingListKind::Dietary:
        return DietaryList;
    case FindingListKind::ProtocolTab:
        return ProtocolTabList;
    }
    return AnalysisList;
}

const FindingList& TZeany::FindingListOf(FindingListKind kind) const
{
    switch (kind) {
    case FindingListKind::Analysis:
        return findings_.Analysis;
    case FindingListKind::Dietary:
        return findings_.Dietary;
    case FindingListKind::ProtocolTab:
        return protocolTab_;
    }
    return findings_.Analysis;
}

void TZeany::EmptyFindingDetail(FindingListKind kind)
{
    switch (kind) {
    case FindingListKind::Analysis:
        DetailMemo->clear();
        RyodorakuMemo->clear();
        break;
    case FindingListKind::Dietary:
        DietaryMemo->clear();
        break;
    case FindingListKind::ProtocolTab:
        ProtocolMemo->clear();
        break;
    }
}

void TZeany::ShowFinding(FindingListKind kind, int position)
{
    const FindingList& list = FindingListOf(kind);
    if (position < 0 || position >= list.Codes.size())
        return;
    EmptyFindingDetail(kind);
    const ReferenceLookup lookup = ReadReferenceTexts(Database(DbRole::Reference), list.Codes[position]);
    if (!lookup.Error.isEmpty()) {
        ShowMessageBox(6, lookup.Error);
        return;
    }
    const FindingDetail detail = ComposeFinding(kind, list.Codes[position], result_, lookup.Texts);
    switch (kind) {
    case FindingListKind::Analysis:
        DetailMemo->setPlainText(joined(detail.Primary));
        RyodorakuMemo->setPlainText(joined(detail.Secondary));
        break;
    case FindingListKind::Dietary:
        DietaryMemo->setPlainText(joined(detail.Primary));
        break;
    case FindingListKind::ProtocolTab:
        ProtocolMemo->setPlainText(joined(detail.Primary));
        break;
    }
}

void TZeany::SelectSilently(QListWidget* list, int row)
{
    const QSignalBlocker block(list);
    if (row < 0) {
        list->clearSelection();
        return;
    }
    list->setCurrentRow(row);
}

void TZeany::FindingPick(FindingListKind kind)
{
    QListWidget* list = FindingListWidget(kind);
    const int position = list->currentRow();
    if (position < 0 || !list->item(position)->isSelected())
        return;
    ShowFinding(kind, position);
    {
        const QSignalBlocker block(ReferenceProtocolList);
        ReferenceProtocolList->clearSelection();
    }
    referenceProtocolShown_ = false;
    SetTherapyButtonsEnabled(false);
    if (propagating_)
        return;

    // The same meridian entry in the other lists, by position; a list too
    // short for it is left without a pick rather than read past its end.
    propagating_ = true;
    const ListsInStep step =
        KeepListsInStep(kind, position, int(findings_.Analysis.Codes.size()), int(findings_.Dietary.Codes.size()),
                        int(protocolTab_.Codes.size()));
    const bool meridianEntry = kind != FindingListKind::Analysis || position >= OverallCount;
    const std::pair<FindingListKind, std::optional<int>> targets[] = {
        {FindingListKind::Analysis, step.Analysis},
        {FindingListKind::Dietary, step.Dietary},
        {FindingListKind::ProtocolTab, step.ProtocolTab},
    };
    for (const auto& [target, at] : targets) {
        if (target == kind || !meridianEntry)
            continue;
        if (at) {
            SelectSilently(FindingListWidget(target), *at);
            ShowFinding(target, *at);
        } else {
            SelectSilently(FindingListWidget(target), -1);
            EmptyFindingDetail(target);
        }
    }
    propagating_ = false;
}

void TZeany::ShowReferenceProtocol(int position)
{
    if (position < 0 || position >= referenceMatched_.size())
        return;
    const ReferenceProtocolLookup lookup =
        ReadReferenceProtocol(Database(DbRole::Protocol), referenceMatched_[position].Key);
    if (!lookup.Error.isEmpty()) {
        ShowMessageBox(6, lookup.Error);
        return;
    }
    if (!lookup.Found)
        return;
    referenceShown_ = lookup.Found;
    DetailMemo->setPlainText(referenceShown_->Data);
    RyodorakuMemo->clear();
    ProtocolMemo->setPlainText(referenceShown_->Med1);
    DietaryMemo->setPlainText(referenceShown_->Hel1);
    referenceProtocolShown_ = true;
    SetTherapyButtonsEnabled(true);
    AcupunctureButton->setChecked(true);
    HerbsButton->setChecked(false);
    MassageButton->setChecked(false);
    for (QListWidget* list : {AnalysisList, DietaryList, ProtocolTabList}) {
        const QSignalBlocker block(list);
        list->clearSelection();
    }
}

void TZeany::TherapyButtonClick(QAbstractButton* pressed)
{
    if (!referenceShown_)
        return;
    if (pressed == AcupunctureButton || pressed == HerbsButton) {
        AcupunctureButton->setChecked(pressed == AcupunctureButton);
        HerbsButton->setChecked(pressed == HerbsButton);
        ProtocolMemo->setPlainText(pressed == AcupunctureButton ? referenceShown_->Med1 : referenceShown_->Med2);
    } else {
        MassageButton->setChecked(true);
        DietaryMemo->setPlainText(referenceShown_->Hel5);
    }
}

// ---------------------------------------------------------------------------
// The user's protocols

void TZeany::ClearUserProtocol()
{
    userShown_.reset();
    DescriptionMemo->clear();
    PictureFrame->hide();
    PictureModeLabel->clear();
    for (QPushButton* key : FunctionKey) {
        key->setEnabled(false);
        key->setToolTip(QString());
    }
}

void TZeany::ShowUserProtocol(int position)
{
    if (position < 0 || position >= userMatched_.size())
        return;
    const UserProtocolLookup lookup = ReadUserProtocol(Database(DbRole::Main), userMatched_[position].Key);
    if (!lookup.Error.isEmpty())
        ShowMessageBox(6, lookup.Error);
    if (!lookup.Found) {
        ClearUserProtocol();
        return;
    }
    userShown_ = lookup.Found;
    const UserProtocolView& p = *userShown_;
    DescriptionMemo->setPlainText(p.Data);
    QPixmap picture;
    picture.loadFromData(p.Picture);
    ProtocolPicture->setPixmap(picture);
    // Stretched to the frame, or at its natural size in a frame that scrolls.
    PictureFrame->setWidgetResizable(!p.NaturalSize);
    ProtocolPicture->setScaledContents(!p.NaturalSize);
    if (p.NaturalSize)
        ProtocolPicture->adjustSize();
    PictureModeLabel->setText(p.NaturalSize ? QStringLiteral("Scale") : QStringLiteral("Fit"));
    for (int k = 1; k <= 4; ++k) {
        FunctionKey[k - 1]->setEnabled(FunctionKeyEnabled(p.Keys, k));
        FunctionKey[k - 1]->setToolTip(p.Hint[k]);
    }
    PictureFrame->show();
}

void TZeany::FunctionKeyClick(int k)
{
    if (!userShown_ || !FunctionKeyEnabled(userShown_->Keys, k))
        return;
    LaunchExternal(userShown_->Program[k].trimmed(), userShown_->Parameter[k].trimmed());
}

// ---------------------------------------------------------------------------
// "All" and "Paste"

void TZeany::AllClick(int page)
{
    QList<QPlainTextEdit*> targets;
    for (QPlainTextEdit* area : pageAreas_[page])
        if (area->hasFocus())
            targets.append(area);
    if (targets.isEmpty())
        targets = pageAreas_[page];
    for (QPlainTextEdit* area : targets)
        area->selectAll();
    UpdatePaste(page);
}

void TZeany::PasteClick(int page)
{
    for (QPlainTextEdit* area : pageAreas_[page]) {
        if (!area->textCursor().hasSelection())
            continue;
        AppendToNotes(selectedText(area));
        QTextCursor cursor = area->textCursor();
        cursor.clearSelection();
        area->setTextCursor(cursor);
    }
    PasteButton[page]->setEnabled(false);
}

void TZeany::UpdatePaste(int page)
{
    bool any = false;
    for (QPlainTextEdit* area : pageAreas_[page])
        any = any || area->textCursor().hasSelection();
    PasteButton[page]->setEnabled(any);
}

// ---------------------------------------------------------------------------
// Print options

PrintOptionSet TZeany::PrintOptionsFromControls() const
{
    PrintOptionSet o;
    o.DetailedFormat = FormatDetailedRadio->isChecked();
    o.MeridianData = MeridianDataCheck->isChecked();
    o.BarDiagram = BarCheck->isChecked();
    o.BodyEnergyMental = BodyEnergyCheck->isChecked();
    o.MeridianAnalysis = MeridianAnalysisCheck->isChecked();
    o.DietaryAdvice = DietaryCheck->isChecked();
    o.Applications = ApplicationsCheck->isChecked();
    o.SlopeDiagram = SlopeCheck->isChecked();
    o.YinYangDiagram = YinYangCheck->isChecked();
    o.QiBloodDiagram = QiBloodCheck->isChecked();
    o.SymptomsNotes = NotesCheck->isChecked();
    o.ProtocolPoints = ProtocolPointsCheck->isChecked();
    o.RyodorakuAnalysis = RyodorakuAnalysisCheck->isChecked();
    o.ProtocolHerbs = ProtocolHerbsCheck->isChecked();
    o.RyodorakuDiagram = RyodorakuDiagramCheck->isChecked();
    o.NervousDiagram = NervousCheck->isChecked();
    o.BalanceDiagram = BalanceCheck->isChecked();
    o.EciDiagram = EciCheck->isChecked();
    o.ElementsDiagram = ElementsCheck->isChecked();
    o.Colour = ColorRadio->isChecked();
    o.SmallFont = SmallFontRadio->isChecked();
    o.FormFeed = FormFeedCheck->isChecked();
    o.FirstPageOnly = FirstPageRadio->isChecked();
    o.Unit = marginUnit_;
    o.MarginMm = marginMm_;
    o.ReportHeader = ReportHeaderCheck->isChecked();
    o.PatientData = PatientDataCheck->isChecked();
    o.CompensatedValue = CompensatedCheck->isChecked();
    o.DetailedPatient = PatientDetailedRadio->isChecked();
    return o;
}

void TZeany::LoadPrintOptions(const PrintOptionSet& o)
{
    FormatDetailedRadio->setChecked(o.DetailedFormat);
    FormatSimpleRadio->setChecked(!o.DetailedFormat);
    MeridianDataCheck->setChecked(o.MeridianData);
    BarCheck->setChecked(o.BarDiagram);
    BodyEnergyCheck->setChecked(o.BodyEnergyMental);
    MeridianAnalysisCheck->setChecked(o.MeridianAnalysis);
    DietaryCheck->setChecked(o.DietaryAdvice);
    ApplicationsCheck->setChecked(o.Applications);
    SlopeCheck->setChecked(o.SlopeDiagram);
    YinYangCheck->setChecked(o.YinYangDiagram);
    QiBloodCheck->setChecked(o.QiBloodDiagram);
    NotesCheck->setChecked(o.SymptomsNotes);
    ProtocolPointsCheck->setChecked(o.ProtocolPoints);
    RyodorakuAnalysisCheck->setChecked(o.RyodorakuAnalysis);
    ProtocolHerbsCheck->setChecked(o.ProtocolHerbs);
    RyodorakuDiagramCheck->setChecked(o.RyodorakuDiagram);
    NervousCheck->setChecked(o.NervousDiagram);
    BalanceCheck->setChecked(o.BalanceDiagram);
    EciCheck->setChecked(o.EciDiagram);
    ElementsCheck->setChecked(o.ElementsDiagram);
    ColorRadio->setChecked(o.Colour);
    MonochromeRadio->setChecked(!o.Colour);
    SmallFontRadio->setChecked(o.SmallFont);
    NormalFontRadio->setChecked(!o.SmallFont);
    FormFeedCheck->setChecked(o.FormFeed);
    FirstPageRadio->setChecked(o.FirstPageOnly);
    EveryPageRadio->setChecked(!o.FirstPageOnly);
    ReportHeaderCheck->setChecked(o.ReportHeader);
    PatientDataCheck->setChecked(o.PatientData);
    CompensatedCheck->setChecked(o.CompensatedValue);
    PatientDetailedRadio->setChecked(o.DetailedPatient);
    PatientSimpleRadio->setChecked(!o.DetailedPatient);

    // The margin as stored; the up-down shows its nearest position.
    marginUnit_ = o.Unit;
    marginMm_ = o.MarginMm;
    {
        const QSignalBlocker block(MarginUnitList);
        MarginUnitList->setCurrentIndex(int(o.Unit));
    }
    const QSignalBlocker block(MarginUpDown);
    MarginUpDown->setRange(0, MarginMaximum(o.Unit) / 10.0);
    MarginUpDown->setValue(MarginPosition(o.MarginMm, o.Unit) / 10.0);
    UpdatePrintDependencies();
}

void TZeany::UpdatePrintDependencies()
{
    PatientDetailedRadio->setEnabled(PatientDataCheck->isChecked());
    PatientSimpleRadio->setEnabled(PatientDataCheck->isChecked());
    CompensatedCheck->setEnabled(MeridianDataCheck->isChecked());
    RyodorakuAnalysisCheck->setEnabled(MeridianAnalysisCheck->isChecked());
    ProtocolHerbsCheck->setEnabled(ProtocolPointsCheck->isChecked());
    const bool feed = FormFeedCheck->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{FirstPageRadio, EveryPageRadio, MarginUpDown, MarginUnitList})
        w->setEnabled(feed);
}

void TZeany::MarginUpDownChange(double value)
{
    marginMm_ = MarginFromPosition(int(std::lround(value * 10)), marginUnit_);
}

void TZeany::MarginUnitChange(int index)
{
    marginUnit_ = index == 1 ? MarginUnit::Inch : MarginUnit::Cm;
    // The same margin, re-expressed in the new unit's positions.
    const QSignalBlocker block(MarginUpDown);
    MarginUpDown->setRange(0, MarginMaximum(marginUnit_) / 10.0);
    MarginUpDown->setValue(MarginPosition(marginMm_, marginUnit_) / 10.0);
}

void TZeany::PrintButtonClick()
{
    const auto& print = analysisHooks().Print;
    if (!print)
        return;
    AnalysisReportInput input{analysed_, result_, appState().CurrentPatient,
                              BuildPrintOptions(PrintOptionsFromControls()), findings_, protocolTab_,
                              {}, {}, UserProtocolList->currentRow(), NotesMemo->toPlainText()};
    for (const ProtocolRecord& p : userMatched_) {
        input.UserProtocolNames.append(p.Name);
        input.UserProtocolKeys.append(p.Key);
    }
    print(this, input);
}

void TZeany::PrinterSetupClick()
{
    if (const auto& setup = analysisHooks().PrinterSetup)
        setup(this);
}

} // namespace qern
