#pragma once

#include <QByteArray>
#include <QString>

// The text as single-byte Windows-1251 bytes, as it goes into files.
QByteArray ToCp1251Bytes(const QString &text);
