#include "instrument/InstrumentFixture.h"
#include "instrument/InstrumentHooks.h"
#include "instrument/Registers.h"
#include "measurement/MeasurementHooks.h"
#include "measurement/TrendGraph.h"
#include "measurement/Zesen.h"
#include "shell/AppState.h"
#include "shell/DataFolder.h"
#include "shell/Settings.h"
#include "shell/Ze2main.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace qern;
using qern::test::InstrumentTest;
using qern::test::ScriptedMessages;
using qern::test::TempDataFolder;

namespace {

class MeasurementWindow : public InstrumentTest {
protected:
    void SetUp() override
    {
        Attach();
        resetMeasurementHooks();
        appState().Settings.Sensitivity = 1.0;
    }
    void TearDown() override { resetMeasurementHooks(); }

    TZedec& Open()
    {
        window_ = std::make_unique<TZedec>();
        window_->show();
        QCoreApplication::processEvents();
        return *window_;
    }

    template <typename T = QWidget>
    T* Find(const char* name)
    {
        return window_->findChild<T*>(QLatin1String(name));
    }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
    QTableWidgetItem* Cell(int slot, Side side)
    {
        return Find<QTableWidget>("AdvStringGrid1")->item(side == Side::Left ? 1 : 2, slot);
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    void Choose(const char* menuButton, int item)
    {
        Find<QToolButton>(menuButton)
            ->menu()
            ->findChild<QAction*>(QStringLiteral("%1_%2").arg(QLatin1String(menuButton)).arg(item))
            ->trigger();
    }

    // Runs `action` once, as soon as the run waits for contact at its first point.
    void WhenWaiting(std::function<void()> action)
    {
        waiter_ = std::make_unique<QTimer>();
        QObject::connect(waiter_.get(), &QTimer::timeout, [this, action] {
            if (window_->Run().GridClicksAllowed()) {
                waiter_->stop();
                action();
            }
        });
        waiter_->start(0);
    }

    // Presses Stop once the run has reached `position`.
    void StopAtPosition(int position)
    {
        stopper_ = std::make_unique<QTimer>();
        QObject::connect(stopper_.get(), &QTimer::timeout, [this, position] {
            if (window_->Run().Running() && window_->Run().CurrentPosition() >= position)
                Click("StopButton");
        });
        stopper_->start(0);
    }

    TempDataFolder folder_;
    std::unique_ptr<QTimer> stopper_;
    std::unique_ptr<QTimer> waiter_;
    std::unique_ptr<TZedec> window_;
};

TEST_F(MeasurementWindow, OpeningEnablesByTheValuesPresent)
{
    struct Case {
        int measured;
        bool analyze, save;
    };
    for (const Case c : {Case{24, true, true}, Case{23, false, true}, Case{0, false, false}}) {
        Measurement& m = appState().CurrentMeasurement;
        for (int p = 1; p <= PointCount; ++p)
            m.Raw[p] = p <= c.measured ? 40.0 + p : 0.0;
        Open();
        EXPECT_EQ(Button("AnalyzeButton")->isEnabled(), c.analyze) << c.measured;
        EXPECT_EQ(Button("CompareButton")->isEnabled(), c.analyze) << c.measured;
        EXPECT_EQ(Button("SaveButton")->isEnabled(), c.save) << c.measured;
        EXPECT_EQ(Button("ClearButton")->isEnabled(), c.save) << c.measured;
        EXPECT_TRUE(Button("StartButton")->isEnabled());
        EXPECT_FALSE(Button("StopButton")->isEnabled());
        EXPECT_FALSE(Find("AdvStringGrid1")->isEnabled());
        EXPECT_EQ(Find<QLabel>("StaticText25")->text(), QStringLiteral("Meridian Energy Values"));
    }
    // The last case: 24 empty cells, no average.
    EXPECT_TRUE(Cell(1, Side::Left)->text().isEmpty());
    EXPECT_TRUE(Find<QLabel>("AvgText")->text().isEmpty());
}

TEST_F(MeasurementWindow, GridViewsTextsAndColours)
{
    Measurement& m = appState().CurrentMeasurement;
    m.Raw[1] = 52.4;  // slot 1 left
    m.Quality[1] = -5;
    m.Raw[12] = 61.0; // slot 2 right (LI)
    m.Quality[12] = 70;
    m.Raw[24] = 33.6; // slot 8 right (ST)
    m.Quality[24] = 95.24;
    m.Quality[2] = 88; // no value: no quality shown
    Open();

    EXPECT_EQ(Cell(1, Side::Left)->text(), QStringLiteral("52"));
    EXPECT_EQ(Cell(2, Side::Right)->text(), QStringLiteral("61"));
    EXPECT_EQ(Cell(8, Side::Right)->text(), QStringLiteral("34"));
    EXPECT_EQ(Cell(3, Side::Left)->text(), QString());
    EXPECT_EQ(Find<QLabel>("AvgText")->text(), QStringLiteral("49.0"));
    EXPECT_EQ(Find<QTableWidget>("AdvStringGrid1")->item(0, 2)->text(), QStringLiteral("LI"));

    QTest::mouseClick(Find<QToolButton>("RzToolButton1"), Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("StaticText25")->text(), QStringLiteral("Data Quality Score"));
    EXPECT_EQ(Cell(1, Side::Left)->text(), QStringLiteral("0.0"));
    EXPECT_EQ(Cell(1, Side::Left)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(Cell(2, Side::Right)->text(), QStringLiteral("70.0"));
    EXPECT_EQ(Cell(2, Side::Right)->foreground().color(), QColor(128, 128, 0));
    EXPECT_EQ(Cell(8, Side::Right)->text(), QStringLiteral("95.2"));
    EXPECT_EQ(Cell(8, Side::Right)->foreground().color(), QColor(53, 210, 45));
    EXPECT_EQ(Cell(3, Side::Left)->text(), QString()) << "no value, no quality";
    EXPECT_EQ(Find<QLabel>("AvgText")->text(), QStringLiteral("55.1")) << "(0 + 70 + 95.24) / 3";
}

TEST_F(MeasurementWindow, StoppingAfterTenPointsLeavesAnalyzeOffAndSaveOn)
{
    QList<int> touches;
    for (int i = 0; i < 10; ++i)
        touches.append(600 + 40 * i);
    sim_->ScriptPatient(touches);
    Open();
    StopAtPosition(11);
    Click("StartButton");

    int measured = 0;
    for (double raw : appState().CurrentMeasurement.Raw)
        measured += raw != 0;
    EXPECT_EQ(measured, 10);
    EXPECT_FALSE(Button("AnalyzeButton")->isEnabled());
    EXPECT_FALSE(Button("CompareButton")->isEnabled());
    EXPECT_TRUE(Button("SaveButton")->isEnabled());
    EXPECT_TRUE(Button("ClearButton")->isEnabled());
    EXPECT_TRUE(Button("StartButton")->isEnabled());
    EXPECT_FALSE(Button("StopButton")->isEnabled());
    EXPECT_EQ(Cell(1, Side::Left)->text(), QStringLiteral("30"));
    EXPECT_EQ(Cell(2, Side::Left)->text(), QStringLiteral("32")) << "LI, the second position";
    EXPECT_FALSE(Find<QLabel>("MeasurementDateText")->text().isEmpty());
    EXPECT_EQ(Find<QLabel>("ValueText")->text(), QStringLiteral("0.0"));
    EXPECT_EQ(Find<QLabel>("RemainingText")->text(), QStringLiteral("off"));
    EXPECT_TRUE(Find<QLabel>("LocationText")->text().isEmpty());
}

TEST_F(MeasurementWindow, DuringARunOnlyStopWorksAndClicksChooseThePoint)
{
    sim_->ScriptPatient({700});
    Open();
    QList<bool> enabledDuring;
    QString location;
    WhenWaiting([&] {
        for (const char* b : {"StartButton", "AnalyzeButton", "SaveButton", "RecallButton", "ManualButton",
                              "CompareButton", "ClearButton", "QuitButton", "StopButton"})
            enabledDuring.append(Button(b)->isEnabled());
        enabledDuring.append(Find("RzMenuButton2")->isEnabled());
        enabledDuring.append(Find("RzMenuButton1")->isEnabled());
        // A click on the right-hand BL cell: position 24, the right foot.
        auto* grid = Find<QTableWidget>("AdvStringGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(2, 12)).center());
        location = Find<QLabel>("LocationText")->text();
        window_->close(); // refused while running
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.get(), &escape);
    });
    Click("StartButton");
    EXPECT_EQ(enabledDuring, QList<bool>({false, false, false, false, false, false, false, false, true, false, true}));
    EXPECT_EQ(location, QStringLiteral("Right Foot"));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[PositionToPoint(24)], 35.0);
    EXPECT_EQ(Cell(12, Side::Right)->text(), QStringLiteral("35"));
}

TEST_F(MeasurementWindow, PictureStyleChangeShowsThePointBeingMeasured)
{
    // Outline pictures whose colour says which point they show.
    QDir().mkpath(PictureFolder(folder_.Path()));
    for (int point : {2, 6}) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(point == 6 ? Qt::red : Qt::blue);
        ASSERT_TRUE(image.save(PictureFolder(folder_.Path()) + QStringLiteral("GLh%1.bmp").arg(point), "BMP"));
    }
    sim_->ScriptPatient({700});
    Open();
    QColor shown;
    WhenWaiting([&] {
        // Position 1 is measured; move to position 2 (point 6), then switch style.
        window_->Run().SelectPosition(2);
        Choose("RzMenuButton3", 2);
        const QPixmap picture = Find<QLabel>("Image1")->pixmap();
        shown = picture.toImage().pixelColor(picture.width() / 2, picture.height() / 2);
        Click("StopButton");
    });
    Click("StartButton");
    EXPECT_EQ(shown, QColor(Qt::red));
    EXPECT_EQ(appState().Settings.PictureStyle, 2);
    EXPECT_EQ(Find<QToolButton>("RzMenuButton3")->text(), QStringLiteral("Outline"));
}

TEST_F(MeasurementWindow, MissingPictureShowsAFrameNotACrash)
{
    Open();
    WhenWaiting([&] {
        EXPECT_FALSE(Find<QLabel>("Image1")->pixmap().isNull());
        EXPECT_EQ(Find<QLabel>("MeridianNameText")->text(), QStringLiteral("Lung Meridian of Hand-TaiYin"));
        EXPECT_EQ(Find<QLabel>("PointNameText")->text(), QStringLiteral("TaiYuan  LU9"));
        EXPECT_EQ(Find<QLabel>("PictureLabel2")->text(), QStringLiteral("Lung Meridian(LU)"));
        EXPECT_EQ(Find<QLabel>("LocationText")->text(), QStringLiteral("Left Hand"));
        Click("StopButton");
    });
    Click("StartButton");
}

TEST_F(MeasurementWindow, AnalyzeIncrementsTheCounterOnceForTwelveNewPoints)
{
    int analyses = 0;
    bool hiddenDuring = false;
    measurementHooks().Analyze = [&](QWidget* parent) {
        ++analyses;
        hiddenDuring = !parent->isVisible();
    };
    sim_->SetRegister(0x08, 0x05);
    for (int p = 1; p <= PointCount; ++p)
        appState().CurrentMeasurement.Raw[p] = 50;
    appState().PointsMeasured = 12;
    Open();

    Click("AnalyzeButton");
    EXPECT_EQ(analyses, 1);
    EXPECT_TRUE(hiddenDuring);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(ReadMeasurementCounter(), 6u);
    EXPECT_EQ(appState().PointsMeasured, 0);

    Click("AnalyzeButton");
    EXPECT_EQ(analyses, 2);
    EXPECT_EQ(ReadMeasurementCounter(), 6u) << "no new points, no increment";

    appState().PointsMeasured = 11;
    Click("AnalyzeButton");
    EXPECT_EQ(ReadMeasurementCounter(), 6u) << "eleven are not enough";
}

TEST_F(MeasurementWindow, OffLineButtonsSaySoAndSaveClearQuitStillWork)
{
    int opened = 0;
    const auto count = [&](QWidget*) { ++opened; };
    measurementHooks() = {count, count, count, count, count};
    for (int p = 1; p <= PointCount; ++p)
        appState().CurrentMeasurement.Raw[p] = 50;
    Open();
    sim_->Unplug();
    Settle();

    for (const char* b : {"AnalyzeButton", "RecallButton", "ManualButton", "CompareButton"}) {
        ScriptedMessages messages;
        Click(b);
        ASSERT_EQ(messages.asked().size(), 1) << b;
        EXPECT_EQ(messages.asked()[0].Kind, 6) << b;
    }
    EXPECT_EQ(opened, 0);
    Click("SaveButton");
    EXPECT_EQ(opened, 1);

    ScriptedMessages clear;
    clear.Answer(true);
    appState().CurrentPatient.Number = QStringLiteral("17");
    Click("ClearButton");
    ASSERT_EQ(clear.asked().size(), 1);
    EXPECT_EQ(clear.asked()[0].Text, QStringLiteral("Are you sure you want to clear the table values?\r\n"
                                                    "This action will not affect saved measurements."));
    EXPECT_EQ(appState().CurrentMeasurement.Raw[1], 0.0);
    EXPECT_TRUE(appState().CurrentPatient.Number.isEmpty());
    EXPECT_FALSE(Button("SaveButton")->isEnabled());

    Click("QuitButton");
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MeasurementWindow, ClosingKeepsThePotentialAndWritesTheSettings)
{
    Open();
    Choose("RzMenuButton2", 2);
    Choose("RzMenuButton1", 3);
    Find<QSlider>("RzTrackBar1")->setValue(25);
    EXPECT_EQ(Find<QSpinBox>("UpDown1")->value(), 25);
    Find<QSpinBox>("UpDown1")->setValue(7);
    EXPECT_EQ(Find<QSlider>("RzTrackBar1")->value(), 7);
    Click("QuitButton");

    EXPECT_TRUE(appState().CurrentMeasurement.HighPotential);
    Settings written;
    ASSERT_TRUE(ReadSettingsFile(SettingsPath(), written).Ok);
    EXPECT_DOUBLE_EQ(written.Sensitivity, 0.7);
    EXPECT_EQ(written.SoundMode, 0);
}

TEST(MeasureEntry, MainWindowOpensTheMeasurementWindow)
{
    TempDataFolder folder;
    qern::test::VirtualTime time;
    SimulationOptions options;
    options.AutomaticPatient = false;
    SimulatedInstrument sim(options);
    InstrumentLink link(sim);
    InstallInstrumentHooks(link);
    InstallMeasurementWindow();
    TZeForm form;
    form.resize(1400, 800);
    form.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(appState().InstrumentOnline);

    QString caption;
    QTimer::singleShot(0, [&] {
        if (auto* window = qobject_cast<TZedec*>(QApplication::activeModalWidget())) {
            caption = window->windowTitle();
            window->close();
        }
    });
    QTest::mouseClick(form.findChild<QToolButton*>(QStringLiteral("ToolButton1")), Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("Meridian Measurement"));
    EXPECT_TRUE(form.findChild<QToolButton*>(QStringLiteral("ToolButton1"))->isEnabled());
}

// A child window (save, recall, analysis) hides the measurement window while
// it is open; the measurement window must come back and stay until closed.
TEST(MeasureEntry, TheWindowStaysOpenAfterAChildWindow)
{
    TempDataFolder folder;
    qern::test::VirtualTime time;
    SimulationOptions options;
    options.AutomaticPatient = false;
    SimulatedInstrument sim(options);
    InstrumentLink link(sim);
    InstallInstrumentHooks(link);
    InstallMeasurementWindow();
    resetMeasurementHooks();
    int saves = 0;
    bool hiddenDuringChild = false;
    measurementHooks().Save = [&](QWidget* parent) {
        ++saves;
        hiddenDuringChild = !parent->isVisible();
    };
    TZeForm form;
    appState().CurrentMeasurement.Raw[1] = 50; // something to save
    form.show();
    QCoreApplication::processEvents();

    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<TZedec*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("SaveButton")), Qt::LeftButton);
        QTimer::singleShot(0, [&] {
            auto* after = qobject_cast<TZedec*>(QApplication::activeModalWidget());
            stillOpen = after != nullptr && after->isVisible();
            if (after)
                after->close();
        });
    });
    QTest::mouseClick(form.findChild<QToolButton*>(QStringLiteral("ToolButton1")), Qt::LeftButton);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(hiddenDuringChild);
    EXPECT_TRUE(stillOpen);
    resetMeasurementHooks();
}

} // namespace
