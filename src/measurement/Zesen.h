#pragma once

#include "MeasuringRun.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace qern {

class TLed;
class TTrendGraph;

// The measurement window: the 24 values (or their quality) of the current
// measurement, the point guide, the live read-outs and trend of the point
// being measured, the patient block, and the way to analysis, saving, recall,
// manual entry and comparison.
class TZedec : public QDialog, private MeasuringDisplay {
    Q_OBJECT
public:
    explicit TZedec(QWidget* parent = nullptr);
    ~TZedec() override;

    MeasuringRun& Run() { return run_; }
    bool QualityView() const { return qualityView_; }
    // Redraws the grid from CurrentMeasurement in the active view.
    void RefreshGrid();

public Q_SLOTS:
    void StartButtonClick();
    void StopButtonClick();
    void AnalyzeButtonClick();
    void SaveButtonClick();
    void RecallButtonClick();
    void ManualButtonClick();
    void CompareButtonClick();
    void ClearButtonClick();
    void QuitButtonClick();
    void RzToolButton1Click(); // values / quality view
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // MeasuringDisplay
    void ValuesView(bool toggleEnabled) override;
    void ValuesCleared() override;
    void RunStarted() override;
    void RunEnded(bool allPointsMeasured, bool measuredSomething) override;
    void ShowPointGuide(int position) override;
    void ShowAverage(double average) override;
    void ShowStatusText(const QString& text) override;
    void ShowStatusLamp(Lamp lamp, int blinkMs) override;
    void ResetLiveDisplays(double totalSeconds) override;
    void ShowReading(double microamps, double compensated) override;
    void ShowProgress(int percent, double remainingSeconds) override;
    void ShowSampleCount(int count) override;
    void ShowQuality(double quality, QualityColour colour) override;
    void ClearTrend() override;
    void AddTrendPoint(quint32 elapsedMs, double deviationMicroamps) override;
    void ShowPointResult(int position) override;
    void ShowCountdown(const QString& text) override;
    void SetGridEnabled(bool enabled) override;

    void FormShow();
    void BuildGrid();
    void BuildSelectors();
    void ShowPatientBlock();
    void ShowMeasuredAt();
    void LoadPicture();
    void SetPotential(bool high);
    void SetSound(int mode);
    void SetPictureStyle(int style);
    void SetSex(bool male);
    void SetSensitivityPosition(int position);
    void ClearValues();
    void ClearPointGuide();
    void ResetReadouts();
    void EnableIdleButtons();
    bool OnlineGuard();
    // Hides this window while `open` shows a child window, then shows it again.
    void OpenChild(const std::function<void(QWidget*)>& open);
    void GridCellClicked(int row, int column);
    // Fast read-outs are drawn at most every 20 ms: a fast instrument must not
    // wait for the screen.
    void FlushLive(bool force);

    MeasuringRun run_;
    bool qualityView_ = false;
    int guidePosition_ = 0; // position shown in the point guide, 0 for none

    struct Live {
        std::optional<std::pair<double, double>> reading;
        std::optional<std::pair<int, double>> progress;
        std::optional<int> samples;
        std::optional<std::pair<double, QualityColour>> quality;
        std::optional<QString> countdown;
        bool trend = false;
    } live_;
    QElapsedTimer liveClock_;

    QTableWidget* AdvStringGrid1;
    QLabel* StaticText25;
    QToolButton* RzToolButton1;
    QLabel* AvgText;
    QLabel* Image1;
    QLabel* PictureLabel1;
    QLabel* PictureLabel2;
    QLabel* LocationText;
    QLabel* MeridianNameText;
    QLabel* PointNameText;
    QProgressBar* ProgressBar1;
    QLabel* RemainingText;
    QLabel* ValueText;
    QProgressBar* ValueBar;
    QLabel* CompensatedText;
    QProgressBar* CompensatedBar;
    QLabel* QualityText;
    QProgressBar* QualityBar;
    QLabel* SampleCountText;
    QLabel* CountdownText;
    TLed* StatusLed;
    TTrendGraph* PaintBox1;
    QLabel* PatientNoText;
    QLabel* PatientNameText;
    QLabel* PatientTelText;
    QLabel* PatientDobText;
    QLabel* PatientAgeText;
    QToolButton* RzMenuButton7; // sex
    QLabel* MeasurementDateText;
    QLabel* MeasurementTimeText;
    QLabel* MeasurementAgeText;
    QToolButton* RzMenuButton2; // potential
    QToolButton* RzMenuButton1; // sound
    QToolButton* RzMenuButton3; // picture
    QSpinBox* UpDown1;
    QSlider* RzTrackBar1;
    QPushButton* StartButton;
    QPushButton* StopButton;
    QPushButton* AnalyzeButton;
    QPushButton* SaveButton;
    QPushButton* RecallButton;
    QPushButton* ManualButton;
    QPushButton* CompareButton;
    QPushButton* ClearButton;
    QPushButton* QuitButton;
    QLabel* StatusBar1;
};

} // namespace qern
