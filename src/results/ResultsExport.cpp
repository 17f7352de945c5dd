#include "results/ResultsExport.h"

#include "interpretation/MailLink.h"
#include "qtkit/AtomicFile.h"
#include "qtkit/QtDateTime.h"
#include "qtkit/StationContext.h"
#include "qtkit/UserDialogs.h"
#include "report/ReportPdf.h"
#include "results/Cp1251Bytes.h"
#include "results/LineEnds.h"
#include "results/SessionReport.h"
#include "testing/TestKinds.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>
#include <QUrlQuery>

ResultsExport::ResultsExport(QWidget *dialogParent, const StationContext &context)
    : dialogParent(dialogParent), context(&context), temporaryFolder(QDir::tempPath()),
      openFile([](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }),
      openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
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
    const QString path = temporaryFile(QStringLiteral(".rtf"));
    if (!write(path, report))
        return false;
    if (openFile(path))
        return true;
    // The report is there all the same; the user can open it by hand.
    UserDialogs::Current().ShowWarning(
        dialogParent,
        QStringLiteral("Не удалось открыть отчет: в системе не назначена программа для файлов RTF.\r\n"
                       "Отчет записан в файл %1")
            .arg(QDir::toNativeSeparators(path)));
    return false;
}

bool ResultsExport::SaveToFile(const TCLTSession *session)
{
    const QString report = reportForExport(session);
    if (report.isEmpty())
        return false;
    const QString path = AskSavePath(dialogParent, QStringLiteral("Сохранить в файле"),
                                     QStringLiteral("Текстовые файлы (*.txt)"), QStringLiteral(".txt"));
    if (path.isEmpty())
        return false;
    return write(path, report);
}

QString ResultsExport::temporaryFile(const QString &extension) const
{
    const QString stamp = ToQDateTime(context->Now()).toString(QStringLiteral("yyMMddHHmmss"));
    return QDir(temporaryFolder).filePath(QStringLiteral("PalettorResults_") + stamp + extension);
}

ReportLook ResultsExport::look() const
{
    ReportLook result;
    result.DateTimeFormat = context->DateTimeFormat();
    result.DateFormat = context->Locale().dateFormat(QLocale::ShortFormat);
    result.Colours = colours;
    result.Locale = context->Locale();
    result.Examiner = examiner;
    result.Organisation = organisation;
    result.ReportDate = context->NowOle();
    return result;
}

bool ResultsExport::Preview(const TCLTSession *session)
{
    if (!session)
        return false;
    const auto document = BuildReportDocument(*session, look());
    QPrinter printer(QPrinter::HighResolution);
    SetReportPageLayout(printer);
    UserDialogs::Current().ShowPrintPreview(dialogParent, printer,
                                            [&document](QPrinter *target) { PrintReportDocument(*document, *target); });
    return true;
}

bool ResultsExport::Print(const TCLTSession *session)
{
    if (!session)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    SetReportPageLayout(printer);
    if (!UserDialogs::Current().AskPrinter(dialogParent, printer))
        return false;
    const auto document = BuildReportDocument(*session, look());
    PrintReportDocument(*document, printer);
    return true;
}

bool ResultsExport::SaveAsPdf(const TCLTSession *session)
{
    if (!session)
        return false;
    const QString path = AskSavePath(dialogParent, QStringLiteral("Сохранить в PDF"),
                                     QStringLiteral("Документы PDF (*.pdf)"), QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    QString error;
    if (WriteReportPdf(*session, look(), path, &error))
        return true;
    UserDialogs::Current().ShowWarning(dialogParent,
                                       QStringLiteral("Невозможно записать файл ") + QDir::toNativeSeparators(path)
                                           + QStringLiteral("\r\n") + error);
    return false;
}

QUrl ResultsExport::MailLink(const TCLTSession &session, QString *pdfPath)
{
    const std::string subject = MailSubject(session);
    const std::string link = MailLinkText(subject, reportForExport(&session).toStdString());
    if (pdfPath)
        pdfPath->clear();
    if (MailLinkFits(link))
        return QUrl::fromEncoded(QByteArray::fromStdString(link));
    const QString path = temporaryFile(QStringLiteral(".pdf"));
    if (pdfPath)
        *pdfPath = path;
    return QUrl::fromEncoded(
        QByteArray::fromStdString(MailLinkText(subject, ReportInFileBody(QFileInfo(path).fileName().toStdString()))));
}

bool ResultsExport::SendByMail(const TCLTSession *session)
{
    if (!session)
        return false;
    QString pdfPath;
    const QUrl url = MailLink(*session, &pdfPath);
    if (!pdfPath.isEmpty()) {
        QString error;
        if (!WriteReportPdf(*session, look(), pdfPath, &error)) {
            UserDialogs::Current().ShowWarning(dialogParent,
                                               QStringLiteral("Невозможно записать файл ")
                                                   + QDir::toNativeSeparators(pdfPath) + QStringLiteral("\r\n")
                                                   + error);
            return false;
        }
    }
    const QString attach = pdfPath.isEmpty()
        ? QString()
        : QStringLiteral("Отчет слишком велик для текста письма и сохранен в файле\r\n%1\r\n"
                         "Приложите этот файл к письму.")
              .arg(QDir::toNativeSeparators(pdfPath));
    if (!openUrl(url)) {
        UserDialogs::Current().ShowWarning(
            dialogParent,
            QStringLiteral("Не удалось открыть программу электронной почты: в системе она не назначена.")
                + (attach.isEmpty() ? QString() : QStringLiteral("\r\n") + attach));
        return false;
    }
    if (!attach.isEmpty())
        UserDialogs::Current().ShowInfo(dialogParent, attach);
    return true;
}
