#pragma once

#include <QIcon>
#include <QPixmap>

namespace qern {

// The program's pictures, drawn in code so that nothing binary is shipped.
QIcon AppIcon();
QIcon OnlineIcon();
QIcon OfflineIcon();

enum class MessageIconKind { Information, Caution, Important };
QPixmap MessageIcon(MessageIconKind kind, int size = 64);

enum class ToolIconKind { Measure, Recall, Reference, TherapySetup, Calibrate, ImportExport, UserLink, Quit };
QIcon ToolIcon(ToolIconKind kind);

} // namespace qern
