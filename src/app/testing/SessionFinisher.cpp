#include "app/testing/SessionFinisher.h"

#include "app/window/BusyCursor.h"
#include "core/StoredSessionCopy.h"
#include "core/SystemReason.h"
#include "interpretation/Conclusion.h"
#include "qtkit/StationContext.h"
#include "qtkit/UserDialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <random>
#include <unistd.h>
#include <utility>

namespace {

DigitSource randomDigits()
{
    std::random_device seed;
    auto generator =
        std::make_shared<std::mt19937>(seed() ^ static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
    return [generator] { return std::uniform_int_distribution<int>(0, 9)(*generator); };
}

QString folderText(const QString &folder) { return QDir::toNativeSeparators(folder); }

// A plain file name after the prefix: cleaning the path would leave it as is.
bool plainNameAfter(std::string_view path, std::string_view prefix)
{
    if (prefix.empty() || path.size() <= prefix.size() || path.substr(0, prefix.size()) != prefix)
        return false;
    const std::string_view name = path.substr(prefix.size());
    return name.find('/') == std::string_view::npos && name != "." && name != "..";
}

bool inFolder(const std::string &path, const QString &folder)
{
    return QDir::cleanPath(QString::fromStdString(path)).startsWith(QDir::cleanPath(folder) + QLatin1Char('/'));
}

bool unlinkFile(const QString &path, QString &reason)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return true;
    reason = QString::fromStdString(SystemReasonText(errno));
    return false;
}

const QString calledAdministrator =
    QStringLiteral("Не удалось сохранить результат тестирования. Пожалуйста, позовите администратора.");
} // namespace

SessionFinisher::SessionFinisher(const TCLTKnowledgeBase &knowledgeBase, QString dataFolder,
                                 const StationContext &context, QWidget *dialogParent)
    : knowledgeBase(knowledgeBase), dataFolder(std::move(dataFolder)), recoveryFolder(DefaultRecoveryFolder()),
      context(context), dialogParent(dialogParent), digits(randomDigits()), removeFile(unlinkFile)
{
    // Cleaning "." or "/" does not keep the folder's name apart from the
    // file's: those are left to the full comparison.
    const QString clean = QDir::cleanPath(this->dataFolder);
    if (clean != QStringLiteral(".") && clean != QStringLiteral("/")) {
        folderPrefix = PathInFolder(this->dataFolder.toStdString(), {});
        cleanFolderPrefix = clean.toStdString() + '/';
    }
}

QString SessionFinisher::DefaultRecoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Recovery");
}

void SessionFinisher::SetDigitSource(DigitSource value) { digits = value ? std::move(value) : randomDigits(); }
void SessionFinisher::SetDialogs(UserDialogs *value) { dialogs = value; }
void SessionFinisher::SetShow(SessionStep value) { show = std::move(value); }
void SessionFinisher::SetList(SessionStep value) { list = std::move(value); }
void SessionFinisher::SetRecoveryFolder(QString value) { recoveryFolder = std::move(value); }
void SessionFinisher::SetSaveHooks(SaveHooks value) { saveHooks = std::move(value); }
void SessionFinisher::SetTestingMode(std::function<bool()> value) { testingMode = std::move(value); }
void SessionFinisher::SetFileRemover(FileRemover value) { removeFile = value ? std::move(value) : unlinkFile; }

UserDialogs &SessionFinisher::Dialogs() const { return dialogs ? *dialogs : UserDialogs::Current(); }

bool SessionFinisher::Finish(TCLTSession &session, OleDate testStart, OleDate testEnd)
{
    FinishTestSession(session, knowledgeBase, testStart, testEnd, context.DecimalSeparator());
    // Shown before it is saved: a failed save must not hide the result.
    if (show)
        show(session);
    return Store(session);
}

QString SessionFinisher::SaveIntoData(TCLTSession &session)
{
    const QFileInfo folder(dataFolder);
    if (!folder.exists())
        return QStringLiteral("папка не существует");
    if (!folder.isDir())
        return QStringLiteral("это не папка, а файл");
    try {
        BusyCursor busy;
        SaveSession(session, dataFolder.toStdString(), context.Now(), digits, saveHooks);
    } catch (const std::exception &error) {
        const QString reason = QString::fromStdString(error.what());
        return reason.isEmpty() ? QStringLiteral("ошибка записи") : reason;
    }
    return {};
}

QString SessionFinisher::WriteRecoveryCopy(TCLTSession &session)
{
    if (recoveryFolder.isEmpty() || !QDir().mkpath(recoveryFolder))
        return QStringLiteral("не удалось создать папку %1").arg(folderText(recoveryFolder));
    try {
        SaveSession(session, recoveryFolder.toStdString(), context.Now(), digits);
    } catch (const std::exception &error) {
        session.SourceFile.clear();
        return QString::fromStdString(error.what());
    }
    return {};
}

bool SessionFinisher::Store(TCLTSession &session)
{
    const QString reason = SaveIntoData(session);
    if (!reason.isEmpty()) {
        QString text = QStringLiteral("Не удалось сохранить результат тестирования в папке %1.\r\nПричина: %2.")
                           .arg(folderText(dataFolder), reason);
        const QString recoveryProblem = WriteRecoveryCopy(session);
        if (recoveryProblem.isEmpty()) {
            unwritten.erase(&session);
            text += QStringLiteral("\r\n\r\nРезультат временно записан в папку %1. Он будет перенесен в папку "
                                   "результатов командой «Сохранить повторно» или при следующем запуске программы.")
                        .arg(folderText(recoveryFolder));
        } else {
            unwritten.insert(&session);
            text += QStringLiteral("\r\n\r\nЗаписать его в папку %1 также не удалось (%2). Сохраните результат "
                                   "повторно до закрытия программы, иначе он будет потерян.")
                        .arg(folderText(recoveryFolder), recoveryProblem);
        }
        if (testingMode && testingMode()) {
            // The tested person is not to read paths and system reasons.
            administratorNotes << text;
            Dialogs().ShowWarning(dialogParent, calledAdministrator);
        } else {
            Dialogs().ShowWarning(dialogParent, text);
        }
    }
    if (list)
        list(session);
    return reason.isEmpty();
}

bool SessionFinisher::NotStored(const TCLTSession &session) const { return NotStored(RowOf(session)); }

bool SessionFinisher::NotStored(const ListedRow &session) const
{
    if (session.Path.empty())
        return session.Held && unwritten.count(session.Held) > 0;
    // Sessions listed from the folder carry its path as given: compared
    // without making two strings for each of 100,000 sessions.
    if (plainNameAfter(session.Path, folderPrefix) || plainNameAfter(session.Path, cleanFolderPrefix))
        return false;
    return !inFolder(std::string(session.Path), dataFolder);
}

int SessionFinisher::NotStoredCount(const ArchiveList &sessions) const
{
    int count = 0;
    for (std::size_t i = 0; i < sessions.Count(); ++i)
        if (NotStored(sessions.Row(i)))
            ++count;
    return count;
}

int SessionFinisher::RetryNotStored(ArchiveList &sessions)
{
    int left = 0;
    QString firstReason;
    for (std::size_t i = 0; i < sessions.Count(); ++i) {
        if (!NotStored(sessions.Row(i)))
            continue;
        TCLTSession &session = sessions[i];
        const std::string recovered = session.SourceFile;
        const QString reason = SaveIntoData(session);
        if (reason.isEmpty()) {
            unwritten.erase(&session);
            // One that stays is known as moved at the next start.
            QString ignored;
            if (!recovered.empty())
                removeFile(QString::fromStdString(recovered), ignored);
            continue;
        }
        session.SourceFile = recovered;
        ++left;
        if (firstReason.isEmpty())
            firstReason = reason;
    }
    if (left > 0)
        Dialogs().ShowWarning(dialogParent,
                              QStringLiteral("Не удалось сохранить %1 результат(ов) тестирования в папке %2.\r\n"
                                             "Причина: %3.")
                                  .arg(left)
                                  .arg(folderText(dataFolder), firstReason));
    return left;
}

QStringList SessionFinisher::MoveRecoveredIntoData()
{
    QStringList notes;
    movedButKept.clear();
    if (recoveryFolder.isEmpty() || !QFileInfo(recoveryFolder).isDir())
        return notes;
    StoredSessionCopies stored(dataFolder.toStdString());
    int left = 0;
    QString firstReason;
    QStringList kept;
    QString keptReason;
    for (const std::string &name : ListSessionFiles(recoveryFolder.toStdString())) {
        const std::string path = PathInFolder(recoveryFolder.toStdString(), name);
        TCLTArchive read;
        QString reason;
        try {
            if (!LoadSessionFile(path, read, context.ForSessions()))
                reason = QStringLiteral("файл %1 не является файлом результатов").arg(QString::fromStdString(name));
        } catch (const std::exception &error) {
            reason = QString::fromStdString(error.what());
        }
        if (reason.isEmpty()) {
            // A file that could not be removed at an earlier start is in
            // Data already; a second copy there would be a second session.
            if (stored.Find(read[0]).empty()) {
                reason = SaveIntoData(read[0]);
                if (reason.isEmpty())
                    stored.Add(read[0].SourceFile);
            }
            if (reason.isEmpty()) {
                QString removeReason;
                if (!removeFile(QString::fromStdString(path), removeReason)) {
                    movedButKept.insert(path);
                    kept << QString::fromStdString(name);
                    keptReason = removeReason;
                }
                continue;
            }
        }
        ++left;
        if (firstReason.isEmpty())
            firstReason = reason;
    }
    if (left > 0)
        notes << QStringLiteral("%1 результат(ов) тестирования из папки %2 не удалось перенести в папку %3.\r\n"
                                "Причина: %4.")
                     .arg(left)
                     .arg(folderText(recoveryFolder), folderText(dataFolder), firstReason);
    if (!kept.isEmpty())
        notes << QStringLiteral("Результаты тестирования из папки %1 уже перенесены в папку %2, но их файлы "
                                "не удалось удалить из папки %1 (%3). Повторно они не переносятся. Удалите эти "
                                "файлы вручную или разрешите запись в эту папку. Файлы (%4):\r\n%5")
                     .arg(folderText(recoveryFolder), folderText(dataFolder), keptReason)
                     .arg(kept.size())
                     .arg(kept.join(QStringLiteral("\r\n")));
    return notes;
}

void SessionFinisher::AddWaitingRecovered(ArchiveList &sessions)
{
    if (recoveryFolder.isEmpty() || !QFileInfo(recoveryFolder).isDir())
        return;
    TCLTArchive waiting;
    for (const std::string &name : ListSessionFiles(recoveryFolder.toStdString())) {
        const std::string path = PathInFolder(recoveryFolder.toStdString(), name);
        if (movedButKept.count(path))
            continue; // listed from Data
        try {
            LoadSessionFile(path, waiting, context.ForSessions());
        } catch (const std::exception &) {
            // A damaged recovery file was named in the start-up notes.
        }
    }
    sessions.AddAll(waiting);
}

QStringList SessionFinisher::TakeAdministratorNotes() { return std::exchange(administratorNotes, {}); }

void SessionFinisher::RetryAndTell(ArchiveList &sessions)
{
    if (NotStoredCount(sessions) == 0) {
        Dialogs().ShowInfo(dialogParent, QStringLiteral("Все результаты тестирования сохранены."));
        return;
    }
    if (RetryNotStored(sessions) == 0)
        Dialogs().ShowInfo(dialogParent, QStringLiteral("Результаты тестирования сохранены."));
}

bool SessionFinisher::MayCloseWith(const ArchiveList &sessions) const
{
    const int notStored = NotStoredCount(sessions);
    if (notStored == 0)
        return true;
    const QString text =
        QStringLiteral("Результаты тестирования (%1) не сохранены в папке %2. Те, что записаны в папку %3, "
                       "будут перенесены при следующем запуске; остальные будут потеряны.\r\n\r\n"
                       "Закрыть программу?")
            .arg(notStored)
            .arg(QDir::toNativeSeparators(dataFolder), QDir::toNativeSeparators(recoveryFolder));
    return Dialogs().AskYesNo(dialogParent, text);
}
