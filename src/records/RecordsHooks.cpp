#include "RecordsHooks.h"

#include "Database.h"
#include "StartupCheck.h"

#include "instrument/Zestate.h"
#include "shell/AppState.h"
#include "shell/Led.h"
#include "shell/ShellHooks.h"

#include <QCoreApplication>

namespace qern {

namespace {

// The status window as the start-up check's display.
class StatusWindowDisplay final : public StartupDisplay {
public:
    explicit StatusWindowDisplay(TZeStatu* window) : window_(window) {}

    void SetLamp(int lamp, Lamp state) override
    {
        if (window_)
            window_->SetStepLamp(lamp, state == Lamp::Green ? TLed::Green : TLed::Yellow, state != Lamp::Dark);
        QCoreApplication::processEvents();
    }
    void SetProgress(int percent) override
    {
        if (window_)
            window_->SetProgress(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void SetStatusText(const QString& text) override
    {
        if (window_)
            window_->SetStatusText(text);
    }
    void SetFirstLabel(const QString& text) override
    {
        if (window_)
            window_->SetFirstLabel(text);
    }

private:
    TZeStatu* window_;
};

} // namespace

void InstallRecordsHooks()
{
    ShellHooks& hooks = shellHooks();
    hooks.RunDatabaseStartupCheck = [](QWidget* statusWindow) {
        StatusWindowDisplay display(qobject_cast<TZeStatu*>(statusWindow));
        RunStartupCheck(appState().InstallFolder, display);
    };
    hooks.CloseDatabases = [] { CloseAllDatabases(); };
}

} // namespace qern
