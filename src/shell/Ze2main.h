#pragma once

#include "ShellHooks.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace qern {

// The main window: process-wide start-up, the toolbar and menus that open the
// work windows while the instrument is on line, the user links, the tray icon
// and the orderly exit.
class TZeForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TZeForm(QWidget* parent = nullptr);
    ~TZeForm() override;

    // Measure, Data Recall, Reference, Therapy Setup, DCS Calibrate,
    // Import/Export, Quit and Fn1..Fn6 together.
    void SetToolbarEnabled(bool enabled);
    // Fn button visibility from LinkFlags, hints from LinkDescription.
    void ApplyUserLinks();
    // The first activation runs the instrument status check; later ones do nothing.
    void FormActivate();

public Q_SLOTS:
    void ToolButton1Click(); // Measure
    void ToolButton3Click(); // Data Recall
    void ToolButton4Click(); // Reference
    void ToolButton5Click(); // Therapy Setup
    void ToolButton7Click(); // DCS Calibrate
    void ToolButton8Click(); // Import/Export
    void w1Click();          // User Setup
    void i1Click();          // About
    void FnButtonClick(int k);
    void ToolButton9Click(); // Quit
    void StaticText3Click(); // web address

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void BuildToolbar();
    void BuildMenus();
    void BuildPanels();
    void SetMenusVisible(bool visible);
    bool InstrumentGuard();
    void OpenWorkWindow(WorkWindow window);

    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton8 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QToolButton* FnButtons[6] = {};
    QAction* FnActions[6] = {};
    QList<QMenu*> HiddenMenus;
    QLabel* StaticText2 = nullptr;
    QLabel* StaticText3 = nullptr;
    QLabel* UserCaptionLabel = nullptr;
    QString StartupProblem;
};

} // namespace qern
