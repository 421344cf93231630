#include "AnalysisWindowFixture.h"

#include "analysis/window/FindingTexts.h"
#include "shell/Led.h"
#include "shell/Settings.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using namespace qern;
using namespace qern::test;

namespace {

class AnalysisWindow : public AnalysisWindowTest {
protected:
    QTableView* Grid(const char* name = "HistoryGrid") { return Find<QTableView>(QLatin1String(name)); }
    QString GridText(int row, int column, const char* name = "HistoryGrid")
    {
        QTableView* grid = Grid(name);
        return grid->model()->index(row, column).data().toString();
    }
    void PickHistory(int row, const char* name = "HistoryGrid")
    {
        QTableView* grid = Grid(name);
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCoreApplication::processEvents();
    }
    QString Text(const char* name) { return Find<QLabel>(QLatin1String(name))->text(); }
    QString Memo(const char* name) { return Find<QPlainTextEdit>(QLatin1String(name))->toPlainText(); }
    QListWidget* List(const char* name) { return Find<QListWidget>(QLatin1String(name)); }
    QStringList Items(const char* name)
    {
        QStringList texts;
        QListWidget* list = List(name);
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->item(i)->text());
        return texts;
    }
    int Selected(const char* name)
    {
        const QList<QListWidgetItem*> items = List(name)->selectedItems();
        return items.isEmpty() ? -1 : List(name)->row(items.first());
    }
    void PickItem(const char* name, int row)
    {
        QListWidget* list = List(name);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        QCoreApplication::processEvents();
    }
    void ShowPage(int page)
    {
        Find<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
    void TypeNotes(const QString& text)
    {
        auto* notes = Find<QPlainTextEdit>(QStringLiteral("NotesMemo"));
        notes->moveCursor(QTextCursor::End);
        QTest::keyClicks(notes, text);
    }
    QString Status() { return Text("StatusPanel1"); }

    // Lung with one point high and one low, Heart with both high, the rest normal.
    static Measurement Mixed(double date)
    {
        Measurement m = Uniform(50, date);
        m.Raw[1] = 80;
        m.Raw[7] = 20;
        m.Raw[3] = 80;
        m.Raw[9] = 80;
        return m;
    }
};

// ---------------------------------------------------------------------------
// Opening and the history list

TEST_F(AnalysisWindow, PatientWithoutStoredMeasurementsAnalysesTheMeasurementInHand)
{
    for (const QString& number : {QStringLiteral("P-1"), QString()}) {
        SCOPED_TRACE(number.toStdString());
        appState().CurrentPatient.Number = number;
        appState().CurrentMeasurement = Uniform(40, Day(2024, 3, 1));
        Store(Uniform(60, Day(2024, 1, 1)), QStringLiteral("OTHER"));
        Open();
        EXPECT_FALSE(Grid()->isEnabled());
        EXPECT_FALSE(Find<QPushButton>(QStringLiteral("RecallButton"))->isEnabled());
        EXPECT_EQ(Grid()->model()->rowCount(), 0);
        EXPECT_EQ(Text("AvgText"), QStringLiteral("40.0"));
        EXPECT_DOUBLE_EQ(window_->Result().BodyEnergy, 40.0);
        EXPECT_EQ(window_->windowTitle(), QStringLiteral("Data Analysis"));
        EXPECT_EQ(window_->size(), QSize(992, 713));
        Exit();
    }
}

TEST_F(AnalysisWindow, HistoryListsThePatientsRowsNewestFirstAndMarksIncompleteOnes)
{
    // A quote in the number must select exactly this patient's rows.
    appState().CurrentPatient.Number = QStringLiteral("O'Neil");
    Measurement incomplete = Uniform(55, Day(2024, 2, 1));
    incomplete.Raw[24] = 0;
    const qint64 older = Store(Uniform(45, Day(2024, 1, 1)), QStringLiteral("O'Neil"));
    Store(incomplete, QStringLiteral("O'Neil"));
    const qint64 newest = Store(Uniform(50, Day(2024, 3, 1)), QStringLiteral("O'Neil"));
    Store(Uniform(70, Day(2024, 4, 1)), QStringLiteral("O"));
    Measurement inHand = Uniform(50, Day(2024, 3, 1));
    inHand.StoredMeasurementKey = newest;
    appState().CurrentMeasurement = inHand;
    Open();

    ASSERT_EQ(Grid()->model()->rowCount(), 3);
    EXPECT_EQ(GridText(0, 0), QStringLiteral("1"));
    EXPECT_EQ(GridText(1, 0), QStringLiteral("*2"));
    EXPECT_EQ(GridText(2, 0), QStringLiteral("3"));
    EXPECT_EQ(GridText(2, 1), ShortDate(Day(2024, 1, 1)));
    EXPECT_EQ(GridText(2, 2), LongTime(Day(2024, 1, 1)));
    EXPECT_EQ(Grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Meas. Date"));
    EXPECT_EQ(Grid("HistoryGrid2")->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Meas.Date"));
    // The cursor stands on the measurement in hand.
    EXPECT_EQ(Grid()->currentIndex().row(), 0);
    EXPECT_EQ(Grid("HistoryGrid2")->currentIndex().row(), 0);
    (void)older;
}

TEST_F(AnalysisWindow, PickingAnIncompleteRowShowsUnfinishedAndKeepsTheAnalysisOnEveryPage)
{
    Measurement incomplete = Mixed(Day(2024, 2, 1));
    incomplete.Raw[5] = 0;
    Store(incomplete);
    const qint64 complete = Store(Uniform(45, Day(2024, 1, 1)));
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    Open();

    const double energy = window_->Result().BodyEnergy;
    const QString avg = Text("AvgText");
    const QString figure = Text("FigureValue");
    const QStringList analysis = Items("AnalysisList");
    const QString detail = Memo("DetailMemo");
    const QString statement = Text("Statement1");
    const QString cell = Find<QTableWidget>(QStringLiteral("ValueGrid"))->item(1, 1)->text();

    PickHistory(0);
    EXPECT_TRUE(Find<QLabel>(QStringLiteral("UnfinishedLabel"))->isVisible());
    EXPECT_EQ(Grid()->palette().color(QPalette::Active, QPalette::HighlightedText), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(window_->Result().BodyEnergy, energy);
    EXPECT_EQ(Text("AvgText"), avg);
    EXPECT_EQ(Text("FigureValue"), figure);
    EXPECT_EQ(Items("AnalysisList"), analysis);
    EXPECT_EQ(Memo("DetailMemo"), detail);
    EXPECT_EQ(Text("Statement1"), statement);
    EXPECT_EQ(Find<QTableWidget>(QStringLiteral("ValueGrid"))->item(1, 1)->text(), cell);

    // The copy on the chart page shares the cursor and the handler.
    ShowPage(1);
    Click(QStringLiteral("RecallButton"));
    ASSERT_TRUE(Grid("HistoryGrid2")->isVisible());
    EXPECT_EQ(Grid("HistoryGrid2")->currentIndex().row(), 0);
    PickHistory(1, "HistoryGrid2");
    EXPECT_FALSE(Find<QLabel>(QStringLiteral("UnfinishedLabel2"))->isVisible());
    EXPECT_EQ(Grid()->currentIndex().row(), 1);
    EXPECT_EQ(Grid()->palette().color(QPalette::Active, QPalette::HighlightedText), QColor(0, 0, 255));
    EXPECT_DOUBLE_EQ(window_->Result().BodyEnergy, 45.0);
    EXPECT_EQ(window_->Analysed().StoredKey, complete);
    EXPECT_EQ(Text("AvgText"), QStringLiteral("45.0"));
    EXPECT_EQ(Items("AnalysisList").size(), 5);
    // The measurement in hand keeps its raw values; its compensated ones follow the analysis.
    EXPECT_EQ(appState().CurrentMeasurement.Raw[1], 80.0);
    EXPECT_EQ(appState().CurrentMeasurement.Compensated[1], 45.0);
}

TEST_F(AnalysisWindow, RecallButtonTogglesTheCopyAndChartClicksOrPageChangesHideIt)
{
    Store(Uniform(45, Day(2024, 1, 1)));
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    appState().AnalysisPage = 1;
    Open();
    QTableView* copy = Grid("HistoryGrid2");
    EXPECT_FALSE(copy->isVisible());
    Click(QStringLiteral("RecallButton"));
    EXPECT_TRUE(copy->isVisible());
    Click(QStringLiteral("RecallButton"));
    EXPECT_FALSE(copy->isVisible());
    Click(QStringLiteral("RecallButton"));
    QTest::mouseClick(Find(QStringLiteral("ChartArea")), Qt::LeftButton, {}, QPoint(20, 400));
    EXPECT_FALSE(copy->isVisible());
    Click(QStringLiteral("RecallButton"));
    Click(QStringLiteral("GroupButton2"));
    EXPECT_FALSE(copy->isVisible());
    Click(QStringLiteral("RecallButton"));
    ShowPage(0);
    ShowPage(1);
    EXPECT_FALSE(copy->isVisible());
}

// ---------------------------------------------------------------------------
// Notes

TEST_F(AnalysisWindow, EditedNotesGoToTheMeasurementShownNeverToTheRowPickedNext)
{
    Measurement incomplete = Uniform(55, Day(2024, 2, 15));
    incomplete.Raw[3] = 0;
    incomplete.Memo = {QStringLiteral("unfinished memo")};
    Measurement earlier = Uniform(45, Day(2024, 1, 1));
    earlier.Memo = {QStringLiteral("earlier memo")};
    Measurement inHand = Uniform(50, Day(2024, 3, 1));
    inHand.Memo = {QStringLiteral("first line"), QStringLiteral("second line")};
    const qint64 earlierKey = Store(earlier);
    const qint64 incompleteKey = Store(incomplete);
    const qint64 inHandKey = Store(inHand);
    inHand.StoredMeasurementKey = inHandKey;
    appState().CurrentMeasurement = inHand;
    Open();
    EXPECT_EQ(Memo("NotesMemo"), QStringLiteral("first line\nsecond line"));

    // Shown: the measurement in hand. Its row and its memo lines get the notes.
    TypeNotes(QStringLiteral(" ok"));
    EXPECT_TRUE(window_->NotesChanged());
    PickHistory(2); // the earlier, complete one
    EXPECT_EQ(StoredMemo(inHandKey), QStringLiteral("first line\r\nsecond line ok"));
    EXPECT_EQ(appState().CurrentMeasurement.Memo,
              QStringList({QStringLiteral("first line"), QStringLiteral("second line ok")}));
    EXPECT_EQ(StoredMemo(earlierKey), QStringLiteral("earlier memo"));
    EXPECT_EQ(Memo("NotesMemo"), QStringLiteral("earlier memo"));
    EXPECT_FALSE(window_->NotesChanged());

    // Shown: the earlier row. Picking the incomplete row moves the cursor
    // there, but the notes stay with the earlier one, now and at closing.
    TypeNotes(QStringLiteral(" +1"));
    PickHistory(1);
    EXPECT_TRUE(Find<QLabel>(QStringLiteral("UnfinishedLabel"))->isVisible());
    EXPECT_EQ(StoredMemo(earlierKey), QStringLiteral("earlier memo +1"));
    EXPECT_EQ(StoredMemo(incompleteKey), QStringLiteral("unfinished memo"));
    TypeNotes(QStringLiteral(" +2"));
    Exit();
    EXPECT_EQ(StoredMemo(earlierKey), QStringLiteral("earlier memo +1 +2"));
    EXPECT_EQ(StoredMemo(incompleteKey), QStringLiteral("unfinished memo"));
    EXPECT_EQ(StoredMemo(inHandKey), QStringLiteral("first line\r\nsecond line ok"));
    EXPECT_EQ(appState().CurrentMeasurement.Memo,
              QStringList({QStringLiteral("first line"), QStringLiteral("second line ok")}));
}

TEST_F(AnalysisWindow, NotesOfAnUnsavedMeasurementGoToItsMemoLinesAtClosing)
{
    Store(Uniform(45, Day(2024, 1, 1)));
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    Open();
    // Opening selects no row, and untouched notes are not written.
    EXPECT_FALSE(Grid()->currentIndex().isValid());
    EXPECT_FALSE(window_->NotesChanged());
    TypeNotes(QStringLiteral("headache"));
    Exit();
    EXPECT_EQ(appState().CurrentMeasurement.Memo, QStringList{QStringLiteral("headache")});
}

TEST_F(AnalysisWindow, NotesThatCannotBeStoredAreReportedAndKeepTheListWhereItWas)
{
    const qint64 other = Store(Uniform(45, Day(2024, 1, 1)));
    const qint64 shown = Store(Uniform(50, Day(2024, 3, 1)));
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    appState().CurrentMeasurement.StoredMeasurementKey = shown;
    Open();
    TypeNotes(QStringLiteral("note"));
    // The shown row went away meanwhile (deleted elsewhere).
    QSqlQuery remove(Database(DbRole::Main));
    remove.prepare(QStringLiteral("DELETE FROM ZeData WHERE MKEY = ?"));
    remove.addBindValue(shown);
    ASSERT_TRUE(remove.exec());

    PickHistory(1);
    ASSERT_EQ(messages_.asked().size(), 1);
    EXPECT_EQ(messages_.asked()[0].Kind, 6);
    EXPECT_TRUE(messages_.asked()[0].Text.contains(QStringLiteral("notes could not be stored")));
    EXPECT_EQ(Grid()->currentIndex().row(), 0);
    EXPECT_EQ(window_->Analysed().StoredKey, shown);
    EXPECT_EQ(Memo("NotesMemo"), QStringLiteral("note"));
    EXPECT_TRUE(window_->NotesChanged());
    EXPECT_EQ(StoredMemo(other), QString());

    Exit();
    EXPECT_EQ(messages_.asked().size(), 2);
    // The memo lines of the measurement in hand still have them.
    EXPECT_EQ(appState().CurrentMeasurement.Memo, QStringList{QStringLiteral("note")});
}

// ---------------------------------------------------------------------------
// The view state

TEST_F(AnalysisWindow, ReopeningShowsThePageAndChartViewOfTheLastTime)
{
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    Open();
    EXPECT_EQ(Find<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 0);
    EXPECT_EQ(Status(), QStringLiteral("Analysis is gender-sensitive."));
    ShowPage(1);
    Click(QStringLiteral("GroupButton2"));
    Click(QStringLiteral("ViewButton3"));
    EXPECT_EQ(Text("ChartTitle"), QStringLiteral("Ryodoraku Analysis Diagram"));
    Click(QStringLiteral("GroupButton1"));
    Click(QStringLiteral("ViewButton2"));
    Click(QStringLiteral("GroupButton2"));
    Exit();
    EXPECT_EQ(appState().AnalysisPage, 1);
    EXPECT_EQ(appState().ChartGroup, 2);
    EXPECT_EQ(appState().ChartView[1], 2);
    EXPECT_EQ(appState().ChartView[2], 3);

    Open();
    EXPECT_EQ(Find<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 1);
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("GroupButton2"))->isChecked());
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("GroupButton1"))->isChecked());
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("ViewButton3"))->isChecked());
    EXPECT_EQ(Text("ChartTitle"), QStringLiteral("Ryodoraku Analysis Diagram"));
    EXPECT_EQ(Status(), QStringLiteral("Average body energy data varies with each individual patient."));
    Click(QStringLiteral("GroupButton1"));
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("ViewButton2"))->isChecked());
    EXPECT_EQ(Text("ChartTitle"), QStringLiteral("E.C.I. Pie Diagram"));
    EXPECT_EQ(Status(), QStringLiteral("E.C.I. Pie Diagram"));
    Exit();

    // A new measurement resets the view state (the measuring run does so);
    // the window then opens on the first page and the first view.
    appState().AnalysisPage = 0;
    appState().ChartGroup = 1;
    appState().ChartView.fill(1);
    Open();
    EXPECT_EQ(Find<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 0);
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("ViewButton1"))->isChecked());
    EXPECT_EQ(Text("ChartTitle"), QStringLiteral("Diagram of Body Energy Balance"));
}

TEST_F(AnalysisWindow, ChartGroupsShowTheirViewButtonsTitlesAndStatusTexts)
{
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    appState().AnalysisPage = 1;
    Open();
    struct Case {
        int Group;
        int Views;
        const char* Title;
        const char* Status;
    };
    const Case cases[] = {
        {1, 3, "Diagram of Body Energy Balance", "Diagram of Body Energy Balance"},
        {2, 3, "Meridian Excess-Deficiency Analysis \u2013 Bar Diagram",
         "Average body energy data varies with each individual patient."},
        {3, 0, "Yin-Yang Balance Analysis \u2013 Chart A",
         "This graph compares the Qi-Blood balance between Yin-Zang and Yang-Fu. The smaller the gap, the better."},
        {4, 0, "Qi-Blood Balance Analysis \u2013 Chart A",
         "This graph compares the Qi-Blood balance of the meridian energy between the right side and left side of "
         "the body. The smaller the gap, the better"},
        {5, 0, "Five Elements Analysis With Yin-Zang And Yang-Fu Integrated",
         "This graph compares the meridian energy of the Five Elements by Yin-Zang and Yang-Fu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Group);
        Click(QStringLiteral("GroupButton%1").arg(c.Group));
        EXPECT_EQ(appState().ChartGroup, c.Group);
        for (int g = 1; g <= 5; ++g)
            EXPECT_EQ(Find<QPushButton>(QStringLiteral("GroupButton%1").arg(g))->isChecked(), g == c.Group);
        for (int v = 1; v <= 3; ++v)
            EXPECT_EQ(Find<QPushButton>(QStringLiteral("ViewButton%1").arg(v))->isVisible(), v <= c.Views);
        EXPECT_EQ(Text("ChartTitle"), QString::fromUtf8(c.Title));
        EXPECT_EQ(Status(), QString::fromUtf8(c.Status));
    }
    Click(QStringLiteral("GroupButton1"));
    Click(QStringLiteral("ViewButton3"));
    EXPECT_EQ(Status(), QStringLiteral("Autonomic Nervous System Analysis"));
    EXPECT_EQ(Find<QPushButton>(QStringLiteral("ViewButton3"))->toolTip(), QStringLiteral("ANS Analysis"));
    // Other pages show their own texts; the right panel never changes.
    const char* const texts[] = {"Analysis is gender-sensitive.",
                                 "Average body energy data varies with each individual patient.",
                                 "Select desired diagnosis category.",
                                 "Select desired diagnosis category.",
                                 "Select desired diagnosis category.",
                                 "Select desired diagnosis category.",
                                 "Record patient symptoms and remedial dispositions.",
                                 "Select your preferences before printing."};
    for (int page : {0, 2, 3, 4, 5, 6, 7}) {
        ShowPage(page);
        EXPECT_EQ(Status(), QLatin1String(texts[page]));
        EXPECT_EQ(Text("StatusPanel2"),
                  QStringLiteral("For medical research and reference only. Consult your doctor."));
    }
}

TEST_F(AnalysisWindow, AMissingBalancePictureIsReportedOncePerWindow)
{
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    appState().AnalysisPage = 1;
    for (int opening = 1; opening <= 2; ++opening) {
        Open();
        for (int i = 0; i < 4; ++i) {
            Find(QStringLiteral("ChartArea"))->repaint();
            QCoreApplication::processEvents();
        }
        Exit();
        ASSERT_EQ(messages_.asked().size(), opening);
        EXPECT_EQ(messages_.asked().last().Kind, 5);
        EXPECT_TRUE(messages_.asked().last().Text.contains(QStringLiteral("zebkmg.msi")));
    }
}

// ---------------------------------------------------------------------------
// The energy report

TEST_F(AnalysisWindow, IntegratedDisplayChoosesTheLargeFigure)
{
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    appState().Settings.IntegratedDisplay = 2;
    Open();
    EXPECT_EQ(Text("FigureCaption"), QStringLiteral("Meridians Index"));
    EXPECT_EQ(Text("FigureValue"), QStringLiteral("10.0"));
    auto* index = Find<QTableWidget>(QStringLiteral("IndexGrid"));
    EXPECT_EQ(index->item(13, 0)->text(), QStringLiteral("Average"));
    EXPECT_EQ(index->item(13, 3)->text(), QStringLiteral("[10.0]"));
    EXPECT_EQ(index->item(1, 1)->foreground().color(), QColor(0, 0, 255));
    EXPECT_TRUE(index->item(13, 1)->font().bold());

    auto* selector = Find<QComboBox>(QStringLiteral("FigureSelector"));
    EXPECT_EQ(selector->itemText(0), QStringLiteral(" Disable"));
    EXPECT_EQ(selector->itemText(1), QStringLiteral("  E.C.I."));
    EXPECT_EQ(selector->currentIndex(), 2);
    selector->setCurrentIndex(1);
    Q_EMIT selector->activated(1);
    EXPECT_EQ(appState().Settings.IntegratedDisplay, 1);
    EXPECT_EQ(Text("FigureCaption"), QStringLiteral("Integrated Index"));
    EXPECT_EQ(Text("FigureValue"), QString::asprintf("%3.1f", window_->Result().IntegratedIndex));
    selector->setCurrentIndex(0);
    Q_EMIT selector->activated(0);
    EXPECT_FALSE(Find<QLabel>(QStringLiteral("FigureValue"))->isVisible());
    Exit();
    // Kept in the settings file.
    Settings saved;
    ASSERT_TRUE(ReadSettingsFile(SettingsPath(), saved).Ok);
    EXPECT_EQ(saved.IntegratedDisplay, 0);
}

TEST_F(AnalysisWindow, EnergyReportShowsPatientValuesQualityAndTheFiveRows)
{
    Patient& patient = appState().CurrentPatient;
    patient.Male = false;
    patient.Telephone = QStringLiteral("555-0100");
    Measurement m = Mixed(Day(2024, 3, 1));
    m.HighPotential = true;
    m.Quality[1] = 55;
    m.Quality[7] = 70;
    m.Quality[2] = 0;
    appState().CurrentMeasurement = m;
    Open();

    EXPECT_EQ(Text("PatientNoText"), QStringLiteral("P-1"));
    EXPECT_EQ(Text("PatientNameText"), QStringLiteral("Ann Example"));
    EXPECT_EQ(Text("PatientTelText"), QStringLiteral("555-0100"));
    EXPECT_EQ(Text("PatientDobText"), ShortDate(patient.BirthDate));
    EXPECT_EQ(Text("GenderText"), QStringLiteral("Female"));
    EXPECT_EQ(Text("PotentialText"), QStringLiteral("HI (extended method)"));
    EXPECT_TRUE(Find<QLabel>(QStringLiteral("HiPotentialLabel"))->isVisible());
    EXPECT_EQ(Text("MeasurementDateText"), ShortDate(m.DateTime));
    EXPECT_EQ(Text("MeasurementAgeText"), QString::asprintf("%3.1f", (m.DateTime - patient.BirthDate) / 365));

    // Slot 1 is LU: point 1 left (80, class 2 red), point 7 right (20, class -2 red);
    // slot 2 is LI: points 6 and 12, normal.
    auto* grid = Find<QTableWidget>(QStringLiteral("ValueGrid"));
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("LU"));
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Left"));
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("80.0"));
    EXPECT_EQ(grid->item(1, 1)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(grid->item(2, 2)->foreground().color(), QColor(53, 210, 45));
    EXPECT_EQ(Text("AvgText"), QStringLiteral("52.5"));
    Click(QStringLiteral("ValueToggle"));
    EXPECT_EQ(Text("ValueTitle"), QStringLiteral("Data Quality Score"));
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("55.0"));
    EXPECT_EQ(grid->item(1, 1)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(grid->item(2, 1)->foreground().color(), QColor(128, 128, 0));
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("0.0")); // PC left, point 2
    EXPECT_EQ(Text("AvgText"), QString::asprintf("%3.1f", window_->Result().QualityAverage));
    Click(QStringLiteral("ValueToggle"));
    EXPECT_EQ(Text("ValueTitle"), QStringLiteral("Meridian Energy Values"));
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("80.0"));

    EXPECT_EQ(Text("GaugeLabel1"), QStringLiteral("Body Energy:"));
    EXPECT_EQ(Text("RatioValue1"), QStringLiteral(" 52.5"));
    EXPECT_EQ(Text("RangeText1"), QStringLiteral("(28 - 61)"));
    EXPECT_EQ(Text("RangeText2"), QStringLiteral("(0.78-1.09)"));
    EXPECT_EQ(Text("Statement1"), window_->Result().EnergyStatement);
    EXPECT_EQ(Text("Statement5"), window_->Result().NervousStatement);
    EXPECT_EQ(Find<QProgressBar>(QStringLiteral("Gauge1"))->maximum(), 150);
    EXPECT_EQ(Find<QProgressBar>(QStringLiteral("Gauge1"))->value(), 52); // 52.5, halves to even
    EXPECT_EQ(Find<QProgressBar>(QStringLiteral("Gauge5"))->maximum(), 40);
    EXPECT_TRUE(Text("RatioText2").startsWith(QStringLiteral("Up")));
    EXPECT_FALSE(Find<TLed>(QStringLiteral("EnergyLowLed"))->On());
}

TEST_F(AnalysisWindow, AnEmptyMeasurementShowsHighGroupOneAndDoesNotFail)
{
    Measurement m;
    m.DateTime = Day(2024, 3, 1);
    appState().CurrentMeasurement = m;
    appState().AnalysisPage = 1;
    for (int g = 1; g <= 5; ++g) {
        appState().ChartGroup = g;
        for (int v = 1; v <= 3; ++v) {
            appState().ChartView[g] = v;
            Open();
            window_->grab();
            Exit();
        }
    }
    Open();
    EXPECT_DOUBLE_EQ(window_->Result().HighGroup, 1.0);
    EXPECT_TRUE(Text("RatioText5").startsWith(QStringLiteral("Hi   1.0 / Low")));
    EXPECT_TRUE(Find<TLed>(QStringLiteral("EnergyLowLed"))->On());
    EXPECT_TRUE(Find<QLabel>(QStringLiteral("ChartEnergyLowLabel"))->isVisible());
    EXPECT_EQ(Text("PotentialText"), QStringLiteral("NRM (normal method)"));
}

// ---------------------------------------------------------------------------
// Findings

TEST_F(AnalysisWindow, FindingListsKeepInStepWithoutReadingPastTheShorterList)
{
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    Open();
    const QString lung = QStringLiteral("[Lung Meridian Atypical]");
    const QString heart = QStringLiteral("[Heart Meridian Atypical]");
    EXPECT_EQ(Items("AnalysisList").mid(5), QStringList({lung, heart}));
    EXPECT_EQ(Items("DietaryList"), QStringList({lung, heart}));
    EXPECT_EQ(Items("ProtocolTabList"), QStringList({heart}));

    // After the analysis each list shows its own first entry.
    EXPECT_EQ(Selected("AnalysisList"), 0);
    EXPECT_EQ(Selected("DietaryList"), 0);
    EXPECT_EQ(Selected("ProtocolTabList"), 0);
    EXPECT_TRUE(Memo("DetailMemo").startsWith(RefText(QStringLiteral("DtMA1"), 13)));
    EXPECT_EQ(Memo("DietaryMemo"), RefText(QStringLiteral("DtMA3"), 1) + QStringLiteral("\n"));
    EXPECT_EQ(Memo("ProtocolMemo"), RefText(QStringLiteral("DtMH3"), 3) + QStringLiteral("\n\n") +
                                        RefText(QStringLiteral("DtMH2"), 3));

    // Heart: analysis 6 <-> dietary 1; the protocol-tab list has no position 1.
    ShowPage(2);
    PickItem("AnalysisList", 6);
    EXPECT_EQ(Memo("DetailMemo"), QStringList({heart, QString(), RefText(QStringLiteral("DtMA2"), 3), QString(),
                                               RefText(QStringLiteral("DtMA1"), 3), QString(),
                                               RefText(QStringLiteral("DtMH1"), 3)})
                                      .join(QLatin1Char('\n')));
    EXPECT_EQ(Memo("RyodorakuMemo"), RefText(QStringLiteral("DtMH5"), 3));
    EXPECT_EQ(Selected("DietaryList"), 1);
    EXPECT_EQ(Memo("DietaryMemo"),
              RefText(QStringLiteral("DtMA3"), 3) + QStringLiteral("\n\n") + RefText(QStringLiteral("DtMH4"), 3));
    EXPECT_EQ(Selected("ProtocolTabList"), -1);
    EXPECT_EQ(Memo("ProtocolMemo"), QString());

    // Lung (one point high, one low): no Ryodoraku text; by position the
    // protocol-tab list picks its entry 0.
    PickItem("AnalysisList", 5);
    EXPECT_EQ(Memo("RyodorakuMemo"), QString());
    EXPECT_EQ(Selected("DietaryList"), 0);
    EXPECT_EQ(Selected("ProtocolTabList"), 0);

    // From the dietary list, past the protocol-tab list's end.
    ShowPage(4);
    PickItem("DietaryList", 1);
    EXPECT_EQ(Selected("AnalysisList"), 6);
    EXPECT_EQ(Selected("ProtocolTabList"), -1);

    // An overall finding picks nothing in the other lists.
    ShowPage(2);
    PickItem("AnalysisList", 0);
    EXPECT_EQ(Selected("DietaryList"), 1);

    // From the protocol-tab list.
    ShowPage(3);
    PickItem("ProtocolTabList", 0);
    EXPECT_EQ(Selected("AnalysisList"), 5);
    EXPECT_EQ(Selected("DietaryList"), 0);
}

TEST_F(AnalysisWindow, AllNormalMeasurementLeavesDietaryAndProtocolTabListsEmpty)
{
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    Open();
    EXPECT_EQ(Items("AnalysisList"),
              QStringList({QStringLiteral("State of body energy"), QStringLiteral("State of mental stress"),
                           QStringLiteral("Musculoskeletal system"), QStringLiteral("Metabolism of the body"),
                           QStringLiteral("Function of autonomic nerve")}));
    EXPECT_EQ(List("DietaryList")->count(), 0);
    EXPECT_EQ(List("ProtocolTabList")->count(), 0);
    EXPECT_EQ(Memo("DietaryMemo"), QString());
    EXPECT_EQ(Memo("ProtocolMemo"), QString());
    ShowPage(2);
    PickItem("AnalysisList", 4);
    EXPECT_EQ(Memo("DetailMemo"),
              RefText(QStringLiteral("DtMA1"), 17) + QStringLiteral("\n\n") + RefText(QStringLiteral("DtMA2"), 17));
}

TEST_F(AnalysisWindow, ReferenceProtocolsFillTheFindingPagesAndDriveTheTherapyButtons)
{
    SeedProtocol same;
    same.No = QStringLiteral("R01");
    same.Name = QStringLiteral("Lung Relief");
    same.Data = QStringLiteral("wrong protocol");
    same.Conditions = {Condition(6, 2)}; // both lung points high: does not hold
    SeedReferenceProtocol(same);
    SeedProtocol lung;
    lung.No = QStringLiteral("R02");
    lung.Name = QStringLiteral("Lung Relief");
    lung.Data = QStringLiteral("lung data");
    lung.Conditions = {Condition(6, 3)}; // either lung point off the band
    lung.Med = {QStringLiteral("med 1"), QStringLiteral("med 2"), QStringLiteral("med 3")};
    lung.Hel = {QStringLiteral("hel 1"), QString(), QString(), QString(), QStringLiteral("hel 5")};
    SeedReferenceProtocol(lung);
    SeedProtocol never;
    never.No = QStringLiteral("R03");
    never.Name = QStringLiteral("Never");
    SeedReferenceProtocol(never);
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    Open();

    EXPECT_EQ(Items("ReferenceProtocolList"), QStringList{QStringLiteral("Lung Relief")});
    QListWidget* list = List("ReferenceProtocolList");
    EXPECT_FALSE(list->isVisible());
    QRect place;
    for (int page : {2, 3, 4}) {
        ShowPage(page);
        EXPECT_TRUE(list->isVisible());
        if (page == 2)
            place = list->geometry();
        EXPECT_EQ(list->geometry(), place);
        EXPECT_FALSE(Find<QPushButton>(QStringLiteral("AcupunctureButton"))->isEnabled());
    }
    ShowPage(5);
    EXPECT_FALSE(list->isVisible());

    ShowPage(2);
    PickItem("ReferenceProtocolList", 0);
    EXPECT_TRUE(window_->ReferenceProtocolShown());
    EXPECT_EQ(Memo("DetailMemo"), QStringLiteral("lung data"));
    EXPECT_EQ(Memo("RyodorakuMemo"), QString());
    EXPECT_EQ(Memo("ProtocolMemo"), QStringLiteral("med 1"));
    EXPECT_EQ(Memo("DietaryMemo"), QStringLiteral("hel 1"));
    EXPECT_EQ(Selected("AnalysisList"), -1);
    EXPECT_EQ(Selected("DietaryList"), -1);
    EXPECT_EQ(Selected("ProtocolTabList"), -1);

    ShowPage(3);
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("AcupunctureButton"))->isChecked());
    Click(QStringLiteral("HerbsButton"));
    EXPECT_EQ(Memo("ProtocolMemo"), QStringLiteral("med 2"));
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("HerbsButton"))->isChecked());
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("AcupunctureButton"))->isChecked());
    Click(QStringLiteral("AcupunctureButton"));
    EXPECT_EQ(Memo("ProtocolMemo"), QStringLiteral("med 1"));
    ShowPage(4);
    Click(QStringLiteral("MassageButton"));
    EXPECT_EQ(Memo("DietaryMemo"), QStringLiteral("hel 5"));

    // Any pick in a finding list takes the protocol away.
    PickItem("DietaryList", 0);
    EXPECT_FALSE(window_->ReferenceProtocolShown());
    EXPECT_EQ(Selected("ReferenceProtocolList"), -1);
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("MassageButton"))->isEnabled());
    ShowPage(3);
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("HerbsButton"))->isEnabled());
    Exit();

    // Opening on a finding page places the list there at once.
    Open();
    list = List("ReferenceProtocolList");
    QWidget* placeholder = Find(QStringLiteral("ReferencePlaceholder3"));
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->geometry(), QRect(placeholder->mapTo(window_.get(), QPoint(0, 0)), placeholder->size()));
    EXPECT_EQ(list->geometry(), place);
}

TEST_F(AnalysisWindow, AllAndPasteCopySelectedDetailTextIntoTheNotes)
{
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    appState().CurrentMeasurement.Memo = {QStringLiteral("typed")};
    Open();
    ShowPage(2);
    PickItem("AnalysisList", 6);
    auto* paste = Find<QPushButton>(QStringLiteral("PasteButton2"));
    EXPECT_FALSE(paste->isEnabled());
    Click(QStringLiteral("AllButton2"));
    EXPECT_TRUE(paste->isEnabled());
    const QString detail = Memo("DetailMemo");
    const QString ryodoraku = Memo("RyodorakuMemo");
    Click(QStringLiteral("PasteButton2"));
    EXPECT_FALSE(paste->isEnabled());
    EXPECT_EQ(Memo("NotesMemo"), QStringLiteral("typed\n\n") + detail + QStringLiteral("\n\n") + ryodoraku);
    EXPECT_TRUE(window_->NotesChanged());
    EXPECT_FALSE(Find<QPlainTextEdit>(QStringLiteral("DetailMemo"))->textCursor().hasSelection());

    // Selecting by hand enables it again.
    auto* dietary = Find<QPlainTextEdit>(QStringLiteral("DietaryMemo"));
    auto* pasteDietary = Find<QPushButton>(QStringLiteral("PasteButton4"));
    EXPECT_FALSE(pasteDietary->isEnabled());
    QTextCursor cursor = dietary->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    dietary->setTextCursor(cursor);
    EXPECT_TRUE(pasteDietary->isEnabled());
    Click(QStringLiteral("PasteButton4"));
    EXPECT_TRUE(Memo("NotesMemo").endsWith(QStringLiteral("\n\n") + dietary->toPlainText().left(5)));
}

// ---------------------------------------------------------------------------
// The user's protocols

TEST_F(AnalysisWindow, ApplicationsListTheUsersMatchingProtocolsWithPictureAndFunctionKeys)
{
    RecordedLaunches launches;
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    SeedProtocol heart;
    heart.No = QStringLiteral("U2");
    heart.Name = QStringLiteral("Heart calming");
    heart.Data = QStringLiteral("Calm the heart.");
    heart.Conditions = {Condition(10, 2)};
    heart.Keys = QStringLiteral("1010");
    heart.Programs = {QStringLiteral(" player "), QString(), QString(), QString()};
    heart.Parameters = {QStringLiteral(" video.mp4 "), QString(), QStringLiteral("http://example.org"), QString()};
    heart.Hints = {QStringLiteral("Watch the video"), QString(), QStringLiteral("Read more"), QString()};
    heart.Picture = png;
    SeedUserProtocol(heart);
    SeedProtocol lung;
    lung.No = QStringLiteral("U1");
    lung.Name = QStringLiteral("Lung balancing");
    lung.Data = QStringLiteral("Balance the lung.");
    lung.Conditions = {Condition(6, 3)};
    lung.NaturalSize = true;
    SeedUserProtocol(lung);
    SeedProtocol none;
    none.No = QStringLiteral("U3");
    none.Name = QStringLiteral("Not suggested");
    none.Conditions = {Condition(6, 2)};
    SeedUserProtocol(none);

    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    Open();
    ShowPage(5);
    EXPECT_EQ(Items("UserProtocolList"),
              QStringList({QStringLiteral("Lung balancing"), QStringLiteral("Heart calming")}));
    EXPECT_EQ(Selected("UserProtocolList"), 0);
    EXPECT_EQ(Memo("DescriptionMemo"), QStringLiteral("Balance the lung."));
    EXPECT_EQ(Text("PictureModeLabel"), QStringLiteral("Scale"));
    for (int k = 1; k <= 4; ++k)
        EXPECT_FALSE(Find<QPushButton>(QStringLiteral("FunctionKey%1").arg(k))->isEnabled());

    PickItem("UserProtocolList", 1);
    EXPECT_EQ(Memo("DescriptionMemo"), QStringLiteral("Calm the heart."));
    EXPECT_EQ(Text("PictureModeLabel"), QStringLiteral("Fit"));
    EXPECT_TRUE(Find<QScrollArea>(QStringLiteral("PictureFrame"))->isVisible());
    EXPECT_FALSE(Find<QLabel>(QStringLiteral("ProtocolPicture"))->pixmap().isNull());
    const bool enabled[] = {true, false, true, false};
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(Find<QPushButton>(QStringLiteral("FunctionKey%1").arg(k))->isEnabled(), enabled[k - 1]);
    EXPECT_EQ(Find<QPushButton>(QStringLiteral("FunctionKey1"))->toolTip(), QStringLiteral("Watch the video"));
    Click(QStringLiteral("FunctionKey1"));
    Click(QStringLiteral("FunctionKey3"));
    ASSERT_EQ(launches.Launches.size(), 2);
    EXPECT_EQ(launches.Launches[0].Program, QStringLiteral("player"));
    EXPECT_EQ(launches.Launches[0].Parameter, QStringLiteral("video.mp4"));
    EXPECT_TRUE(launches.Launches[1].Document);
    EXPECT_EQ(launches.Launches[1].Parameter, QStringLiteral("http://example.org"));
    Exit();

    // A measurement that fits none of them.
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    Open();
    ShowPage(5);
    EXPECT_EQ(List("UserProtocolList")->count(), 0);
    EXPECT_EQ(Memo("DescriptionMemo"), QString());
    EXPECT_FALSE(Find<QScrollArea>(QStringLiteral("PictureFrame"))->isVisible());
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("FunctionKey1"))->isEnabled());
}

// ---------------------------------------------------------------------------
// Print options

TEST_F(AnalysisWindow, PrintOptionsRoundTripThroughTheControls)
{
    // Stored text, and the text written back after the window has shown it.
    const std::pair<const char*, const char*> cases[] = {
        // The default's margin "020" is written "%3.0f".
        {"011100000000000000000000000000100010201111", "01110000000000000000000000000010001 201111"},
        // Unused positions are written "0"; inch, 35 mm.
        {"111111111111111111111111111111111110351111", "11111111111001111110000001010011111 351111"},
        {"00000000000000000000000000000000000  00000", "00000000000000000000000000000000000  00000"},
        {"10101010101010101010101010101010100 070101", "10101010101000101010000000000010100  70101"},
        // Not a number: 20 mm; more than the up-down reaches: its maximum.
        {"11111111111111111111111111111111110abc1111", "11111111111001111110000001010011110 201111"},
        {"111111111111111111111111111111111101501111", "111111111110011111100000010100111101021111"},
    };
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    for (const auto& [stored, written] : cases) {
        SCOPED_TRACE(stored);
        appState().Settings.PrintOptions = QLatin1String(stored);
        Open();
        Exit();
        EXPECT_EQ(appState().Settings.PrintOptions, QLatin1String(written));
        Settings saved;
        ASSERT_TRUE(ReadSettingsFile(SettingsPath(), saved).Ok);
        EXPECT_EQ(saved.PrintOptions, QLatin1String(written));
        // What was written comes back unchanged.
        Open();
        Exit();
        EXPECT_EQ(appState().Settings.PrintOptions, QLatin1String(written));
    }
}

TEST_F(AnalysisWindow, PrintPageControlsFollowTheirParentsAndTheMarginUnit)
{
    appState().Settings.PrintOptions = QStringLiteral("01110000000000000000000000000010100 351111");
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    Open();
    ShowPage(7);
    auto* feed = Find<QCheckBox>(QStringLiteral("FormFeedCheck"));
    auto* margin = Find<QDoubleSpinBox>(QStringLiteral("MarginUpDown"));
    auto* unit = Find<QComboBox>(QStringLiteral("MarginUnitList"));
    EXPECT_TRUE(feed->isChecked());
    EXPECT_TRUE(margin->isEnabled());
    EXPECT_EQ(unit->currentText(), QStringLiteral("cm"));
    EXPECT_EQ(margin->text(), QStringLiteral("3.5"));
    EXPECT_DOUBLE_EQ(margin->maximum(), 10.2);

    // Inch: the same 35 mm at position 14 (tenths of an inch).
    unit->setCurrentIndex(1);
    EXPECT_EQ(margin->text(), QStringLiteral("1.4"));
    EXPECT_DOUBLE_EQ(margin->maximum(), 4.0);
    EXPECT_EQ(window_->PrintOptionsFromControls().MarginMm, 35);
    margin->stepUp();
    EXPECT_NEAR(window_->PrintOptionsFromControls().MarginMm, 15 * 2.54, 1e-9);

    feed->setChecked(false);
    for (const char* name : {"FirstPageRadio", "EveryPageRadio", "MarginUpDown", "MarginUnitList"})
        EXPECT_FALSE(Find(QLatin1String(name))->isEnabled()) << name;
    const std::pair<const char*, const char*> dependent[] = {
        {"PatientDataCheck", "PatientDetailedRadio"}, {"PatientDataCheck", "PatientSimpleRadio"},
        {"MeridianDataCheck", "CompensatedCheck"},    {"MeridianAnalysisCheck", "RyodorakuAnalysisCheck"},
        {"ProtocolPointsCheck", "ProtocolHerbsCheck"},
    };
    for (const auto& [parent, child] : dependent) {
        auto* box = Find<QCheckBox>(QLatin1String(parent));
        box->setChecked(true);
        EXPECT_TRUE(Find(QLatin1String(child))->isEnabled()) << child;
        box->setChecked(false);
        EXPECT_FALSE(Find(QLatin1String(child))->isEnabled()) << child;
    }
    Exit();
    // 38.1 mm, the unit inch, form feed now off.
    EXPECT_EQ(appState().Settings.PrintOptions.mid(32, 6), QStringLiteral("001 38"));
}

TEST_F(AnalysisWindow, PrintButtonHandsTheShownAnalysisToTheReport)
{
    appState().CurrentMeasurement = Mixed(Day(2024, 3, 1));
    appState().CurrentMeasurement.Memo = {QStringLiteral("note")};
    Open();
    ShowPage(7);
    Click(QStringLiteral("PrintButton")); // no report yet: nothing happens

    int printed = 0;
    analysisHooks().Print = [&](QWidget* parent, const AnalysisReportInput& input) {
        ++printed;
        EXPECT_EQ(parent, window_.get());
        EXPECT_DOUBLE_EQ(input.Result.BodyEnergy, 52.5);
        EXPECT_EQ(input.PrintOptions, BuildPrintOptions(window_->PrintOptionsFromControls()));
        EXPECT_EQ(input.Findings.Dietary.Codes, QList<int>({1, 3}));
        EXPECT_EQ(input.ProtocolTab.Codes, QList<int>({3}));
        EXPECT_EQ(input.Notes, QStringLiteral("note"));
        EXPECT_EQ(input.PatientShown.Number, QStringLiteral("P-1"));
    };
    Find<QCheckBox>(QStringLiteral("BarCheck"))->setChecked(false);
    Click(QStringLiteral("PrintButton"));
    EXPECT_EQ(printed, 1);
}

// ---------------------------------------------------------------------------
// The measurement window's "Analyze"

TEST_F(AnalysisWindow, InstallerMakesAnalyzeOpenTheWindowModally)
{
    appState().CurrentMeasurement = Uniform(50, Day(2024, 3, 1));
    ASSERT_TRUE(OpenDatabase(DbRole::Reference, folder_.File(QStringLiteral("qernE.mdb")), Layout::Reference).Ok);
    ASSERT_TRUE(OpenDatabase(DbRole::Protocol, folder_.File(QStringLiteral("qernZE.mdb")), Layout::Protocol).Ok);
    InstallAnalysisWindow();
    ASSERT_TRUE(measurementHooks().Analyze);
    // As the program runs it: the main window, and the measurement window
    // hidden while the analysis is open.
    QMainWindow main;
    main.setGeometry(100, 80, 1100, 760);
    main.show();
    QWidget measurement(&main, Qt::Dialog);
    bool seen = false;
    QPoint centre;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<TZeany*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        seen = window->isVisible() && window->isModal();
        centre = window->frameGeometry().center();
        window->findChild<QPushButton*>(QStringLiteral("ExitButton"))->click();
    });
    measurementHooks().Analyze(&measurement);
    EXPECT_TRUE(seen);
    EXPECT_LE((centre - main.frameGeometry().center()).manhattanLength(), 4);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
