#include "RecordFixture.h"

#include "instrument/InstrumentLink.h"
#include "instrument/SimulatedInstrument.h"

#include "records/ListLook.h"
#include "records/MeasurementList.h"
#include "records/PatientList.h"
#include "records/ZeEdit.h"
#include "records/Zered.h"
#include "records/Zesvdt.h"
#include "shell/ShellHooks.h"
#include "shell/ZeMsg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace qern;
using qern::test::RecordTest;
using qern::test::ScriptedMessages;

namespace {

const QString SaveQuestion = QStringLiteral("Do you want to save the measurement data to this patient?");
const QString RecallQuestion = QStringLiteral("Are you sure you want to recall this measurement data\uFF1F");

class RecordWindows : public RecordTest {
protected:
    template <typename T = QWidget>
    static T* Find(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    static QToolButton* Tool(QWidget* window, const char* name) { return Find<QToolButton>(window, name); }
    static void Click(QWidget* window, const char* tool) { QTest::mouseClick(Tool(window, tool), Qt::LeftButton); }

    static void Show(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static QPoint RowPoint(QTableView* grid, int row, int column = 1)
    {
        const QModelIndex index = grid->model()->index(row, column);
        grid->scrollTo(index);
        return grid->visualRect(index).center();
    }
    static void ClickRow(QTableView* grid, int row)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, RowPoint(grid, row));
    }
    // As the system delivers it: press, release, double-click, release.
    static void DoubleClickRow(QTableView* grid, int row)
    {
        const QPoint point = RowPoint(grid, row);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, point);
    }
    static void ClickHeader(QTableView* grid, int column)
    {
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
    }
    static QString CurrentNumber(TPatientList* list)
    {
        const std::optional<Patient> p = list->CurrentPatient();
        return p ? p->Number : QString();
    }

    // The measurement in hand, as a run leaves it.
    static void MeasurementInHand(double date)
    {
        Measurement& m = appState().CurrentMeasurement;
        m = Measurement{};
        m.DateTime = date;
        for (int k = 1; k <= PointCount; ++k) {
            m.Raw[k] = 40 + k;
            m.Quality[k] = 80 + k * 0.5;
        }
        m.Memo = QStringList{"first line", "second line"};
        m.HighPotential = true;
    }
    double LatestOf(qint64 patientKey) { return StoredPatient(patientKey).LatestMeasurement; }
};

// ---------------------------------------------------------------------------
// Saving

using SaveWindow = RecordWindows;

TEST_F(SaveWindow, SavingAlwaysAppendsAndKeepsTheNewKey)
{
    const qint64 ann = AddPatient("P-1", "Ann", false, Day(1970, 1, 2), Day(2020, 1, 1));
    AddPatient("P-2", "Bert");
    appState().CurrentPatient.Number = QStringLiteral("p-1");
    MeasurementInHand(Day(2021, 5, 6, 9, 30));

    QList<qint64> keys;
    for (int i = 0; i < 2; ++i) {
        TZesvdt window;
        Show(window);
        EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("P-1")) << "found without regard to case";
        EXPECT_TRUE(Tool(&window, "ToolButton2")->isEnabled());
        EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     2"));
        EXPECT_EQ(Find<QLabel>(&window, "StatusBar1")->text(),
                  QStringLiteral("Please select patient, or create a new record, to save measurement data."));
        Click(&window, "ToolButton2");
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_FALSE(window.isVisible());
        keys.append(appState().CurrentMeasurement.StoredMeasurementKey);
    }
    EXPECT_EQ(Count("ZeData"), 2);
    EXPECT_NE(keys[0], keys[1]);
    QSqlQuery last(QStringLiteral("SELECT MAX(MKEY) FROM ZeData"), db_);
    ASSERT_TRUE(last.next());
    EXPECT_EQ(keys[1], last.value(0).toLongLong()) << "the key of the second row";

    QSqlQuery row(QStringLiteral("SELECT * FROM ZeData ORDER BY MKEY LIMIT 1"), db_);
    ASSERT_TRUE(row.next());
    const Measurement stored = MeasurementFromRecord(row.record());
    const Measurement& inHand = appState().CurrentMeasurement;
    EXPECT_EQ(stored.Raw, inHand.Raw);
    EXPECT_EQ(stored.DateTime, inHand.DateTime);
    EXPECT_TRUE(stored.HighPotential);
    EXPECT_EQ(row.value("Memo1").toString(), QStringLiteral("first line\r\nsecond line"));
    EXPECT_EQ(row.value("STD").toString(), EncodeStd(inHand.Quality));
    EXPECT_EQ(LatestOf(ann), Day(2021, 5, 6, 9, 30));
}

TEST_F(SaveWindow, TheLatestDateOnlyRises)
{
    struct Case {
        double latest, measured, expected;
    };
    const double earlier = Day(2019, 1, 1), same = Day(2020, 1, 1, 10, 0), later = Day(2021, 1, 1);
    for (const Case c : {Case{same, earlier, same}, Case{same, same, same}, Case{same, later, later},
                         Case{0, earlier, earlier}}) {
        QSqlQuery(QStringLiteral("DELETE FROM ZeCust"), db_);
        const qint64 key = AddPatient("A", "Ann", true, 0, c.latest);
        appState().CurrentPatient.Number = QStringLiteral("A");
        MeasurementInHand(c.measured);
        TZesvdt window;
        Show(window);
        Click(&window, "ToolButton2");
        EXPECT_EQ(LatestOf(key), c.expected) << c.latest << " " << c.measured;
    }
}

TEST_F(SaveWindow, FirstSaveWaitsForAChosenPatient)
{
    AddPatient("P-1", "Ann", false, Day(1970, 1, 2));
    const qint64 bert = AddPatient("P-2", "Bert", true, Day(1980, 3, 4));
    appState().CurrentPatient.Male = false;
    MeasurementInHand(Day(2021, 1, 1));

    TZesvdt window;
    Show(window);
    EXPECT_FALSE(Tool(&window, "ToolButton2")->isEnabled());
    EXPECT_EQ(window.PatientList()->CurrentRow(), -1) << "nothing is chosen for the user";
    EXPECT_TRUE(Find<QLabel>(&window, "SelectionNumber")->text().isEmpty());
    EXPECT_EQ(Find<QLabel>(&window, "SelectionSex")->text(), QStringLiteral("Female"));
    Click(&window, "ToolButton2");
    EXPECT_EQ(Count("ZeData"), 0);

    ClickRow(window.PatientList()->Grid(), 1);
    EXPECT_TRUE(Tool(&window, "ToolButton2")->isEnabled());
    EXPECT_EQ(Find<QLabel>(&window, "SelectionNumber")->text(), QStringLiteral("P-2"));
    EXPECT_EQ(Find<QLabel>(&window, "SelectionName")->text(), QStringLiteral("Bert"));
    EXPECT_EQ(Find<QLabel>(&window, "SelectionSex")->text(), QStringLiteral("Male"));
    EXPECT_EQ(Find<QLabel>(&window, "SelectionBirth")->text(), ShortDate(Day(1980, 3, 4)));
    Click(&window, "ToolButton2");
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"P-2"}), 1);
    EXPECT_EQ(appState().CurrentPatient.Name, QStringLiteral("Bert"));
    EXPECT_EQ(appState().CurrentPatient.BirthDate, Day(1980, 3, 4));
    EXPECT_EQ(LatestOf(bert), Day(2021, 1, 1));
}

TEST_F(SaveWindow, ANewPatientIsAskedForAndThenSelected)
{
    AddPatient("P-1", "Ann");
    MeasurementInHand(Day(2021, 1, 1));
    for (const bool yes : {false, true}) {
        ScriptedMessages messages;
        messages.Answer(yes);
        TZesvdt window;
        Show(window);
        EXPECT_FALSE(Tool(&window, "ToolButton2")->isEnabled());
        const QString number = yes ? QStringLiteral("  N-2 ") : QStringLiteral("N-1");
        WhenModal<TZeEdit>([&](TZeEdit& editor) {
            EXPECT_EQ(editor.windowTitle(), QStringLiteral("Add New Patient"));
            EXPECT_EQ(appState().PatientEditorMode, 3);
            Find<QLineEdit>(&editor, "Edit1")->setText(number);
            Find<QLineEdit>(&editor, "Edit2")->setText(QStringLiteral("New ") + number.trimmed());
            Click(&editor, "ToolButton1");
        });
        Click(&window, "ToolButton1");
        ASSERT_EQ(messages.asked().size(), 1);
        EXPECT_EQ(messages.asked()[0].Kind, 1);
        EXPECT_EQ(messages.asked()[0].Text, SaveQuestion);
        EXPECT_EQ(window.isVisible(), !yes);
        EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     %1").arg(yes ? 3 : 2));
        if (!yes) {
            EXPECT_EQ(Count("ZeData"), 0) << "nothing saved until the user saves";
            EXPECT_TRUE(Tool(&window, "ToolButton2")->isEnabled());
            EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("N-1"));
            EXPECT_EQ(Find<QLabel>(&window, "SelectionName")->text(), QStringLiteral("New N-1"));
        }
    }
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"N-2"}), 1);
    EXPECT_EQ(Count("ZeCust", "CustNo = ?", {"N-2"}), 1) << "stored trimmed";
    EXPECT_EQ(appState().CurrentPatient.Number, QStringLiteral("N-2"));
}

TEST_F(SaveWindow, ExitAndAnAbortedNewPatientSaveNothing)
{
    AddPatient("P-1", "Ann");
    appState().CurrentPatient.Number = QStringLiteral("P-9");
    appState().CurrentPatient.Name = QStringLiteral("Someone");
    MeasurementInHand(Day(2021, 1, 1));
    appState().CurrentMeasurement.StoredMeasurementKey = 77;
    {
        TZesvdt window;
        Show(window);
        WhenModal<TZeEdit>([&](TZeEdit& editor) {
            Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("N-1"));
            Click(&editor, "ToolButton2");
        });
        Click(&window, "ToolButton1");
        EXPECT_FALSE(appState().NewPatientCreated);
        EXPECT_FALSE(Tool(&window, "ToolButton2")->isEnabled()) << "still no patient chosen";
        ClickRow(window.PatientList()->Grid(), 0);
        Click(&window, "ToolButton3");
        EXPECT_EQ(window.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Count("ZeData"), 0);
    EXPECT_EQ(Count("ZeCust"), 1);
    EXPECT_EQ(appState().CurrentPatient.Number, QStringLiteral("P-9"));
    EXPECT_EQ(appState().CurrentPatient.Name, QStringLiteral("Someone"));
    EXPECT_EQ(appState().CurrentMeasurement.StoredMeasurementKey, 77);
    EXPECT_EQ(SaveSelection().Number, QStringLiteral(" "));
}

TEST_F(SaveWindow, DoubleClickAsksFirstAndSavesToThatRow)
{
    AddPatient("P-1", "Ann");
    AddPatient("P-2", "Bert");
    appState().CurrentPatient.Number = QStringLiteral("P-1");
    MeasurementInHand(Day(2021, 1, 1));
    ScriptedMessages messages;
    messages.Answer(false).Answer(true);
    TZesvdt window;
    Show(window);
    DoubleClickRow(window.PatientList()->Grid(), 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Count("ZeData"), 0);
    DoubleClickRow(window.PatientList()->Grid(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(messages.asked().size(), 2);
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"P-2"}), 1);
    EXPECT_EQ(appState().CurrentPatient.Name, QStringLiteral("Bert"));
}

TEST_F(SaveWindow, ARefusedUpdateUndoesTheAppendedRow)
{
    const qint64 ann = AddPatient("P-1", "Ann", true, 0, Day(2000, 1, 1));
    QSqlQuery(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ZeCust BEGIN SELECT RAISE(ABORT, "
                             "'latest date refused'); END"),
              db_);
    appState().CurrentPatient.Number = QStringLiteral("P-1");
    MeasurementInHand(Day(2021, 1, 1));
    ScriptedMessages messages;
    TZesvdt window;
    Show(window);
    Click(&window, "ToolButton2");
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 6);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("latest date refused")));
    EXPECT_TRUE(window.isVisible()) << "the window stays open";
    EXPECT_EQ(Count("ZeData"), 0) << "the append and the update are one";
    EXPECT_EQ(appState().CurrentMeasurement.StoredMeasurementKey, 0);
    EXPECT_EQ(LatestOf(ann), Day(2000, 1, 1));
}

// ---------------------------------------------------------------------------
// The patient editor

using PatientEditor = RecordWindows;

TEST_F(PatientEditor, ATakenNumberIsRefusedWithTheOtherPatientsName)
{
    const qint64 ann = AddPatient("A-1", "Ann");
    AddPatient("B-2", "  Bert  ");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    ScriptedMessages messages;
    appState().PatientEditorMode = 1;
    TZeEdit editor(db_, ann);
    Show(editor);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Edit Patient Record"));
    Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral(" b-2 "));
    Find<QLineEdit>(&editor, "Edit2")->setText(QStringLiteral("Changed"));
    Click(&editor, "ToolButton1");
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 5);
    EXPECT_EQ(messages.asked()[0].Text, QStringLiteral("atient number is already taken and is named\r\n [ Bert ] ! "
                                                       "\r\nPlease input a new number."));
    EXPECT_EQ(Find<QLineEdit>(&editor, "Edit1")->text(), QStringLiteral("A-1")) << "No: restored";
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(StoredPatient(ann).Number, QStringLiteral("A-1"));
    EXPECT_EQ(StoredPatient(ann).Name, QStringLiteral("Ann"));
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"A-1"}), 1);

    // Changing only the letter case of one's own number is no clash.
    Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("a-1"));
    Click(&editor, "ToolButton1");
    EXPECT_EQ(messages.asked().size(), 1);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(StoredPatient(ann).Number, QStringLiteral("a-1"));
    EXPECT_EQ(Count("ZeData", "CustNo = ? COLLATE BINARY", {"a-1"}), 1) << "the measurement follows";
}

TEST_F(PatientEditor, NewPatientsAreTrimmedAndUnique)
{
    AddPatient("A-1", "Ann");
    appState().CurrentPatient.Male = false;
    ScriptedMessages messages;
    appState().PatientEditorMode = 2;
    TZeEdit editor(db_, 0);
    Show(editor);
    EXPECT_EQ(Find<QLabel>(&editor, "StatusBar1")->text(), QStringLiteral("Number and gender are required."));
    EXPECT_TRUE(Find<QRadioButton>(&editor, "RadioButton2")->isChecked()) << "the sex of the current patient";
    EXPECT_FALSE(Tool(&editor, "ToolButton1")->isEnabled());
    Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("   "));
    EXPECT_FALSE(Tool(&editor, "ToolButton1")->isEnabled()) << "blanks are no number";
    Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral(" a-1"));
    Click(&editor, "ToolButton1");
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral(" [ Ann ] ! ")));
    EXPECT_EQ(Count("ZeCust"), 1);

    Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("  C-3  "));
    Find<QLineEdit>(&editor, "Edit2")->setText(QStringLiteral(" Cleo "));
    Find<QLineEdit>(&editor, "Edit7")->setText(QStringLiteral(" cleo@example.org "));
    Find<QPlainTextEdit>(&editor, "Memo1")->setPlainText(QStringLiteral("line 1\nline 2"));
    Click(&editor, "ToolButton1");
    EXPECT_TRUE(appState().NewPatientCreated);
    const Patient cleo = StoredPatient(editor.SavedKey());
    EXPECT_EQ(cleo.Number, QStringLiteral("C-3"));
    EXPECT_EQ(cleo.Name, QStringLiteral("Cleo"));
    EXPECT_EQ(cleo.EMail, QStringLiteral("cleo@example.org"));
    EXPECT_FALSE(cleo.Male);
    EXPECT_EQ(cleo.Memo, QStringLiteral("line 1\r\nline 2"));
    EXPECT_EQ(cleo.BirthDate, 0.0);
    EXPECT_EQ(cleo.LatestMeasurement, 0.0);
}

TEST_F(PatientEditor, EnterThroughTheBirthDate)
{
    for (const bool changeDate : {false, true}) {
        appState().PatientEditorMode = 2;
        TZeEdit editor(db_, 0);
        Show(editor);
        auto* number = Find<QLineEdit>(&editor, "Edit1");
        auto* name = Find<QLineEdit>(&editor, "Edit2");
        auto* check = Find<QCheckBox>(&editor, "CheckBox1");
        auto* picker = Find<QDateEdit>(&editor, "DateTimePicker1");
        EXPECT_FALSE(check->isChecked());
        EXPECT_FALSE(picker->isEnabled());
        number->setFocus();
        QTest::keyClicks(number, changeDate ? QStringLiteral("D-2") : QStringLiteral("D-1"));
        QTest::keyClick(number, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), name);
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_TRUE(check->isChecked());
        EXPECT_TRUE(picker->isEnabled());
        EXPECT_EQ(QApplication::focusWidget(), picker);
        if (changeDate)
            picker->setDate(QDate(1975, 6, 7));
        QTest::keyClick(picker, Qt::Key_Return);
        EXPECT_EQ(check->isChecked(), changeDate);
        EXPECT_EQ(picker->isEnabled(), changeDate);
        EXPECT_NE(QApplication::focusWidget(), picker) << "Enter moves on";
        Click(&editor, "ToolButton1");
        EXPECT_EQ(StoredPatient(editor.SavedKey()).BirthDate, changeDate ? Day(1975, 6, 7) : 0.0);
    }
}

TEST_F(PatientEditor, ExitDiscardsWhatWasTyped)
{
    const qint64 ann = AddPatient("A-1", "Ann", false, Day(1960, 2, 3), 0, QStringLiteral("old\r\nnotes"));
    appState().PatientEditorMode = 1;
    {
        TZeEdit editor(db_, ann);
        Show(editor);
        EXPECT_EQ(Find<QPlainTextEdit>(&editor, "Memo1")->toPlainText(), QStringLiteral("old\nnotes"));
        EXPECT_TRUE(Find<QCheckBox>(&editor, "CheckBox1")->isChecked());
        EXPECT_EQ(Find<QDateEdit>(&editor, "DateTimePicker1")->date(), QDate(1960, 2, 3));
        EXPECT_TRUE(Find<QRadioButton>(&editor, "RadioButton2")->isChecked());
        Find<QPlainTextEdit>(&editor, "Memo1")->setPlainText(QStringLiteral("typed"));
        Find<QLineEdit>(&editor, "Edit2")->setText(QStringLiteral("Other"));
        Click(&editor, "ToolButton2");
        EXPECT_EQ(editor.result(), QDialog::Rejected);
    }
    EXPECT_EQ(StoredPatient(ann).Memo, QStringLiteral("old\r\nnotes"));
    EXPECT_EQ(StoredPatient(ann).Name, QStringLiteral("Ann"));

    TZeEdit editor(db_, ann);
    Show(editor);
    Find<QPlainTextEdit>(&editor, "Memo1")->setPlainText(QStringLiteral("new\nnotes"));
    Find<QCheckBox>(&editor, "CheckBox1")->click();
    Click(&editor, "ToolButton1");
    EXPECT_EQ(StoredPatient(ann).Memo, QStringLiteral("new\r\nnotes")) << "the memo is written with the record";
    EXPECT_EQ(StoredPatient(ann).BirthDate, 0.0) << "a cleared check box: no birth date";
}

TEST_F(PatientEditor, RenumberingIsOneTransaction)
{
    const qint64 ann = AddPatient("A-1", "Ann");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    QSqlQuery(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ZeData BEGIN SELECT RAISE(ABORT, "
                             "'moving refused'); END"),
              db_);
    ScriptedMessages messages;
    appState().PatientEditorMode = 1;
    TZeEdit editor(db_, ann);
    Show(editor);
    Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("Z-9"));
    Click(&editor, "ToolButton1");
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("moving refused")));
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(StoredPatient(ann).Number, QStringLiteral("A-1")) << "the patient keeps its number";
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"A-1"}), 1);
}

// ---------------------------------------------------------------------------
// Recall

using RecallWindow = RecordWindows;

TEST_F(RecallWindow, ButtonsFollowTheFocus)
{
    AddPatient("A-1", "Ann");
    AddPatient("B-2", "Bert");
    AddPatient("C-3", "Cleo");
    AddMeasurement("B-2", Day(2020, 1, 1), 30);
    AddMeasurement("B-2", Day(2021, 1, 1), 40);
    appState().CurrentPatient.Number = QStringLiteral("b");
    TZered window;
    Show(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Load Patient and Measurement Record"));
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("B-2")) << "the first number beginning with it";
    EXPECT_EQ(window.MeasurementList()->Count(), 2);
    EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     3  -  [ 2 ]"));

    const auto enabled = [&] {
        QList<bool> states;
        for (int i = 1; i <= 10; ++i)
            states.append(Tool(&window, QStringLiteral("ToolButton%1").arg(i).toLatin1().constData())->isEnabled());
        return states;
    };
    EXPECT_EQ(window.LastFocus(), TZered::Focus::Patients);
    EXPECT_EQ(enabled(), QList<bool>({false, true, true, true, false, false, false, true, true, true}));
    EXPECT_EQ(HeaderGradientOf(window.PatientList()->Grid()), FocusedHeaderGradient());
    EXPECT_EQ(HeaderGradientOf(window.MeasurementList()->Grid()), UnfocusedHeaderGradient());
    EXPECT_EQ(FocusedHeaderGradient().From, QColor(0xFF, 0x9F, 0x35));

    ClickRow(window.MeasurementList()->Grid(), 1);
    EXPECT_EQ(window.LastFocus(), TZered::Focus::Measurements);
    EXPECT_EQ(enabled(), QList<bool>({true, false, false, false, true, true, true, true, true, true}));
    EXPECT_EQ(HeaderGradientOf(window.PatientList()->Grid()), UnfocusedHeaderGradient());
    EXPECT_EQ(HeaderGradientOf(window.MeasurementList()->Grid()), FocusedHeaderGradient());

    // A patient without measurements: nothing to recall, edit or delete.
    ClickRow(window.PatientList()->Grid(), 2);
    EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     3  -  [ 0 ]"));
    window.DBAdvGrid2Enter();
    EXPECT_EQ(enabled(), QList<bool>({false, false, false, false, true, false, false, true, true, true}));
}

TEST_F(RecallWindow, WithNoPatientsOnlyAddingAndTheViewsAreOffered)
{
    TZered window;
    Show(window);
    QList<bool> states;
    for (int i = 1; i <= 10; ++i)
        states.append(Tool(&window, QStringLiteral("ToolButton%1").arg(i).toLatin1().constData())->isEnabled());
    EXPECT_EQ(states, QList<bool>({false, true, false, false, false, false, false, true, true, true}));
    window.DBAdvGrid2Enter();
    EXPECT_FALSE(Tool(&window, "ToolButton5")->isEnabled()) << "no patient for a new value";
    window.ToolButton4Click(); // nothing to delete, nothing asked
    window.ToolButton7Click();
    window.ToolButton1Click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     0  -  [ 0 ]"));
}

TEST_F(RecallWindow, FromTheMainWindowItAsksFirst)
{
    AddPatient("A-1", "Ann", false, Day(1960, 1, 1));
    const qint64 key = AddMeasurement("A-1", Day(2020, 1, 1), 30, false);
    MeasurementInHand(Day(2022, 2, 2));
    const Measurement before = appState().CurrentMeasurement;
    AppState& state = appState();
    state.RecallFromMain = true;
    state.AnalysisPage = 3;
    state.ChartGroup = 2;
    state.ChartView[4] = 3;
    state.PointsMeasured = 20;

    ScriptedMessages messages;
    messages.Answer(false).Answer(true);
    TZered window;
    Show(window);
    DoubleClickRow(window.MeasurementList()->Grid(), 0);
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 1);
    EXPECT_EQ(messages.asked()[0].Text, RecallQuestion);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(state.CurrentMeasurement.DateTime, before.DateTime) << "NO changes nothing";
    EXPECT_TRUE(state.CurrentPatient.Number.isEmpty());
    EXPECT_EQ(state.AnalysisPage, 3);
    EXPECT_TRUE(state.RecallFromMain);

    DoubleClickRow(window.MeasurementList()->Grid(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_FALSE(state.RecallFromMain);
    EXPECT_EQ(state.CurrentPatient.Number, QStringLiteral("A-1"));
    EXPECT_FALSE(state.CurrentPatient.Male);
    EXPECT_EQ(state.CurrentMeasurement.StoredMeasurementKey, key);
    EXPECT_EQ(state.CurrentMeasurement.DateTime, Day(2020, 1, 1));
    EXPECT_EQ(state.CurrentMeasurement.Raw[24], 54.0);
    EXPECT_EQ(state.CurrentMeasurement.Quality, PointValues(0.0)) << "empty STD: quality 0";
    EXPECT_EQ(state.CurrentMeasurement.Memo, QStringList({"memo of 30"}));
    EXPECT_FALSE(state.CurrentMeasurement.HighPotential);
    EXPECT_EQ(state.AnalysisPage, 0);
    EXPECT_EQ(state.ChartGroup, 1);
    EXPECT_TRUE((state.ChartView == OneBased<int, 5>(1)));
    EXPECT_EQ(state.PointsMeasured, 0);
}

TEST_F(RecallWindow, FromTheMeasurementWindowItRecallsAtOnce)
{
    AddPatient("A-1", "Ann");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    const qint64 newer = AddMeasurement("A-1", Day(2021, 1, 1), 35);
    for (const bool button : {false, true}) {
        appState().RecallFromMain = button; // "Recall" clears it itself
        TZered window;
        Show(window);
        if (button) {
            window.DBAdvGrid2Enter();
            Click(&window, "ToolButton1");
        } else {
            DoubleClickRow(window.MeasurementList()->Grid(), 0);
        }
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(appState().CurrentMeasurement.StoredMeasurementKey, newer);
        EXPECT_EQ(appState().CurrentMeasurement.Quality[2], 90.6) << "from STD";
    }
}

TEST_F(RecallWindow, DeletingAPatientTakesItsMeasurementsAndMovesOn)
{
    AddPatient("A-1", "Ann");
    AddPatient("B-2", "Bert");
    AddPatient("C-3", "Cleo");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    AddMeasurement("B-2", Day(2020, 1, 1), 30);
    AddMeasurement("B-2", Day(2021, 1, 1), 30);
    appState().CurrentPatient.Number = QStringLiteral("B-2");
    ScriptedMessages messages;
    messages.Answer(false).Answer(true).Answer(true);
    TZered window;
    Show(window);

    Click(&window, "ToolButton4");
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 2);
    EXPECT_EQ(messages.asked()[0].Text, QStringLiteral("Are you sure you want to delete this patient record, "
                                                       "including all the measurements? [ Bert ]"));
    EXPECT_EQ(Count("ZeCust"), 3) << "NO deletes nothing";

    Click(&window, "ToolButton4");
    EXPECT_EQ(Count("ZeCust"), 2);
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"B-2"}), 0);
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"A-1"}), 1);
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("C-3")) << "the patient that followed";
    EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     2  -  [ 0 ]"));

    Click(&window, "ToolButton4"); // the last one: the list stands on the one before
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("A-1"));
    EXPECT_EQ(window.MeasurementList()->Count(), 1);

    // Only while the patient list had the focus last.
    window.DBAdvGrid2Enter();
    window.ToolButton4Click();
    EXPECT_EQ(messages.asked().size(), 3);
    EXPECT_EQ(Count("ZeCust"), 1);
}

TEST_F(RecallWindow, DeletingAPatientIsOneTransaction)
{
    AddPatient("A-1", "Ann");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    QSqlQuery(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON ZeCust BEGIN SELECT RAISE(ABORT, "
                             "'deleting refused'); END"),
              db_);
    ScriptedMessages messages;
    messages.Answer(true);
    TZered window;
    Show(window);
    Click(&window, "ToolButton4");
    ASSERT_EQ(messages.asked().size(), 2);
    EXPECT_EQ(messages.asked()[1].Kind, 6);
    EXPECT_TRUE(messages.asked()[1].Text.contains(QStringLiteral("deleting refused")));
    EXPECT_EQ(Count("ZeData"), 1) << "the measurements are still there";
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("A-1"));
    EXPECT_EQ(window.MeasurementList()->Count(), 1);
}

TEST_F(RecallWindow, DeletingMeasurementsSetsTheLatestDate)
{
    const qint64 ann = AddPatient("A-1", "Ann", true, 0, 12345);
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    AddMeasurement("A-1", Day(2021, 1, 1), 40);
    ScriptedMessages messages;
    messages.Answer(false).Answer(true).Answer(true);
    TZered window;
    Show(window);
    ClickRow(window.MeasurementList()->Grid(), 0);

    Click(&window, "ToolButton7");
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 2);
    EXPECT_TRUE(messages.asked()[0].Text.startsWith(QStringLiteral("Are you sure you want to delete this measurement "
                                                                   "data? [ ")));
    EXPECT_EQ(Count("ZeData"), 2);
    EXPECT_EQ(LatestOf(ann), Day(2021, 1, 1)) << "set from the list even after NO";

    Click(&window, "ToolButton7"); // the newest
    EXPECT_EQ(Count("ZeData"), 1);
    EXPECT_EQ(LatestOf(ann), Day(2020, 1, 1));
    EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     1  -  [ 1 ]"));

    Click(&window, "ToolButton7"); // the last
    EXPECT_EQ(Count("ZeData"), 0);
    EXPECT_EQ(LatestOf(ann), 0.0);
    TPatientList* list = window.PatientList();
    EXPECT_TRUE(list->Model().data(list->Model().index(list->CurrentRow(), PatientLatest)).toString().isEmpty());
    EXPECT_FALSE(Tool(&window, "ToolButton7")->isEnabled()) << "nothing left to delete";
    EXPECT_FALSE(Tool(&window, "ToolButton1")->isEnabled());
}

TEST_F(RecallWindow, EditingAndAddingPatientsFollowTheRow)
{
    const qint64 ann = AddPatient("A-1", "Ann");
    AddPatient("B-2", "Bert");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    AddMeasurement("A-1", Day(2021, 1, 1), 40);
    AddMeasurement("B-2", Day(2021, 1, 1), 40);
    TZered window;
    Show(window);
    ASSERT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("A-1"));

    // Renumbering through "Edit Pat.": the measurements move, the list follows.
    WhenModal<TZeEdit>([&](TZeEdit& editor) {
        EXPECT_EQ(appState().PatientEditorMode, 1);
        EXPECT_EQ(Find<QLabel>(&window, "StatusBar1")->text(), QStringLiteral("[Edit Mode]"));
        Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("  Z-9 "));
        Click(&editor, "ToolButton1");
    });
    Click(&window, "ToolButton3");
    EXPECT_EQ(StoredPatient(ann).Number, QStringLiteral("Z-9"));
    EXPECT_EQ(Count("ZeData", "CustNo = ? COLLATE BINARY", {"Z-9"}), 2);
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"A-1"}), 0);
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"B-2"}), 1);
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("Z-9"));
    EXPECT_EQ(window.PatientList()->CurrentRow(), 1) << "re-read in its order";
    EXPECT_EQ(window.MeasurementList()->Count(), 2);
    EXPECT_EQ(Find<QLabel>(&window, "StatusBar1")->text(), QStringLiteral("[Inquire mode]"));

    // A double-click on a patient edits it too; "Exit" changes nothing.
    WhenModal<TZeEdit>([&](TZeEdit& editor) {
        EXPECT_EQ(Find<QLineEdit>(&editor, "Edit1")->text(), QStringLiteral("B-2"));
        Click(&editor, "ToolButton2");
    });
    DoubleClickRow(window.PatientList()->Grid(), 0);
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("B-2"));

    // "New Pat.": the new patient is selected with its (no) measurements.
    WhenModal<TZeEdit>([&](TZeEdit& editor) {
        EXPECT_EQ(appState().PatientEditorMode, 2);
        Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("C-3"));
        Click(&editor, "ToolButton1");
    });
    Click(&window, "ToolButton2");
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("C-3"));
    EXPECT_EQ(window.MeasurementList()->Count(), 0);
    EXPECT_EQ(Find<QLabel>(&window, "TotalRecords")->text(), QStringLiteral("Total Records:     3  -  [ 0 ]"));

    // Aborted: back on the row it was on.
    ClickRow(window.PatientList()->Grid(), 0);
    WhenModal<TZeEdit>([&](TZeEdit& editor) { Click(&editor, "ToolButton2"); });
    Click(&window, "ToolButton2");
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("B-2"));
    EXPECT_EQ(Count("ZeCust"), 3);
}

TEST_F(RecallWindow, DetailGridAndMemos)
{
    AddPatient("A-1", "Ann", true, 0, 0, QStringLiteral("allergic\r\nto nuts"));
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    QSqlQuery(QStringLiteral("UPDATE ZeData SET Ze12 = 0"), db_);
    TZered window;
    Show(window);
    auto* grid = Find<QTableWidget>(&window, "AdvStringGrid1");
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(Find<QPlainTextEdit>(&window, "DBMemo1")->toPlainText(), QStringLiteral("allergic\nto nuts"));
    EXPECT_EQ(Find<QPlainTextEdit>(&window, "DBMemo2")->toPlainText(), QStringLiteral("memo of 30"));

    Click(&window, "ToolButton8");
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("LI"));
    EXPECT_EQ(grid->verticalHeaderItem(1)->text(), QStringLiteral("Right"));
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("31.0")) << "left LU: point 1";
    EXPECT_EQ(grid->item(1, 1)->text(), QString()) << "right LI: point 12, no value";
    EXPECT_EQ(grid->item(0, 6)->text(), QStringLiteral("43.0")) << "left SP: point 13";
    EXPECT_EQ(grid->item(1, 11)->text(), QStringLiteral("52.0")) << "right BL: point 22";
    EXPECT_EQ(grid->columnWidth(0), 57);

    Click(&window, "ToolButton9");
    EXPECT_FALSE(Find(&window, "MemoPanel")->isVisible());
    EXPECT_EQ(grid->columnWidth(0), 75);
    Click(&window, "ToolButton9");
    EXPECT_EQ(grid->columnWidth(0), 57);
    Click(&window, "ToolButton8");
    EXPECT_FALSE(grid->isVisible());
}

TEST_F(RecallWindow, ManualEntryOpensThroughItsHook)
{
    const qint64 ann = AddPatient("A-1", "Ann");
    const qint64 measured = AddMeasurement("A-1", Day(2020, 1, 1), 30);
    TZered window;
    Show(window);
    window.DBAdvGrid2Enter();
    Click(&window, "ToolButton6"); // no hook yet: nothing opens
    EXPECT_TRUE(window.isVisible());

    QList<ManualEntryTarget> targets;
    QList<int> modes;
    bool hidden = false;
    recordHooks().ManualEntry = [&](QWidget* parent, const ManualEntryTarget& target) {
        targets.append(target);
        modes.append(appState().ManualEntryMode);
        hidden = !parent->isVisible();
        AddMeasurement(target.PatientNumber, Day(2022, 2, 2), 50);
    };
    Click(&window, "ToolButton6");
    ASSERT_EQ(targets.size(), 1);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(modes[0], 1);
    EXPECT_EQ(targets[0].PatientNumber, QStringLiteral("A-1"));
    EXPECT_EQ(targets[0].PatientKey, ann);
    EXPECT_EQ(targets[0].MeasurementKey, measured);
    EXPECT_EQ(window.MeasurementList()->Count(), 2);
    EXPECT_EQ(LatestOf(ann), Day(2022, 2, 2));
    EXPECT_EQ(window.LastFocus(), TZered::Focus::Measurements);

    Click(&window, "ToolButton5");
    EXPECT_EQ(modes[1], 2);
    EXPECT_EQ(targets[1].MeasurementKey, 0);
}

TEST_F(RecallWindow, PatientNumbersWithQuotesWorkEverywhere)
{
    const qint64 neil = AddPatient("O'Neil", "Neil");
    AddPatient("O'Neil-2", "Other");
    AddMeasurement("O'Neil", Day(2020, 1, 1), 30);
    AddMeasurement("O'Neil-2", Day(2020, 1, 1), 30);
    appState().CurrentPatient.Number = QStringLiteral("o'neil");
    {
        MeasurementInHand(Day(2021, 1, 1));
        TZesvdt save;
        Show(save);
        EXPECT_EQ(CurrentNumber(save.PatientList()), QStringLiteral("O'Neil"));
        Click(&save, "ToolButton2");
        EXPECT_EQ(Count("ZeData", "CustNo = ?", {"O'Neil"}), 2);
    }
    ScriptedMessages messages;
    messages.Answer(true);
    TZered window;
    Show(window);
    EXPECT_EQ(window.MeasurementList()->Count(), 2);
    window.PatientList()->SearchBox()->setText(QStringLiteral("O'Neil-"));
    window.PatientList()->Search();
    EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("O'Neil-2"));
    EXPECT_EQ(window.MeasurementList()->Count(), 1);
    ClickRow(window.PatientList()->Grid(), 0);
    WhenModal<TZeEdit>([&](TZeEdit& editor) {
        Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("O'Brien"));
        Click(&editor, "ToolButton1");
    });
    Click(&window, "ToolButton3");
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"O'Brien"}), 2);
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"O'Neil-2"}), 1);
    window.DBAdvGrid2Enter();
    Click(&window, "ToolButton7");
    EXPECT_EQ(Count("ZeData", "CustNo = ?", {"O'Brien"}), 1);
    EXPECT_EQ(LatestOf(neil), Day(2020, 1, 1));
}

// ---------------------------------------------------------------------------
// The shared list: order, search

using PatientListWindows = RecordWindows;

TEST_F(PatientListWindows, TheOrderIsSharedAndFollowsEachClick)
{
    AddPatient("A-1", "Zoe");
    AddPatient("B-2", "Ann");
    AddPatient("C-3", "Max");
    {
        TZered window;
        Show(window);
        QTableView* grid = window.PatientList()->Grid();
        ClickHeader(grid, 1);
        EXPECT_EQ(appState().PatientSortKey, -1);
        EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        EXPECT_EQ(CurrentNumber(window.PatientList()), QStringLiteral("A-1")) << "stays on its patient";
        EXPECT_EQ(window.PatientList()->CurrentRow(), 2);
        ClickHeader(grid, 0); // "Index" sorts like "Patient No"
        EXPECT_EQ(appState().PatientSortKey, 1);
        EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 1);
        EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        ClickHeader(grid, 1);
        ClickHeader(grid, 2); // the direction stays
        EXPECT_EQ(appState().PatientSortKey, -2);
    }
    TZesvdt window;
    Show(window);
    TPatientList* list = window.PatientList();
    EXPECT_EQ(list->Grid()->horizontalHeader()->sortIndicatorSection(), 2);
    EXPECT_EQ(list->Grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(list->Model().data(list->Model().index(0, PatientName)).toString(), QStringLiteral("Zoe"));
    EXPECT_EQ(list->Model().data(list->Model().index(2, PatientName)).toString(), QStringLiteral("Ann"));
}

TEST_F(PatientListWindows, SearchFindsInListOrder)
{
    AddPatient("12", "Ann");
    AddPatient("123", "Bert");
    AddPatient("5", "Cleo", true, Day(1971, 2, 3));
    appState().PatientSortKey = -1;
    appState().CurrentPatient.Number = QStringLiteral("5");
    TZesvdt window;
    Show(window);
    TPatientList* list = window.PatientList();
    auto* box = Find<QLineEdit>(&window, "SearchEdit");
    auto* button = Find<QPushButton>(&window, "SearchButton");
    EXPECT_FALSE(button->isEnabled());
    box->setText(QStringLiteral("12"));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(list->SearchState(), SearchIndicator::Ready);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(CurrentNumber(list), QStringLiteral("123")) << "123 comes before 12 in a descending list";
    EXPECT_EQ(list->SearchState(), SearchIndicator::Found);
    EXPECT_EQ(Find<QLabel>(&window, "SelectionNumber")->text(), QStringLiteral("123"));
    EXPECT_EQ(QApplication::focusWidget(), box);

    box->setText(QStringLiteral("9"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(list->SearchState(), SearchIndicator::NotFound);
    EXPECT_EQ(CurrentNumber(list), QStringLiteral("123")) << "the selection stays";

    // By birth date: the hint shows an example; text that is no date fails quietly.
    ClickHeader(list->Grid(), 4);
    auto* hint = Find<QLabel>(&window, "SearchHint");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().startsWith(QStringLiteral("Example: ")));
    box->setText(QStringLiteral("no date"));
    list->Search();
    EXPECT_EQ(list->SearchState(), SearchIndicator::NotFound);
    box->setText(ShortDate(Day(1971, 2, 3)));
    list->Search();
    EXPECT_EQ(CurrentNumber(list), QStringLiteral("5"));

    // By gender: no search.
    ClickHeader(list->Grid(), 3);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(list->SearchState(), SearchIndicator::NotPossible);
    EXPECT_FALSE(hint->isVisible());
    ClickHeader(list->Grid(), 7);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_NE(box->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
}

TEST_F(PatientListWindows, InstallerWiresTheWindows)
{
    AddPatient("A-1", "Ann");
    InstallRecordWindows();
    ASSERT_TRUE(measurementHooks().Save);
    ASSERT_TRUE(measurementHooks().Recall);
    ASSERT_TRUE(shellHooks().WorkWindows[WorkWindow::Recall]);
    int opened = 0;
    WhenModal<TZesvdt>([&](TZesvdt& window) {
        ++opened;
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Save Meridian Energy Values"));
        Click(&window, "ToolButton3");
    });
    measurementHooks().Save(nullptr);
    WhenModal<TZered>([&](TZered& window) {
        ++opened;
        Click(&window, "ToolButton10");
    });
    shellHooks().WorkWindows[WorkWindow::Recall](nullptr);
    EXPECT_EQ(opened, 2);
}

} // namespace

// ---------------------------------------------------------------------------
// The instrument beeps before a deletion question and a refused number.

class RecordSounds : public RecordWindows {
protected:
    void SetUp() override
    {
        RecordWindows::SetUp();
        SimulationOptions options;
        options.AutomaticPatient = false;
        sim_ = std::make_unique<SimulatedInstrument>(options);
        sim_->KeepLog(true);
        link_ = std::make_unique<InstrumentLink>(*sim_);
        SetInstrumentLink(link_.get());
        link_->InstallDeviceChangeHandler();
        sim_->ClearLog();
        // Each question notes whether sound 1 was played just before it.
        setMessageHandler([this](int, const QString& text) {
            beeped_.append(text.left(20) + (sim_->Commands().endsWith(QStringLiteral("S8863")) ? " +" : " -"));
            sim_->ClearLog();
            return false;
        });
    }
    void TearDown() override
    {
        link_.reset();
        sim_.reset();
        RecordWindows::TearDown();
    }

    qern::test::VirtualTime time_;
    std::unique_ptr<SimulatedInstrument> sim_;
    std::unique_ptr<InstrumentLink> link_;
    QStringList beeped_;
};

TEST_F(RecordSounds, SoundOneComesFirst)
{
    AddPatient("A-1", "Ann");
    AddPatient("B-2", "Bert");
    AddMeasurement("A-1", Day(2020, 1, 1), 30);
    TZered window;
    Show(window);
    Click(&window, "ToolButton4");
    window.DBAdvGrid2Enter();
    Click(&window, "ToolButton7");
    WhenModal<TZeEdit>([&](TZeEdit& editor) {
        Find<QLineEdit>(&editor, "Edit1")->setText(QStringLiteral("B-2"));
        Click(&editor, "ToolButton1");
        Click(&editor, "ToolButton2");
    });
    window.DBAdvGrid1Enter();
    Click(&window, "ToolButton3");
    EXPECT_EQ(beeped_, QStringList({"Are you sure you wan +", "Are you sure you wan +", "atient number is alr +"}));
}
