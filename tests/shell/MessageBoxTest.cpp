#include "support/TestSupport.h"

#include "shell/ZeMsg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qern;
using qern::test::VirtualTime;

namespace {

struct Seen {
    QString caption;
    QStringList buttons; // visible, in order
    QString focused;
    QString text;
    QColor textColour;
    Qt::Alignment alignment;
    bool iconShown = false;
};

// Opens the box for `kind`, records what it shows, then closes it with `close`.
std::pair<bool, Seen> ask(int kind, const QString& text, const std::function<void(TZeMsag&)>& close)
{
    VirtualTime time;
    TZeMsag box;
    Seen seen;
    QTimer::singleShot(0, &box, [&] {
        seen.caption = box.windowTitle();
        for (const char* name : {"YesButton", "NoButton", "OkButton"}) {
            auto* b = box.findChild<QPushButton*>(QLatin1String(name));
            if (b->isVisible())
                seen.buttons.append(b->text());
        }
        if (QWidget* f = box.focusWidget())
            seen.focused = f->objectName();
        auto* memo = box.findChild<QTextEdit*>(QStringLiteral("Memo1"));
        seen.text = memo->toPlainText();
        seen.textColour = memo->palette().color(QPalette::Text);
        seen.alignment = memo->alignment();
        auto* icon = box.findChild<QLabel*>(QStringLiteral("Image1"));
        seen.iconShown = icon->isVisible() && !icon->pixmap().isNull() && icon->pixmap().width() == 64;
        close(box);
    });
    const bool answer = box.Ask(kind, text);
    return {answer, seen};
}

void click(TZeMsag& box, const char* name)
{
    QTest::mouseClick(box.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

TEST(MessageBox, KindsCaptionsButtonsAndFocus)
{
    struct Case {
        int kind;
        const char* caption;
        QStringList buttons;
        const char* first;
    };
    const Case cases[] = {
        {1, "Information", {"YES", "NO"}, "YesButton"}, {2, "Caution", {"YES", "NO"}, "YesButton"},
        {3, "Important", {"YES", "NO"}, "YesButton"},   {4, "Information", {"OK"}, "OkButton"},
        {5, "Caution", {"OK"}, "OkButton"},             {6, "Important", {"OK"}, "OkButton"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto [answer, seen] = ask(c.kind, QStringLiteral("Line one\nLine two"),
                                        [&](TZeMsag& box) { click(box, c.first); });
        EXPECT_TRUE(answer);
        EXPECT_EQ(seen.caption, QLatin1String(c.caption));
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.focused, QLatin1String(c.first));
        EXPECT_EQ(seen.text, QStringLiteral("Line one\nLine two"));
        EXPECT_EQ(seen.textColour, QColor(128, 0, 0));
        EXPECT_TRUE(seen.alignment & Qt::AlignHCenter);
        EXPECT_TRUE(seen.iconShown);
    }
}

TEST(MessageBox, EveryWayButYesOrOkAnswersNo)
{
    const std::pair<const char*, std::function<void(TZeMsag&)>> ways[] = {
        {"NO button", [](TZeMsag& box) { click(box, "NoButton"); }},
        {"close button", [](TZeMsag& box) { box.close(); }},
        {"Escape", [](TZeMsag& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
    };
    for (const auto& [name, way] : ways) {
        EXPECT_FALSE(ask(2, QStringLiteral("Delete? [ 17 ]"), way).first) << name;
    }
    EXPECT_TRUE(ask(1, QStringLiteral("Go on?"), [](TZeMsag& box) {
                    QTest::keyClick(box.focusWidget(), Qt::Key_Space);
                }).first)
        << "the focused first button answers yes";
}

TEST(MessageBox, FadesOutOverThreeHundredMilliseconds)
{
    VirtualTime time;
    TZeMsag box;
    QList<std::pair<quint32, double>> opacities;
    QTimer::singleShot(0, &box, [&] {
        const quint32 start = time.Clock().ticks();
        auto* probe = new QTimer(&box);
        QObject::connect(probe, &QTimer::timeout, &box, [&, start] {
            opacities.append({time.Clock().ticks() - start, box.windowOpacity()});
        });
        probe->start(0);
        click(box, "OkButton");
    });
    box.Ask(4, QStringLiteral("Saved."));

    ASSERT_GT(opacities.size(), 100);
    EXPECT_NEAR(opacities.first().second, 1.0, 0.02);
    EXPECT_NEAR(opacities[opacities.size() / 2].second, 0.5, 0.05);
    EXPECT_GE(opacities.last().first, quint32(TZeMsag::FadeMs - 2));
    for (qsizetype i = 1; i < opacities.size(); ++i)
        EXPECT_LE(opacities[i].second, opacities[i - 1].second + 1e-9);
    EXPECT_EQ(box.windowOpacity(), 0.0);
}

TEST(MessageBox, QuestionsGoThroughTheReplaceableHandler)
{
    QList<std::pair<int, QString>> asked;
    setMessageHandler([&](int kind, const QString& text) {
        asked.append({kind, text});
        return kind == 1;
    });
    EXPECT_TRUE(ShowMessageBox(1, QStringLiteral("first")));
    EXPECT_FALSE(ShowMessageBox(3, QStringLiteral("second")));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1], std::make_pair(3, QStringLiteral("second")));
}

} // namespace
