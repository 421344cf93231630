#include "shell/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qern;

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DataFolder, FirstStartCopiesShippedFilesAndLaterStartsKeepTheUsersOwn)
{
    QTemporaryDir share;
    QTemporaryDir home;
    writeFile(share.filePath("ZeSpa_60.mdb"), "template");
    writeFile(share.filePath("Data/PLh1.bmp"), "picture");
    QFile::setPermissions(share.filePath("ZeSpa_60.mdb"), QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString data = FolderPath(home.filePath("nested/qern"));

    ProvisionResult first = ProvisionDataFolder(share.path(), data);
    EXPECT_TRUE(first.Error.isEmpty()) << first.Error.toStdString();
    first.Copied.sort();
    EXPECT_EQ(first.Copied, (QStringList{"Data/PLh1.bmp", "ZeSpa_60.mdb"}));
    EXPECT_EQ(readFile(data + "Data/PLh1.bmp"), "picture");
    EXPECT_TRUE(QFileInfo(data + "ZeSpa_60.mdb").permissions() & QFileDevice::WriteOwner)
        << "the user's copy can be changed";

    writeFile(data + "Data/PLh1.bmp", "the user's own picture");
    QFile::remove(data + "ZeSpa_60.mdb");
    const ProvisionResult second = ProvisionDataFolder(share.path(), data);
    EXPECT_EQ(second.Copied, QStringList{"ZeSpa_60.mdb"});
    EXPECT_EQ(readFile(data + "Data/PLh1.bmp"), "the user's own picture");
    EXPECT_TRUE(QDir(data).entryList({"*.part"}, QDir::Files).isEmpty());
}

TEST(DataFolder, MissingShareFolderStillGivesAnEmptyDataFolder)
{
    QTemporaryDir home;
    const QString data = FolderPath(home.filePath("fresh"));
    const ProvisionResult result = ProvisionDataFolder(home.filePath("no-share"), data);
    EXPECT_TRUE(result.Error.isEmpty());
    EXPECT_TRUE(QFileInfo(data).isDir());
    EXPECT_TRUE(data.endsWith('/'));
}

TEST(DataFolder, UncreatableFolderIsReported)
{
    QTemporaryDir home;
    writeFile(home.filePath("plainfile"), "x");
    const ProvisionResult result = ProvisionDataFolder(home.path(), home.filePath("plainfile/sub"));
    EXPECT_FALSE(result.Error.isEmpty());
}

} // namespace
