#include "cli/StatsCommand.h"

#include "cli/CliContext.h"
#include "cli/CliFiles.h"

#include "core/SessionArchive.h"
#include "statistics/GroupStatistics.h"
#include "statsview/StatisticsDocument.h"
#include "testing/TestKinds.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

#include <cstring>
#include <iostream>
#include <memory>

namespace {

struct Selection {
    int Kind = 0; // 0 any
    std::optional<std::string> Group;
};

std::vector<const TCLTSession *> select(const TCLTArchive &archive, const Selection &selection)
{
    std::vector<const TCLTSession *> sessions;
    for (const auto &session : archive)
        if ((selection.Kind == 0 || session->TestKind == selection.Kind)
            && (!selection.Group || session->Group == *selection.Group))
            sessions.push_back(session.get());
    return sessions;
}

// What the selection is, as the PDF names it.
QString selectionText(const Selection &selection)
{
    QString text = selection.Group ? QStringLiteral("Группа: ") + QString::fromStdString(*selection.Group)
                                   : QStringLiteral("Все группы");
    if (selection.Kind != 0)
        text += QStringLiteral("; тест: ") + QString::fromStdString(TestKindListName(selection.Kind));
    return text;
}

} // namespace

bool IsStatsCommand(int argc, char **argv) { return argc >= 2 && std::strcmp(argv[1], "stats") == 0; }

int RunStatsCommand(int argc, char **argv, const CliContext &cli)
{
    const auto app = MakeCliApplication(argc, argv, HasArgument(argc, argv, "--pdf"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "stats DATA-FOLDER (--json | --csv | --pdf OUT.pdf): group statistics of the colour positions of the "
        "sessions of the folder. Without --versus-group and with three or more user groups among the sessions, "
        "the colours are also compared across the groups (Kruskal-Wallis). The figures carry no names; "
        "--pseudonymise is accepted so scripts can ask for name-free output from every command."));
    parser.addHelpOption();
    const QCommandLineOption kindOption(QStringLiteral("kind"), QStringLiteral("only sessions of test kind K (1-4)"),
                                        QStringLiteral("K"));
    const QCommandLineOption groupOption(QStringLiteral("group"), QStringLiteral("only sessions of user group G"),
                                         QStringLiteral("G"));
    const QCommandLineOption versusOption(QStringLiteral("versus-group"),
                                          QStringLiteral("compare with the sessions of user group G2"),
                                          QStringLiteral("G2"));
    const QCommandLineOption choiceOption(QStringLiteral("choice"),
                                          QStringLiteral("first or second eight-colour choice (default 2)"),
                                          QStringLiteral("1|2"));
    const QCommandLineOption pseudonymiseOption(QStringLiteral("pseudonymise"),
                                                QStringLiteral("name-free output (the statistics hold no names)"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("print JSON"));
    const QCommandLineOption csvOption(QStringLiteral("csv"), QStringLiteral("print CSV, one row per colour"));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("write the charts and tables as PDF"),
                                       QStringLiteral("FILE"));
    const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"),
                                             QStringLiteral("CSV and PDF decimal separator (the system's by default)"),
                                             QStringLiteral("SEP"));
    parser.addOptions({kindOption, groupOption, versusOption, choiceOption, pseudonymiseOption, jsonOption, csvOption,
                       pdfOption, separatorOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("stats"));
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("session folder"));
    const std::optional<std::string> folderArgument =
        FolderCommandArgument(parser, argc, argv, QStringLiteral("expected one folder; see stats --help"));
    if (!folderArgument)
        return 2;
    const std::string &folder = *folderArgument;
    const int outputs = int(parser.isSet(jsonOption)) + int(parser.isSet(csvOption)) + int(parser.isSet(pdfOption));
    if (outputs != 1)
        return CliFail(QStringLiteral("give exactly one of --json, --csv and --pdf OUT"), 2);
    Selection selection;
    if (parser.isSet(kindOption)) {
        bool ok = false;
        selection.Kind = parser.value(kindOption).toInt(&ok);
        if (!ok || selection.Kind < 1 || selection.Kind > 4)
            return CliFail(QStringLiteral("--kind takes a test kind from 1 to 4"), 2);
    }
    const std::optional<int> chosen = ChoiceArgument(parser, choiceOption, 2, QStringLiteral("--choice takes 1 or 2"));
    if (!chosen)
        return 2;
    const int choice = *chosen;
    if (parser.isSet(groupOption))
        selection.Group = parser.value(groupOption).toStdString();

    if (!UsableFolder(folder))
        return 1;
    const std::string decimal =
        parser.isSet(separatorOption) ? parser.value(separatorOption).toStdString() : cli.DecimalSeparator;
    const SessionContext context = cli.ForSessions(decimal);
    TCLTArchive archive;
    // Statistics never change the folder.
    const ArchiveLoadResult loaded = LoadArchive(folder, archive, context, {}, false);
    const std::vector<const TCLTSession *> sessions = select(archive, selection);
    std::vector<const TCLTSession *> versus;
    if (parser.isSet(versusOption)) {
        Selection second = selection;
        second.Group = parser.value(versusOption).toStdString();
        versus = select(archive, second);
    }
    const StatisticsOutput output = AnalyseSelection(sessions, parser.isSet(versusOption) ? &versus : nullptr, choice);
    if (parser.isSet(jsonOption)) {
        std::cout << StatisticsToJson(output);
    } else if (parser.isSet(csvOption)) {
        std::cout << StatisticsToCsv(output, decimal == "," ? ';' : ',', decimal);
    } else {
        StatisticsDocumentText text;
        text.Selection = selectionText(selection);
        if (parser.isSet(versusOption)) {
            Selection second = selection;
            second.Group = parser.value(versusOption).toStdString();
            text.VersusSelection = selectionText(second);
        }
        text.DecimalSeparator = QString::fromStdString(decimal);
        QString why;
        const QString out = parser.value(pdfOption);
        if (!WriteStatisticsPdf(output, text, DefaultSwatchColours(), out, &why))
            return CliFail(out + QStringLiteral(": cannot write (") + why + QLatin1Char(')'));
    }
    std::cout.flush();
    for (const std::string &skipped : loaded.Skipped)
        std::cerr << "palettor-cli: skipped damaged file " << skipped << '\n';
    return loaded.Skipped.empty() ? 0 : 2;
}
