#include "DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace qern {

QString DefaultDataFolder()
{
    return FolderPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString ShareFolder()
{
    return FolderPath(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(QERN_SHARE_RELATIVE)));
}

QString FolderPath(const QString& folder)
{
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString PictureFolder(const QString& installFolder) { return installFolder + QStringLiteral("Data/"); }

ProvisionResult ProvisionDataFolder(const QString& shareFolder, const QString& dataFolder)
{
    ProvisionResult result;
    const QDir target(dataFolder);
    if (!QDir().mkpath(target.absolutePath())) {
        result.Error = QStringLiteral("The data folder %1 cannot be created.").arg(QDir::toNativeSeparators(dataFolder));
        return result;
    }

    const QDir source(shareFolder);
    if (!source.exists())
        return result;

    QDirIterator it(source.absolutePath(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString relative = source.relativeFilePath(from);
        const QString to = target.filePath(relative);
        if (QFileInfo::exists(to))
            continue;

        const QString partial = to + QStringLiteral(".part");
        QFile::remove(partial);
        const bool copied = QDir().mkpath(QFileInfo(to).absolutePath()) && QFile::copy(from, partial) &&
                            QFileInfo(partial).size() == QFileInfo(from).size() &&
                            QFile::setPermissions(partial, QFile::permissions(partial) | QFileDevice::WriteOwner |
                                                               QFileDevice::ReadOwner) &&
                            QFile::rename(partial, to);
        if (!copied) {
            QFile::remove(partial);
            result.Error = QStringLiteral("The file %1 cannot be copied into the data folder %2.")
                               .arg(relative, QDir::toNativeSeparators(dataFolder));
            return result;
        }
        result.Copied.append(relative);
    }
    return result;
}

} // namespace qern
