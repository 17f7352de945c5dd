#include "results/SessionRest.h"

#include <QDir>

QString ReadRestOf(SessionDetailCache &details, TCLTSession &session)
{
    const QString file = QDir::toNativeSeparators(QString::fromStdString(session.SourceFile));
    try {
        if (details.Ensure(session))
            return {};
    } catch (const StreamError &error) {
        // The list fields were sound; the damage lies further on in the file.
        return QStringLiteral("Файл результата %1 поврежден, результат не может быть показан: %2.")
            .arg(file, QString::fromStdString(error.what()));
    }
    return QStringLiteral("Файл результата %1 не найден: возможно, он удален на другом рабочем месте.").arg(file);
}
