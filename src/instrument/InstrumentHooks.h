#pragma once

namespace qern {

class InstrumentLink;

// Makes `link` the process-wide instrument link and plugs the instrument layer
// into the shell: the device-change handler, the status check, sounds and
// commands of the main window.
void InstallInstrumentHooks(InstrumentLink& link);

} // namespace qern
