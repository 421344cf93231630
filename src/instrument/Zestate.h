#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qern {

class TLed;

// What the status check shows for the instrument found at start-up.
struct InstrumentStatus {
    bool Online = false;
    QString Serial;    // "Serial Num:"
    QString Hardware;  // "Hardware Ver:"
    QString ErrorText; // empty when on line
};
// held: an instrument is checked out; the rest as read at its arrival.
InstrumentStatus EvaluateInstrumentStatus(bool held, const QString& hardwareVersion, const QString& identity);

inline const QString UsbConnectionErrorText =
    QStringLiteral("USB connection error\uFF01Please check your USB interface cable.");
inline const QString CannotFindText =
    QStringLiteral("Cannot find Q.E.R.N. Please check your USB interface cable and power status.");

// The start-up status check: 1.5 s of progress and lamps, the instrument's
// identity, one lamp test on the instrument. On line it runs the database
// start-up check and closes; otherwise it shows why and waits for "Exit".
class TZeStatu : public QDialog {
    Q_OBJECT
public:
    static constexpr quint32 CheckMs = 1500;
    static constexpr quint32 FadeMs = 400;

    explicit TZeStatu(QWidget* parent = nullptr);

    // What the database start-up check shows while it runs in this window.
    void SetStepLamp(int lamp, const QColor& colour, bool on); // 1..7
    void SetProgress(int percent);
    void SetStatusText(const QString& text);
    void SetFirstLabel(const QString& text);

public Q_SLOTS:
    void done(int result) override;
    // Only "Exit" (or Escape once it shows) closes a failed check; nothing
    // closes a check in progress.
    void reject() override;
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormActivate();

    bool activated_ = false;
    bool closing_ = false;
    QLabel* StaticText6;
    QLabel* StaticText7;
    QLabel* StatusBar1;
    QLabel* Label1; // "USB Status:"
    QProgressBar* ProgressBar1;
    TLed* ALed1;
    TLed* hhALed[7];
    QPushButton* BitBtn1;
};

} // namespace qern
