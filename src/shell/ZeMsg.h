#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

namespace qern {

// Asks or notifies through the system's own message box. Kinds 1..3 ask (YES,
// NO), 4..6 notify (OK); 1 and 4 "Information", 2 and 5 "Caution", 3 and 6
// "Important". Returns true for YES or OK, false for NO or any other way of
// closing the box.
bool ShowMessageBox(int kind, const QString& text);

// Every question goes through one handler; tests install one that answers
// from a script. An empty handler restores the message box.
using MessageHandler = std::function<bool(int kind, const QString& text)>;
void setMessageHandler(MessageHandler handler);

class TZeMsag : public QDialog {
    Q_OBJECT
public:
    static constexpr int FadeMs = 300;

    explicit TZeMsag(QWidget* parent = nullptr);

    // Shows the box modally and waits for the answer.
    bool Ask(int kind, const QString& text);

    static QString CaptionOf(int kind);
    static bool IsQuestion(int kind);

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    int kind_ = 4;
    QString text_;
    bool closing_ = false;
    QLabel* Image1;
    QTextEdit* Memo1;
    QPushButton* YesButton;
    QPushButton* NoButton;
    QPushButton* OkButton;
    QTimer* Timer1;
};

} // namespace qern
