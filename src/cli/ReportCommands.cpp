#include "ReportCommands.h"

#include "DateTimeText.h"
#include "ReportPdf.h"
#include "ResearchCsv.h"
#include "SessionArchive.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QSaveFile>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

namespace fs = std::filesystem;

int fail(const QString &message)
{
    std::cerr << "palettor-cli: " << message.toStdString() << std::endl;
    return 1;
}

SessionContext todayContext(const std::string &decimalSeparator)
{
    const QDate today = QDate::currentDate();
    return SessionContext{ToOleDate(LocalDateTime{today.year(), today.month(), today.day()}), decimalSeparator};
}

// All or nothing, as the program writes its files.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = file.errorString();
    file.cancelWriting();
    return false;
}

int exportFolder(const std::string &folder, const QString &outPath, const std::string &decimalSeparator,
                 bool russianHeaders)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return fail(QString::fromStdString(folder) + QStringLiteral(": no such folder"));
    TCLTArchive archive;
    // An export never changes the folder.
    const ArchiveLoadResult loaded = LoadArchive(folder, archive, todayContext(decimalSeparator), {}, false);
    std::vector<const TCLTSession *> sessions;
    for (const auto &session : archive)
        sessions.push_back(session.get());
    std::string csv;
    ResearchCsvOptions options = ResearchCsvOptionsFor(decimalSeparator);
    options.RussianHeaders = russianHeaders;
    WriteResearchCsv(sessions, options, csv);
    QString why;
    if (!writeAtomically(outPath, QByteArray::fromStdString(csv), why))
        return fail(outPath + QStringLiteral(": cannot write (") + why + QLatin1Char(')'));
    for (const std::string &skipped : loaded.Skipped)
        std::cerr << "palettor-cli: skipped damaged file " << skipped << '\n';
    return loaded.Skipped.empty() ? 0 : 2;
}

int report(const std::string &sessionPath, const QString &pdfPath, const std::string &decimalSeparator)
{
    std::error_code error;
    if (!fs::is_regular_file(sessionPath, error))
        return fail(QString::fromStdString(sessionPath) + QStringLiteral(": no such file"));
    TCLTArchive archive;
    try {
        if (!LoadSessionFile(sessionPath, archive, todayContext(decimalSeparator)))
            return fail(QString::fromStdString(sessionPath) + QStringLiteral(": not a session file"));
    } catch (const std::exception &damaged) {
        return fail(QString::fromStdString(sessionPath) + QStringLiteral(": damaged file (")
                    + QString::fromStdString(damaged.what()) + QLatin1Char(')'));
    }
    const QLocale locale;
    ReportLook look;
    look.DateTimeFormat = DateTimeFormatOf(locale);
    look.DateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (pdfPath.isEmpty()) {
        std::cout << ReportPlainText(archive[0], look).toStdString() << std::endl;
        return 0;
    }
    QString why;
    if (!WriteReportPdf(archive[0], look, pdfPath, &why))
        return fail(pdfPath + QStringLiteral(": cannot write (") + why + QLatin1Char(')'));
    return 0;
}

// The argument's own bytes: a path that is not valid UTF-8 is still found.
std::string argumentBytes(int argc, char **argv, const QString &text)
{
    for (int i = argc - 1; i > 1; --i)
        if (QString::fromLocal8Bit(argv[i]) == text)
            return argv[i];
    return text.toLocal8Bit().toStdString();
}

bool hasArgument(int argc, char **argv, const char *wanted)
{
    const std::size_t length = std::strlen(wanted);
    for (int i = 2; i < argc; ++i)
        if (std::strncmp(argv[i], wanted, length) == 0 && (argv[i][length] == '\0' || argv[i][length] == '='))
            return true;
    return false;
}

} // namespace

bool IsReportCommand(int argc, char **argv)
{
    return argc >= 2 && (std::strcmp(argv[1], "export") == 0 || std::strcmp(argv[1], "report") == 0);
}

int RunReportCommand(int argc, char **argv)
{
    const bool exporting = std::strcmp(argv[1], "export") == 0;
    // Painting a PDF needs fonts, which come with a Gui application; no
    // display is needed for it.
    std::unique_ptr<QCoreApplication> app;
    if (!exporting && hasArgument(argc, argv, "--pdf")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("palettor-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        exporting ? QStringLiteral("export DATA-FOLDER -o OUT.csv: the sessions of the folder as one CSV table "
                                   "(UTF-8, \";\" where the decimal separator is a comma)")
                  : QStringLiteral("report SESSION.dat [--pdf OUT.pdf | --text]: the printed report of a session"));
    parser.addHelpOption();
    const QCommandLineOption outOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("export: the CSV file to write"), QStringLiteral("FILE"));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("report: write a PDF file"),
                                       QStringLiteral("FILE"));
    const QCommandLineOption textOption(QStringLiteral("text"), QStringLiteral("report: print the text (default)"));
    const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"),
                                             QStringLiteral("decimal separator (the system's by default)"),
                                             QStringLiteral("SEP"));
    const QCommandLineOption headersOption(QStringLiteral("headers"),
                                           QStringLiteral("export: language of the header row, en (default) or ru"),
                                           QStringLiteral("LANG"), QStringLiteral("en"));
    if (exporting)
        parser.addOptions({outOption, headersOption});
    else
        parser.addOptions({pdfOption, textOption});
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
    const std::string decimal = parser.isSet(separatorOption) ? parser.value(separatorOption).toStdString()
                                                              : QLocale().decimalPoint().toStdString();
    const std::string path = argumentBytes(argc, argv, args[1]);
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
        return exportFolder(path, parser.value(outOption), decimal, headers == QLatin1String("ru"));
    }
    if (parser.isSet(pdfOption) && parser.isSet(textOption)) {
        fail(QStringLiteral("--pdf and --text exclude each other"));
        return 2;
    }
    return report(path, parser.isSet(pdfOption) ? parser.value(pdfOption) : QString(), decimal);
}
