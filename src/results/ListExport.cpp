#include "results/ListExport.h"

#include "core/SessionArchive.h"
#include "interpretation/ResearchCsvExport.h"
#include "qtkit/UserDialogs.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

#include <atomic>
#include <map>
#include <memory>
#include <thread>

// What each row is read from, taken on the window's thread before the
// readers start: the archive may change while they run. Paths sit in one
// block, so a list of 100,000 costs a few megabytes and no allocation each.
class ListExport::Sources {
public:
    Sources(std::size_t count, const std::function<ListedRow(std::size_t)> &rowAt)
    {
        ends.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const ListedRow session = rowAt(i);
            if (i == 0 && session.Context)
                context = *session.Context;
            // Never stored (a save that failed): only memory holds it.
            if (session.Path.empty() && session.Held)
                unsaved.emplace(i, std::make_unique<TCLTSession>(*session.Held));
            paths += session.Path;
            ends.push_back(paths.size());
        }
    }

    std::size_t Count() const { return ends.size(); }
    std::string Path(std::size_t i) const
    {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return paths.substr(begin, ends[i] - begin);
    }

    CsvRowRead Read(std::size_t i, TCLTSession &whole, TSimpleFileStream &buffer) const
    {
        if (const auto kept = unsaved.find(i); kept != unsaved.end()) {
            whole = *kept->second;
            return CsvRowRead::Read;
        }
        whole = TCLTSession();
        whole.Context = context;
        // Gone or no longer a session file: the user is told either way.
        return ReadSessionFile(Path(i), whole, buffer) ? CsvRowRead::Read : CsvRowRead::Damaged;
    }

private:
    std::string paths;
    std::vector<std::size_t> ends;
    std::map<std::size_t, std::unique_ptr<TCLTSession>> unsaved;
    SessionContext context;
};

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

bool ListExport::WriteListed(const std::vector<const TCLTSession *> &sessions, const QString &path)
{
    return write(Sources(sessions.size(), [&sessions](std::size_t i) { return RowOf(*sessions[i]); }), path);
}

bool ListExport::WriteListed(const ArchiveList &list, const std::vector<std::size_t> &positions, const QString &path)
{
    return write(Sources(positions.size(), [&](std::size_t i) { return list.Row(positions[i]); }), path);
}

bool ListExport::write(const Sources &sources, const QString &path)
{
    const std::size_t count = sources.Count();

    std::atomic<bool> cancel{false};
    CsvExportOptions options;
    // People read what the window writes: the header row is in Russian.
    options.Csv = ResearchCsvOptionsFor(decimalSeparator);
    options.Csv.RussianHeaders = true;
    options.Csv.PersonCode = personCode;
    options.Cancel = &cancel;

    std::unique_ptr<QProgressDialog> progress;
    if (count >= ProgressFrom) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Экспорт списка..."), QStringLiteral("Отмена"), 0,
                                                     100, dialogParent);
        progress->setWindowTitle(QStringLiteral("Экспорт списка"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
        progress->setAutoReset(false);
        QObject::connect(progress.get(), &QProgressDialog::canceled, [&cancel] { cancel = true; });
    }
    QEventLoop loop;
    // Lives on the window's thread and goes first, taking the readers'
    // queued calls that were not handled with it.
    auto receiver = std::make_unique<QObject>();
    QObject *const onWindow = receiver.get();
    QProgressDialog *const shown = progress.get();
    options.Progress = [onWindow, shown](std::size_t done, std::size_t total) {
        if (shown) {
            const int percent = static_cast<int>(done * 100 / total);
            QMetaObject::invokeMethod(
                onWindow, [shown, percent] { shown->setValue(percent); }, Qt::QueuedConnection);
        }
        return true;
    };
    const CsvRowReader read = [this, &sources](std::size_t i, TCLTSession &whole, TSimpleFileStream &buffer) {
        if (beforeRead)
            beforeRead(i);
        return sources.Read(i, whole, buffer);
    };
    CsvExportResult result;
    const std::string target = QFile::encodeName(path).toStdString();
    std::thread worker([&] {
        result = ExportResearchCsv(target, count, read, options);
        QMetaObject::invokeMethod(
            onWindow, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    receiver.reset();
    progress.reset();

    if (result.Cancelled)
        return false; // nothing written, nothing to say
    if (!result.Written) {
        UserDialogs::Current().ShowWarning(
            dialogParent,
            QStringLiteral("Список не сохранен в файл %1:\r\n%2.")
                .arg(QDir::toNativeSeparators(path), FailureReason(path, QString::fromStdString(result.Problem))));
        return false;
    }
    if (!result.Damaged.empty()) {
        QStringList names;
        for (std::size_t i = 0; i < result.Damaged.size() && i < 20; ++i)
            names
                << QFileInfo(QFile::decodeName(QByteArray::fromStdString(sources.Path(result.Damaged[i])))).fileName();
        UserDialogs::Current().ShowWarning(
            dialogParent,
            QStringLiteral("В таблицу не вошли сеансы, файлы которых повреждены или удалены (%1):\r\n%2")
                .arg(result.Damaged.size())
                .arg(names.join(QStringLiteral("\r\n"))));
    }
    return true;
}
