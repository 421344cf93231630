#include "ZeMsg.h"

#include "Clock.h"
#include "Icons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace qern {

namespace {

MessageHandler g_handler;

int normalisedKind(int kind) { return kind >= 1 && kind <= 6 ? kind : 4; }

MessageIconKind iconOf(int kind)
{
    switch ((kind - 1) % 3) {
    case 0:
        return MessageIconKind::Information;
    case 1:
        return MessageIconKind::Caution;
    default:
        return MessageIconKind::Important;
    }
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumSize(88, 30);
    button->hide();
    return button;
}

} // namespace

bool ShowMessageBox(int kind, const QString& text)
{
    if (g_handler)
        return g_handler(kind, text);
    TZeMsag box(QApplication::activeWindow());
    return box.Ask(kind, text);
}

void setMessageHandler(MessageHandler handler) { g_handler = std::move(handler); }

TZeMsag::TZeMsag(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ZeMsag"));
    setFixedSize(385, 200);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(64, 64);
    Image1->hide();

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
    Memo1->viewport()->setAutoFillBackground(false);
    Memo1->setStyleSheet(QStringLiteral("QTextEdit { background: transparent; color: #800000; }"));
    QFont font = Memo1->font();
    font.setPointSize(11);
    Memo1->setFont(font);

    YesButton = makeButton(QStringLiteral("YesButton"), QStringLiteral("YES"), this);
    NoButton = makeButton(QStringLiteral("NoButton"), QStringLiteral("NO"), this);
    OkButton = makeButton(QStringLiteral("OkButton"), QStringLiteral("OK"), this);
    connect(YesButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(NoButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* body = new QHBoxLayout;
    body->addWidget(Image1, 0, Qt::AlignTop);
    body->addSpacing(8);
    body->addWidget(Memo1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(YesButton);
    buttons->addWidget(NoButton);
    buttons->addWidget(OkButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

QString TZeMsag::CaptionOf(int kind)
{
    switch ((normalisedKind(kind) - 1) % 3) {
    case 0:
        return QStringLiteral("Information");
    case 1:
        return QStringLiteral("Caution");
    default:
        return QStringLiteral("Important");
    }
}

bool TZeMsag::IsQuestion(int kind) { return normalisedKind(kind) <= 3; }

bool TZeMsag::Ask(int kind, const QString& text)
{
    kind_ = normalisedKind(kind);
    text_ = text;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}

void TZeMsag::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TZeMsag::FormShow()
{
    closing_ = false;
    setWindowOpacity(1.0);
    setResult(QDialog::Rejected);
    Memo1->clear();
    Memo1->setPlainText(text_);
    Memo1->selectAll();
    Memo1->setAlignment(Qt::AlignCenter);
    Memo1->moveCursor(QTextCursor::Start);

    setWindowTitle(CaptionOf(kind_));
    Image1->setPixmap(MessageIcon(iconOf(kind_)));
    Image1->show();
    const bool question = IsQuestion(kind_);
    YesButton->setVisible(question);
    NoButton->setVisible(question);
    OkButton->setVisible(!question);
    QPushButton* first = question ? YesButton : OkButton;
    first->setDefault(true);
    first->setFocus(Qt::OtherFocusReason);
    Timer1->start();
}

// Every way of closing ends here: fade out, then hide the pictures and buttons
// again for the next use.
void TZeMsag::done(int result)
{
    if (closing_)
        return;
    closing_ = true;
    Timer1->stop();
    const quint32 start = clock().ticks();
    for (quint32 e = 0; e < FadeMs; e = elapsed(start, clock().ticks())) {
        setWindowOpacity(std::round((FadeMs - e) / double(FadeMs) * 255.0) / 255.0);
        pumpEvents();
    }
    setWindowOpacity(0.0);
    QDialog::done(result);
    Image1->hide();
    YesButton->hide();
    NoButton->hide();
    OkButton->hide();
}

} // namespace qern
