#include "InstrumentHooks.h"

#include "InstrumentLink.h"
#include "Protocol.h"
#include "Zestate.h"

#include "shell/ShellHooks.h"

namespace qern {

void InstallInstrumentHooks(InstrumentLink& link)
{
    SetInstrumentLink(&link);
    ShellHooks& hooks = shellHooks();
    hooks.InstallDeviceChangeHandler = [&link] { link.InstallDeviceChangeHandler(); };
    hooks.RunStatusCheck = [](QWidget* parent) {
        TZeStatu status(parent);
        status.exec();
    };
    hooks.PlaySound = [](int sound) { PlaySound(sound); };
    hooks.SendCommand = [](const QString& command) { SendCommand(command); };
}

} // namespace qern
