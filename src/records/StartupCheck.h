#pragma once

#include "Database.h"

#include <QString>

#include <functional>

namespace qern {

// Where the start-up check shows its work: the status window's seven step
// lamps, progress bar, status bar and first label; or a terminal.
class StartupDisplay {
public:
    enum class Lamp { Dark, Lit, Green }; // dark and lit lamps are yellow
    virtual ~StartupDisplay() = default;
    virtual void SetLamp(int lamp, Lamp state) = 0; // 1..7
    virtual void SetProgress(int percent) = 0;
    virtual void SetStatusText(const QString& text) = 0;
    virtual void SetFirstLabel(const QString& text) = 0;
    // A step done, for a display that reports them one by one.
    virtual void Note(const QString&) {}
};

inline const QString NotInstalledText = QStringLiteral("QERN is not installed completely! Please reinstall.");
inline const QString StartupErrorText = QStringLiteral(
    "Q.E.R.N. start-up error! If you are using QERN under Windows 98 or NT 4.0, please exit and install Microsoft "
    "ADO Driver.");

struct TransferCounts {
    int Patients = 0;
    int Measurements = 0;
    int Protocols = 0;
    int Conditions = 0;
    int Total() const { return Patients + Measurements + Protocols + Conditions; }
};

struct StartupOutcome {
    bool Ok = true;           // the database is usable; false: the program must end
    bool Transferred = false; // an old database was taken over
    TransferCounts Counts;
    QString BackupFile;       // the old file's new name after a transfer
};

// The database start-up check of a data folder: file preparation (moves that
// never replace), the template copy, the three connections, and the transfer
// of a waiting old database with its dated backup and the latest measurement
// dates. Questions and errors go through ShowMessageBox; a start-up error
// clears InstrumentOnline. The connections stay open for the run.
StartupOutcome RunStartupCheck(const QString& folder, StartupDisplay& display);

// The transfer alone, from an open Old connection into an open Main one: one
// transaction on the new database, so that a failure leaves nothing behind.
DbResult TransferOldDatabase(StartupDisplay& display, TransferCounts& counts);

// Moves a file unless the target exists (then nothing happens).
bool MoveWithoutReplacing(const QString& from, const QString& to);

} // namespace qern
