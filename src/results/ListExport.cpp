#include "ListExport.h"

#include "AtomicFile.h"
#include "ResearchCsv.h"
#include "SessionDetails.h"
#include "UserDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <memory>

ListExport::ListExport(QWidget *dialogParent, std::string decimalSeparator)
    : dialogParent(dialogParent), decimalSeparator(std::move(decimalSeparator))
{
}

QString ListExport::FailureReason(const QString &path, const QString &writerReason)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QStringLiteral("папка %1 не существует").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("%1 не является папкой").arg(QDir::toNativeSeparators(folder.filePath()));
    if (file.isDir())
        return QStringLiteral("под этим именем уже есть папка");
    if (!folder.isWritable())
        return QStringLiteral("нет права записи в папку %1").arg(QDir::toNativeSeparators(folder.filePath()));
    if (file.exists() && !file.isWritable())
        return QStringLiteral("файл защищен от записи");
    return writerReason;
}

bool ListExport::Write(const std::vector<const TCLTSession *> &sessions, const QString &path)
{
    return Write(
        sessions.size(), [&sessions](std::size_t i) { return sessions[i]; }, path);
}

bool ListExport::WriteListed(const std::vector<const TCLTSession *> &sessions, const QString &path)
{
    TCLTSession scratch;
    TSimpleFileStream buffer;
    QStringList unreadable;
    const auto sessionAt = [&](std::size_t i) -> const TCLTSession * {
        const TCLTSession *session = sessions[i];
        if (session->DetailsRead)
            return session;
        try {
            if (ReadWholeSession(*session, scratch, buffer))
                return &scratch;
        } catch (const StreamError &) {
        }
        unreadable << QFileInfo(QString::fromStdString(session->SourceFile)).fileName();
        return nullptr;
    };
    if (!Write(sessions.size(), sessionAt, path))
        return false;
    if (!unreadable.isEmpty())
        UserDialogs::Current().ShowWarning(
            dialogParent,
            QStringLiteral("В таблицу не вошли сеансы, файлы которых повреждены или удалены (%1):\r\n%2")
                .arg(unreadable.size())
                .arg(unreadable.mid(0, 20).join(QStringLiteral("\r\n"))));
    return true;
}

bool ListExport::Write(std::size_t count, const CsvSessionSource &sessionAt, const QString &path)
{
    std::unique_ptr<QProgressDialog> progress;
    if (count >= ProgressFrom) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Экспорт списка..."), QStringLiteral("Отмена"), 0,
                                                     static_cast<int>(count), dialogParent);
        progress->setWindowTitle(QStringLiteral("Экспорт списка"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    std::string csv;
    // People read what the window writes: the header row is in Russian.
    ResearchCsvOptions options = ResearchCsvOptionsFor(decimalSeparator);
    options.RussianHeaders = true;
    options.PersonCode = personCode;
    const bool complete = WriteResearchCsv(count, sessionAt, options, csv, [&progress](std::size_t done, std::size_t) {
        if (!progress)
            return true;
        progress->setValue(static_cast<int>(done));
        return !progress->wasCanceled();
    });
    progress.reset();
    if (!complete)
        return false; // cancelled: nothing written, nothing to say
    QString error;
    if (WriteFileAtomically(path, QByteArray::fromStdString(csv), &error))
        return true;
    UserDialogs::Current().ShowWarning(dialogParent,
                                       QStringLiteral("Список не сохранен в файл %1:\r\n%2.")
                                           .arg(QDir::toNativeSeparators(path), FailureReason(path, error)));
    return false;
}
