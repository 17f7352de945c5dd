#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes through a temporary file in the target folder that is
// synced and renamed into place; an existing file is replaced only when all
// went well. On failure returns false with a reason and leaves no temporary.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
