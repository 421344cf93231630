#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace qern {

// The platform side of LaunchExternal, replaceable so that tests can stand in
// for drives and for the desktop.
struct LaunchPlatform {
    std::function<bool(const QString& path)> FileExists;
    // Starts `program` detached, with `parameter` as its command line.
    std::function<void(const QString& program, const QString& parameter)> StartProgram;
    // Opens a document or web address with the desktop's default handler.
    std::function<void(const QString& target)> OpenDocument;
};

LaunchPlatform& launchPlatform();
void resetLaunchPlatform();

// A text with ":" at character position 2 or 3 names a drive: when no file of
// that name exists, the drive letter is replaced by C..Q in turn until one
// does. Returns the text that exists (or the text unchanged when it names no
// drive or exists as written); nullopt when no drive has it.
std::optional<QString> SearchDrives(const QString& text, const std::function<bool(const QString&)>& exists);

// Starts a program, or with an empty program opens the parameter as a document
// or web address. Nothing is reported when the program exists on no drive or
// the desktop fails to start it.
void LaunchExternal(const QString& program, const QString& parameter);

} // namespace qern
