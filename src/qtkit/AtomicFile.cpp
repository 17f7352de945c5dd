#include "qtkit/AtomicFile.h"

#include "core/ReplaceFile.h"

#include <QFile>

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const std::string problem =
        ReplaceFile(QFile::encodeName(path).toStdString(),
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!problem.empty() && error)
        *error = QString::fromStdString(problem);
    return problem.empty();
}
