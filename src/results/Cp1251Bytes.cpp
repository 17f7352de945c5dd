#include "results/Cp1251Bytes.h"

#include "core/Cp1251.h"

QByteArray ToCp1251Bytes(const QString &text)
{
    const std::string bytes = Utf8ToCp1251(text.toStdString());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
