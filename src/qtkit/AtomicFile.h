#pragma once

#include <QByteArray>
#include <QString>

// The core's atomic writer for a Qt path: the old file stays byte for byte
// unless the whole new one is in place. On failure returns false with the
// reason in Russian.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
