#include "RecordWindows.h"

#include "Zered.h"
#include "Zesvdt.h"

#include "measurement/MeasurementHooks.h"
#include "shell/ShellHooks.h"
#include "shell/ZeMsg.h"
#include "shell/Modal.h"

namespace qern {

RecordHooks& recordHooks()
{
    static RecordHooks hooks;
    return hooks;
}

void resetRecordHooks() { recordHooks() = RecordHooks{}; }

Patient& SaveSelection()
{
    static Patient selection;
    return selection;
}

void ResetRecordWindowState() { SaveSelection() = Patient{}; }

void OpenSaveWindow(QWidget* parent)
{
    TZesvdt window(parent);
    RunModal(window);
}

void OpenRecallWindow(QWidget* parent)
{
    TZered window(parent);
    RunModal(window);
}

void InstallRecordWindows()
{
    measurementHooks().Save = OpenSaveWindow;
    measurementHooks().Recall = OpenRecallWindow;
    shellHooks().WorkWindows[WorkWindow::Recall] = OpenRecallWindow;
}

void ShowDatabaseError(const DbResult& result)
{
    if (!result.Ok)
        ShowMessageBox(6, result.Error);
}

} // namespace qern
