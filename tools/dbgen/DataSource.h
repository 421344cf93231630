#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace qern::tools {

// One source file of shipped content. "@Name value" gives a field on one
// line; "@Name" alone starts a field whose text is the following lines, up to
// the next "@" line. A line "@@" stands for a line that begins with "@".
// Lines before the first field and lines starting with "#" there are
// comments. "@Condition" starts a condition record: its fields follow as
// "Name = value" lines until the next "@" line.
struct SourceFile {
    QString Path;
    QMap<QString, QString> Fields;
    QList<QMap<QString, QString>> Conditions;
};

// Reads every "*.txt" file of a folder, in file-name order.
QList<SourceFile> ReadSources(const QString& folder, QString* error);

} // namespace qern::tools
