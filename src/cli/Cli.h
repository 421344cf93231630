#pragma once

#include <QStringList>
#include <QTextStream>

namespace qern::cli {

// Exit statuses shared by every subcommand.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

struct Streams {
    QTextStream& out;
    QTextStream& err;
};

// Each subcommand gets the arguments after its own name.
int RunCipher(const QStringList& args, Streams io);
int RunSettings(const QStringList& args, Streams io);
int RunInstrument(const QStringList& args, Streams io);
int RunAnalyse(const QStringList& args, Streams io);
int RunDb(const QStringList& args, Streams io);
int RunDiagram(const QStringList& args, Streams io);
int RunReference(const QStringList& args, Streams io);

// Prints the usage text to stderr and returns ExitUsage.
int Usage(Streams io, const QString& problem = {});

// Options several subcommands share. TakeFlag removes a flag from args and
// says whether it was there. TakeDataDir removes "--data-dir DIR" and gives the
// folder in the form the program keeps it (the per-user folder when absent);
// it fails only when the option lacks its folder.
bool TakeFlag(QStringList& args, const QString& flag);
bool TakeDataDir(QStringList& args, QString& folder);

} // namespace qern::cli
