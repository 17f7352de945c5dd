#include "ResultsExport.h"

#include "AtomicFile.h"
#include "Cp1251Bytes.h"
#include "LineEnds.h"
#include "QtDateTime.h"
#include "SessionReport.h"
#include "StationContext.h"
#include "UserDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

ResultsExport::ResultsExport(QWidget *dialogParent, const StationContext &context)
    : dialogParent(dialogParent), context(&context), temporaryFolder(QDir::tempPath()),
      openFile([](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); })
{
}

QString ResultsExport::ReportText(const TCLTSession *session) const
{
    return session ? SessionReportText(*session, context->DateTimeFormat()) : QString();
}

QString ResultsExport::reportForExport(const TCLTSession *session) const { return WithCrLfLines(ReportText(session)); }

bool ResultsExport::Copy(const TCLTSession *session) const
{
    const QString report = reportForExport(session);
    if (report.isEmpty())
        return false;
    QApplication::clipboard()->setText(report);
    return true;
}

bool ResultsExport::write(const QString &path, const QString &report)
{
    QString error;
    if (WriteFileAtomically(path, ToCp1251Bytes(report), &error))
        return true;
    UserDialogs::Current().ShowWarning(dialogParent,
                                       QStringLiteral("Невозможно записать файл ") + QDir::toNativeSeparators(path)
                                           + QStringLiteral("\r\n") + error);
    return false;
}

bool ResultsExport::HandToEditor(const TCLTSession *session)
{
    const QString report = reportForExport(session);
    if (report.isEmpty())
        return false;
    const QString stamp = ToQDateTime(context->Now()).toString(QStringLiteral("yyMMddHHmmss"));
    const QString path =
        QDir(temporaryFolder).filePath(QStringLiteral("PalettorResults_") + stamp + QStringLiteral(".rtf"));
    if (!write(path, report))
        return false;
    openFile(path);
    return true;
}

bool ResultsExport::SaveToFile(const TCLTSession *session)
{
    const QString report = reportForExport(session);
    if (report.isEmpty())
        return false;
    QString path = UserDialogs::Current().AskSaveFileName(dialogParent, QStringLiteral("Сохранить в файле"), QString(),
                                                          QStringLiteral("Текстовые файлы (*.txt)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    return write(path, report);
}
