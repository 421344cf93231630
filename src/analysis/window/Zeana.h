#pragma once

#include "AnalysisRecords.h"
#include "PrintOptions.h"

#include "analysis/Analysis.h"
#include "analysis/Findings.h"
#include "analysis/ProtocolMatching.h"

#include <QDialog>

#include <optional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class QTableWidget;
class QToolButton;

namespace qern {

class TLed;
class THistoryModel;
class TChartArea;

// The analysis window: the analysis of the measurement in hand or of a
// complete stored measurement of the patient, on eight pages (energy report,
// charts, findings and advice, the user's protocols, notes, print options).
class TZeany : public QDialog {
    Q_OBJECT
public:
    static constexpr int FormWidth = 992;
    static constexpr int FormHeight = 713;

    explicit TZeany(QWidget* parent = nullptr);
    ~TZeany() override;

    const AnalysedMeasurement& Analysed() const { return analysed_; }
    const AnalysisResult& Result() const { return result_; }
    bool NotesChanged() const { return notesChanged_; }
    bool ReferenceProtocolShown() const { return referenceProtocolShown_; }
    // The options as the print page's controls hold them now.
    PrintOptionSet PrintOptionsFromControls() const;

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Building the pages.
    QWidget* BuildEnergyPage();
    QWidget* BuildChartPage();
    QWidget* BuildFindingPage(int page);
    QWidget* BuildApplicationsPage();
    QWidget* BuildNotesPage();
    QWidget* BuildPrintPage();
    QTableView* BuildHistoryGrid(const QString& name, THistoryModel* model, QWidget* parent);

    // Opening, analysis and closing.
    void FormShow();
    void FormClose();
    void CentreOnMainWindow();
    void LoadHistory();
    void RunAnalysis();
    void ClearLists();
    void ShowValues();
    void ShowValueGrid();
    void ShowFigure();
    void MatchAllProtocols();
    void FirstPicks();

    // History and notes.
    void HistoryPick(int row);
    void SetHistoryCursor(int row);
    void SetUnfinished(bool unfinished);
    bool WriteNotesBack();
    void SetNotes(const QStringList& lines);
    void AppendToNotes(const QString& text);

    // Pages and the chart.
    void PageChange(int page);
    void PlaceReferenceList();
    void SetTherapyButtonsEnabled(bool enabled);
    void GroupButtonClick(int group);
    void ViewButtonClick(int view);
    void ApplyChartView();
    void DrawChart(class QPainter& painter);
    void ChartAreaClick();
    void RecallButtonClick();
    void PictureMissing(const QString& file);

    // Findings and protocols.
    QListWidget* FindingListWidget(FindingListKind kind) const;
    const FindingList& FindingListOf(FindingListKind kind) const;
    void ShowFinding(FindingListKind kind, int position);
    void EmptyFindingDetail(FindingListKind kind);
    void FindingPick(FindingListKind kind);
    void SelectSilently(QListWidget* list, int row);
    void ShowReferenceProtocol(int position);
    void TherapyButtonClick(QAbstractButton* button);
    void ShowUserProtocol(int position);
    void ClearUserProtocol();
    void FunctionKeyClick(int k);
    void AllClick(int page);
    void PasteClick(int page);
    void UpdatePaste(int page);

    // Print options.
    void LoadPrintOptions(const PrintOptionSet& options);
    void UpdatePrintDependencies();
    void MarginUpDownChange(double value);
    void MarginUnitChange(int index);
    void PrintButtonClick();
    void PrinterSetupClick();

    AnalysedMeasurement analysed_;
    AnalysisResult result_;
    FindingLists findings_;
    FindingList protocolTab_;
    QList<ProtocolRecord> userProtocols_;
    QList<ProtocolRecord> referenceProtocols_;
    QList<ProtocolRecord> userMatched_;
    QList<ProtocolRecord> referenceMatched_;
    std::optional<ReferenceProtocolView> referenceShown_;
    std::optional<UserProtocolView> userShown_;
    QList<HistoryRow> history_;
    int historyCursor_ = -1;
    bool notesChanged_ = false;
    bool loadingNotes_ = false;
    bool referenceProtocolShown_ = false;
    bool qualityView_ = false;
    bool historyGuard_ = false;
    bool propagating_ = false;
    bool pictureReported_ = false;
    bool shown_ = false;
    bool closed_ = false;
    double marginMm_ = DefaultMarginMm;
    MarginUnit marginUnit_ = MarginUnit::Cm;

    QTabWidget* PageControl1;
    QLabel* StatusPanel1;
    QLabel* StatusPanel2;
    QPushButton* ExitButton;

    // Energy report.
    QLabel* PatientNoText;
    QLabel* PatientNameText;
    QLabel* PatientDobText;
    QLabel* PatientTelText;
    QLabel* PotentialText;
    QLabel* HiPotentialLabel;
    QLabel* GenderText;
    QLabel* PatientAgeText;
    QLabel* MeasurementDateText;
    QLabel* MeasurementTimeText;
    QLabel* MeasurementAgeText;
    QLabel* ValueTitle;
    QToolButton* ValueToggle;
    QLabel* AvgText;
    QTableWidget* ValueGrid;
    QTableWidget* IndexGrid;
    QLabel* FigureCaption;
    QLabel* FigureValue;
    QComboBox* FigureSelector;
    TLed* EnergyLowLed;
    QLabel* GaugeLabel[5];
    QProgressBar* Gauge[5];
    QLabel* RatioText[5];
    QLabel* RatioValue[5];
    QLabel* RangeText[5];
    QLabel* Statement[5];
    THistoryModel* historyModel_;
    THistoryModel* historyModel2_;
    QTableView* HistoryGrid;
    QLabel* UnfinishedLabel;

    // Charts.
    QPushButton* GroupButton[5];
    QPushButton* ViewButton[3];
    QLabel* ChartTitle;
    TChartArea* ChartArea;
    TLed* ChartEnergyLowLed;
    QLabel* ChartEnergyLowLabel;
    QPushButton* RecallButton;
    QTableView* HistoryGrid2;
    QLabel* UnfinishedLabel2;

    // Findings.
    QListWidget* AnalysisList;
    QPlainTextEdit* DetailMemo;
    QPlainTextEdit* RyodorakuMemo;
    QListWidget* ProtocolTabList;
    QPlainTextEdit* ProtocolMemo;
    QListWidget* DietaryList;
    QPlainTextEdit* DietaryMemo;
    QWidget* ReferencePlaceholder[3];
    QListWidget* ReferenceProtocolList;
    QPushButton* AcupunctureButton;
    QPushButton* HerbsButton;
    QPushButton* MassageButton;
    QButtonGroup* therapyGroup_;
    QPushButton* AllButton[8] = {};
    QPushButton* PasteButton[8] = {};
    QList<QPlainTextEdit*> pageAreas_[8];

    // Applications.
    QListWidget* UserProtocolList;
    QPlainTextEdit* DescriptionMemo;
    QScrollArea* PictureFrame;
    QLabel* ProtocolPicture;
    QLabel* PictureModeLabel;
    QPushButton* FunctionKey[4];

    // Notes.
    QPlainTextEdit* NotesMemo;

    // Print options.
    QCheckBox* ReportHeaderCheck;
    QCheckBox* PatientDataCheck;
    QRadioButton* PatientDetailedRadio;
    QRadioButton* PatientSimpleRadio;
    QCheckBox* MeridianDataCheck;
    QCheckBox* CompensatedCheck;
    QCheckBox* BodyEnergyCheck;
    QCheckBox* MeridianAnalysisCheck;
    QCheckBox* RyodorakuAnalysisCheck;
    QCheckBox* ProtocolPointsCheck;
    QCheckBox* ProtocolHerbsCheck;
    QCheckBox* DietaryCheck;
    QCheckBox* ApplicationsCheck;
    QCheckBox* NotesCheck;
    QCheckBox* BalanceCheck;
    QCheckBox* EciCheck;
    QCheckBox* NervousCheck;
    QCheckBox* BarCheck;
    QCheckBox* SlopeCheck;
    QCheckBox* RyodorakuDiagramCheck;
    QCheckBox* YinYangCheck;
    QCheckBox* QiBloodCheck;
    QCheckBox* ElementsCheck;
    QRadioButton* FormatDetailedRadio;
    QRadioButton* FormatSimpleRadio;
    QRadioButton* ColorRadio;
    QRadioButton* MonochromeRadio;
    QRadioButton* NormalFontRadio;
    QRadioButton* SmallFontRadio;
    QCheckBox* FormFeedCheck;
    QRadioButton* FirstPageRadio;
    QRadioButton* EveryPageRadio;
    QDoubleSpinBox* MarginUpDown;
    QComboBox* MarginUnitList;
    QPushButton* PrinterSetupButton;
    QPushButton* PrintButton;
};

} // namespace qern
