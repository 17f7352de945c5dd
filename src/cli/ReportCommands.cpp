#include "cli/ReportCommands.h"

#include "cli/CliFiles.h"
#include "core/SessionArchive.h"
#include "interpretation/ResearchCsv.h"
#include "interpretation/ResearchCsvExport.h"
#include "qtkit/PersonCode.h"
#include "report/ReportPdf.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

int fail(const QString &message)
{
    std::cerr << "palettor-cli: " << message.toStdString() << std::endl;
    return 1;
}

// The person-code secret of the program's own settings store, so a code
// here is the one the window's name-free export gives.
QByteArray installationPersonCodeKey()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvanta"),
                       QStringLiteral("Palettor"));
    return PersonCodeKeyFrom(settings);
}

int exportFolder(const std::string &folder, const QString &outPath, const std::string &decimalSeparator, bool nameFree,
                 bool russianHeaders, const CliContext &context)
{
    if (const std::string problem = FolderInputProblem(folder); !problem.empty())
        return fail(QString::fromStdString(folder + ": " + problem));
    // Read a file at a time by several readers and streamed to the file, as
    // the window's list export does: the archive is never whole in memory.
    // An export never changes the folder.
    const std::vector<std::string> names = ListSessionFiles(folder, false);
    const SessionContext sessionContext = context.ForSessions(decimalSeparator);
    const CsvRowReader read = [&](std::size_t i, TCLTSession &whole, TSimpleFileStream &buffer) {
        const std::string path = PathInFolder(folder, names[i]);
        whole = TCLTSession();
        whole.Context = sessionContext;
        try {
            return ReadSessionFile(path, whole, buffer) ? CsvRowRead::Read : CsvRowRead::NotSession;
        } catch (const std::exception &) {
            // A file deleted since the folder was listed is not damaged.
            std::error_code gone;
            return std::filesystem::exists(std::filesystem::symlink_status(path, gone)) ? CsvRowRead::Damaged
                                                                                        : CsvRowRead::NotSession;
        }
    };
    CsvExportOptions options;
    options.Csv = ResearchCsvOptionsFor(decimalSeparator);
    if (nameFree)
        options.Csv.PersonCode = PersonCoder(installationPersonCodeKey());
    options.Csv.RussianHeaders = russianHeaders;
    const CsvExportResult result =
        ExportResearchCsv(QFile::encodeName(outPath).toStdString(), names.size(), read, options);
    if (!result.Written)
        return fail(outPath + QStringLiteral(": cannot write (") + QString::fromStdString(result.Problem)
                    + QLatin1Char(')'));
    for (const std::size_t skipped : result.Damaged)
        std::cerr << "palettor-cli: skipped damaged file " << PathInFolder(folder, names[skipped]) << '\n';
    return result.Damaged.empty() ? 0 : 2;
}

struct Signer {
    QString Examiner;
    QString Organisation;
};

int report(const std::string &sessionPath, const QString &pdfPath, const std::string &decimalSeparator,
           const Signer &signer, const CliContext &context)
{
    if (const std::string problem = FileInputProblem(sessionPath); !problem.empty())
        return fail(QString::fromStdString(sessionPath + ": " + problem));
    TCLTArchive archive;
    try {
        if (!LoadSessionFile(sessionPath, archive, context.ForSessions(decimalSeparator)))
            return fail(QString::fromStdString(sessionPath) + QStringLiteral(": not a session file"));
    } catch (const std::exception &damaged) {
        return fail(QString::fromStdString(sessionPath) + QStringLiteral(": damaged file (")
                    + QString::fromStdString(damaged.what()) + QLatin1Char(')'));
    }
    ReportLook look;
    look.DateTimeFormat = context.DateTimeFormat;
    look.DateFormat = context.DateFormat;
    look.Examiner = signer.Examiner;
    look.Organisation = signer.Organisation;
    look.ReportDate = ToOleDate(LocalDateTime{context.Now.Year, context.Now.Month, context.Now.Day});
    if (pdfPath.isEmpty()) {
        std::cout << ReportPlainText(archive[0], look).toStdString() << std::endl;
        return 0;
    }
    QString why;
    if (!WriteReportPdf(archive[0], look, pdfPath, &why))
        return fail(pdfPath + QStringLiteral(": cannot write (") + why + QLatin1Char(')'));
    return 0;
}

} // namespace

bool IsReportCommand(int argc, char **argv)
{
    return argc >= 2 && (std::strcmp(argv[1], "export") == 0 || std::strcmp(argv[1], "report") == 0);
}

int RunReportCommand(int argc, char **argv, const CliContext &context)
{
    const bool exporting = std::strcmp(argv[1], "export") == 0;
    const auto app = MakeCliApplication(argc, argv, !exporting && HasArgument(argc, argv, "--pdf"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        exporting
            ? QStringLiteral("export DATA-FOLDER -o OUT.csv [--pseudonymise]: the sessions of the folder as one CSV "
                             "table (UTF-8, \";\" where the decimal separator is a comma)")
            : QStringLiteral("report SESSION.dat [--pdf OUT.pdf | --text] [--examiner NAME] [--organisation NAME]: "
                             "the printed report of a session"));
    parser.addHelpOption();
    const QCommandLineOption outOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("export: the CSV file to write"), QStringLiteral("FILE"));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("report: write a PDF file"),
                                       QStringLiteral("FILE"));
    const QCommandLineOption textOption(QStringLiteral("text"), QStringLiteral("report: print the text (default)"));
    const QCommandLineOption examinerOption(QStringLiteral("examiner"),
                                            QStringLiteral("report: the examiner named above the signature line"),
                                            QStringLiteral("NAME"));
    const QCommandLineOption organisationOption(QStringLiteral("organisation"),
                                                QStringLiteral("report: the organisation named in the heading"),
                                                QStringLiteral("NAME"));
    const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"),
                                             QStringLiteral("decimal separator (the system's by default)"),
                                             QStringLiteral("SEP"));
    const QCommandLineOption pseudonymiseOption(
        QStringLiteral("pseudonymise"),
        QStringLiteral("export: a person code instead of surname, first name, patronymic and birth date"));
    const QCommandLineOption headersOption(QStringLiteral("headers"),
                                           QStringLiteral("export: language of the header row, en (default) or ru"),
                                           QStringLiteral("LANG"), QStringLiteral("en"));
    if (exporting)
        parser.addOptions({outOption, pseudonymiseOption, headersOption});
    else
        parser.addOptions({pdfOption, textOption, examinerOption, organisationOption});
    parser.addOption(separatorOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("export or report"));
    parser.addPositionalArgument(QStringLiteral("path"),
                                 exporting ? QStringLiteral("session folder") : QStringLiteral("session file"));
    if (!parser.parse(QCoreApplication::arguments())) {
        fail(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        fail(QStringLiteral("expected one path; see %1 --help").arg(args.value(0)));
        return 2;
    }
    const std::string decimal =
        parser.isSet(separatorOption) ? parser.value(separatorOption).toStdString() : context.DecimalSeparator;
    const std::string path = ArgumentBytes(argc, argv, args[1]);
    if (exporting) {
        if (!parser.isSet(outOption) || parser.value(outOption).isEmpty()) {
            fail(QStringLiteral("export needs -o OUT.csv"));
            return 2;
        }
        const QString headers = parser.value(headersOption);
        if (headers != QLatin1String("en") && headers != QLatin1String("ru")) {
            fail(QStringLiteral("--headers takes en or ru, not \"%1\"").arg(headers));
            return 2;
        }
        return exportFolder(path, parser.value(outOption), decimal, parser.isSet(pseudonymiseOption),
                            headers == QLatin1String("ru"), context);
    }
    if (parser.isSet(pdfOption) && parser.isSet(textOption)) {
        fail(QStringLiteral("--pdf and --text exclude each other"));
        return 2;
    }
    return report(path, parser.isSet(pdfOption) ? parser.value(pdfOption) : QString(), decimal,
                  {parser.value(examinerOption).trimmed(), parser.value(organisationOption).trimmed()}, context);
}
