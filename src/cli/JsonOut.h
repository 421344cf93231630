#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>

#include <cmath>

namespace qern::cli {

// Pieces of JSON text, for output whose keys keep a fixed order.
inline QString JsonText(const QJsonValue& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Full double precision; JSON has no infinities.
inline QString JsonNumber(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 17) : QStringLiteral("null");
}

} // namespace qern::cli
