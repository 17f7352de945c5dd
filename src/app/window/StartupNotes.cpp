#include "app/window/StartupNotes.h"

#include "interpretation/StimulusProfileFile.h"
#include "qtkit/UserDialogs.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr int damagedNamesShown = 15;
} // namespace

StartupNotes &StartupNotes::operator<<(const QString &note)
{
    notes << note;
    return *this;
}

StartupNotes &StartupNotes::operator<<(const QStringList &more)
{
    notes << more;
    return *this;
}

void StartupNotes::SetDamagedFiles(const QStringList &names, const QString &dataFolder)
{
    damaged = names;
    folder = dataFolder;
    damagedKnown = true;
}

void StartupNotes::AddDamagedFiles(const QStringList &names)
{
    for (const QString &name : names)
        if (!damaged.contains(name))
            damaged << name;
}

bool StartupNotes::StimulusFileReadable(const QString &path)
{
    // An oversized file is not read (its sets are not offered), and the
    // administrator is told why they are missing.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= static_cast<qint64>(StimulusProfileFile::MaxFileBytes))
        return true;
    notes << QStringLiteral("Файл стимульных наборов %1 слишком велик (%2 байт, допустимо не более %3 байт) "
                            "и не был прочитан. Предопределенные стимульные наборы недоступны.")
                 .arg(QDir::toNativeSeparators(path))
                 .arg(info.size())
                 .arg(StimulusProfileFile::MaxFileBytes);
    return false;
}

void StartupNotes::ReportOnce(QWidget *parent)
{
    if (!notesReported) {
        notesReported = true;
        for (const QString &note : notes)
            UserDialogs::Current().ShowWarning(parent, note);
    }
    if (!damagedKnown || damaged.size() <= damagedShown)
        return;
    const QStringList fresh = damaged.mid(damagedShown);
    damagedShown = damaged.size();
    QString text = QStringLiteral("Не удалось прочитать поврежденные файлы результатов в папке %1: %2.\r\n\r\n")
                       .arg(QDir::toNativeSeparators(folder))
                       .arg(fresh.size());
    text += fresh.mid(0, damagedNamesShown).join(QStringLiteral("\r\n"));
    if (fresh.size() > damagedNamesShown)
        text += QStringLiteral("\r\n... и еще %1").arg(fresh.size() - damagedNamesShown);
    UserDialogs::Current().ShowWarning(parent, text);
}
