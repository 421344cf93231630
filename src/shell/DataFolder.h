#pragma once

#include <QString>
#include <QStringList>

namespace qern {

// The per-user data folder used when none is chosen on the command line.
QString DefaultDataFolder();
// The folder of the shipped files: share/qern beside the program's bin folder,
// in the build tree as in an installed tree.
QString ShareFolder();
// Absolute form with a trailing "/", the form InstallFolder is kept in.
QString FolderPath(const QString& folder);
// The picture folder inside a data folder.
QString PictureFolder(const QString& installFolder);

struct ProvisionResult {
    QStringList Copied; // relative paths of the files copied
    QString Error;      // empty on success
};

// Makes `dataFolder` a complete installation: creates it if need be and copies
// every shipped file missing from it. Files already there are never touched,
// so the practitioner's records survive; a copy is made under a temporary name,
// checked and renamed, so an interrupted start or a full disk never leaves a
// half file that would later count as present.
ProvisionResult ProvisionDataFolder(const QString& shareFolder, const QString& dataFolder);

} // namespace qern
