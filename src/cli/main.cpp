// palettor-cli: inspect the program's data files from a shell.
#include "PalettorVersion.h"
#include "cli/CliContext.h"
#include "cli/CliFiles.h"
#include "cli/HistoryCommand.h"
#include "cli/Interpret.h"
#include "cli/KnowledgeBaseCommands.h"
#include "cli/ReportCommands.h"
#include "cli/SessionJson.h"
#include "cli/StatsCommand.h"
#include "core/DurationText.h"
#include "core/KnowledgeBaseFile.h"
#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"
#include "testing/TestKinds.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {

namespace fs = std::filesystem;

int fail(const std::string &message)
{
    std::cerr << "palettor-cli: " << message << std::endl;
    return 1;
}

int fail(const QString &message) { return fail(message.toStdString()); }

void print(const QJsonObject &json) { std::cout << QJsonDocument(json).toJson().toStdString(); }

// Paths are passed on as the bytes given: a file or folder whose name is not
// valid UTF-8 is still found.
int dump(const std::string &path, const CliContext &context)
{
    if (const std::string problem = FileInputProblem(path); !problem.empty())
        return fail(path + ": " + problem);
    try {
        TCLTArchive archive;
        if (LoadSessionFile(path, archive, context.ForSessions())) {
            print(SessionToJson(archive[0]));
            return 0;
        }
        TCLTKnowledgeBase base;
        if (LoadKnowledgeBase(path, base)) {
            QJsonArray entries;
            for (const auto &entry : base)
                entries.append(OutcomeToJson(*entry));
            print(QJsonObject{{QStringLiteral("Entries"), entries}});
            return 0;
        }
        return fail(path + ": neither a session file nor a knowledge-base file");
    } catch (const std::exception &error) {
        return fail(path + ": damaged file (" + error.what() + ")");
    }
}

QString startText(OleDate when)
{
    const LocalDateTime t = FromOleDate(when);
    return QDateTime(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second))
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Exit status of a listing that skipped damaged files: what it printed is
// right but not the whole folder.
constexpr int incompleteListing = 2;

int listArchive(const std::string &folder, const CliContext &context)
{
    if (const std::string problem = FolderInputProblem(folder); !problem.empty())
        return fail(folder + ": " + problem);
    TCLTArchive archive;
    // A listing never changes the folder: temporaries of interrupted saves
    // are the program's own start-up to remove.
    const ArchiveLoadResult result = LoadArchive(folder, archive, context.ForSessions(), {}, false);
    for (const auto &session : archive) {
        std::cout << fs::path(session->SourceFile).filename().string() << '\t'
                  << startText(session->StartedAt).toStdString() << '\t' << TestKindListName(session->TestKind) << '\t'
                  << session->DisplayName << '\t' << DurationText(session->DurationSeconds) << '\n';
    }
    for (const std::string &skipped : result.Skipped)
        std::cerr << "palettor-cli: skipped damaged file " << skipped << '\n';
    if (result.Skipped.empty())
        return 0;
    const std::size_t count = result.Skipped.size();
    std::cerr << "palettor-cli: " << count << (count == 1 ? " damaged file" : " damaged files")
              << " skipped, not listed" << std::endl;
    return incompleteListing;
}

// The bytes of the command-line argument that decodes to text: the parser
// sees arguments decoded, with what is not UTF-8 replaced.
std::string argumentBytes(int argc, char **argv, const QString &text)
{
    for (int i = argc - 1; i > 0; --i)
        if (QString::fromLocal8Bit(argv[i]) == text)
            return argv[i];
    return text.toLocal8Bit().toStdString();
}

int run(int argc, char **argv, const CliContext &context)
{
    // These make an application object of their own.
    if (IsReportCommand(argc, argv))
        return RunReportCommand(argc, argv, context);
    if (IsStatsCommand(argc, argv))
        return RunStatsCommand(argc, argv, context);
    if (IsHistoryCommand(argc, argv))
        return RunHistoryCommand(argc, argv, context);
    // The kb commands take their own options (-o, --written...), and paths
    // as the bytes given, like the others.
    if (argc >= 2 && std::strcmp(argv[1], "kb") == 0)
        return RunKnowledgeBaseCommand(std::vector<std::string>(argv + 2, argv + argc), context, std::cout, std::cerr);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("palettor-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PALETTOR_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Inspects Palettor data files.\n\n"
                       "Commands:\n"
                       "  dump FILE     print a session file or a knowledge-base file as JSON\n"
                       "  archive DIR   list the sessions of a session folder; exits with 2 when\n"
                       "                damaged files were skipped\n"
                       "  interpret     read one session as JSON on stdin, interpret it and print it\n"
                       "                as JSON (options --kb, --decimal-separator, --save)\n"
                       "  kb ...        export, build or check a knowledge base (see kb --help)\n"
                       "  export DIR -o OUT.csv            the sessions of a folder as one CSV table\n"
                       "  report FILE [--pdf OUT | --text] [--examiner NAME] [--organisation NAME]\n"
                       "                the printed report of a session\n"
                       "  stats DIR (--json | --csv | --pdf OUT) group statistics (see stats --help)\n"
                       "  history DIR --surname S --name N (--json | --pdf OUT)\n"
                       "                one person's sessions over time (see history --help)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("dump, archive or interpret"));
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("file or folder"));
    const QCommandLineOption kbOption(QStringLiteral("kb"), QStringLiteral("interpret: knowledge-base file"),
                                      QStringLiteral("FILE"));
    const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"),
                                             QStringLiteral("interpret: decimal separator of the texts"),
                                             QStringLiteral("SEP"));
    const QCommandLineOption saveOption(QStringLiteral("save"),
                                        QStringLiteral("interpret: also write the session file into DIR"),
                                        QStringLiteral("DIR"));
    parser.addOptions({kbOption, separatorOption, saveOption});
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const bool interpretOptions = parser.isSet(kbOption) || parser.isSet(separatorOption) || parser.isSet(saveOption);
    if (!args.isEmpty() && args[0] == QLatin1String("interpret")) {
        if (args.size() != 1)
            return fail(QStringLiteral("interpret takes no path; the session comes on stdin"));
        InterpretOptions options;
        if (parser.isSet(kbOption))
            options.KnowledgeBase = parser.value(kbOption).toStdString();
        if (parser.isSet(separatorOption))
            options.DecimalSeparator = parser.value(separatorOption).toStdString();
        if (parser.isSet(saveOption))
            options.SaveFolder = parser.value(saveOption).toStdString();
        return RunInterpret(options, context, std::cin, std::cout, std::cerr);
    }
    if (interpretOptions)
        return fail(QStringLiteral("--kb, --decimal-separator and --save belong to interpret"));
    if (args.size() != 2)
        return fail(QStringLiteral("expected a command and a path; see --help"));
    if (args[0] == QLatin1String("dump"))
        return dump(argumentBytes(argc, argv, args[1]), context);
    if (args[0] == QLatin1String("archive"))
        return listArchive(argumentBytes(argc, argv, args[1]), context);
    return fail(QStringLiteral("unknown command \"%1\"; see --help").arg(args[0]));
}

} // namespace

int main(int argc, char **argv)
{
    CheckStandardOutputAtExit();
    return run(argc, argv, ReadCliContext());
}
