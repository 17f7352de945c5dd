// palettor-cli: inspect the program's data files from a shell.
#include "Interpret.h"
#include "DurationText.h"
#include "KnowledgeBaseCommands.h"
#include "KnowledgeBaseFile.h"
#include "SessionArchive.h"
#include "SessionJson.h"
#include "TSimpleFileStream.h"
#include "TestKinds.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>
#include <iostream>

namespace {

SessionContext localContext()
{
    const QDate today = QDate::currentDate();
    SessionContext context;
    context.Today = ToOleDate(LocalDateTime{today.year(), today.month(), today.day(), 0, 0, 0, 0});
    context.DecimalSeparator = QLocale().decimalPoint().toStdString();
    return context;
}

int fail(const QString &message)
{
    std::cerr << "palettor-cli: " << message.toStdString() << std::endl;
    return 1;
}

void print(const QJsonObject &json) { std::cout << QJsonDocument(json).toJson().toStdString(); }

int dump(const QString &file)
{
    const std::string path = file.toStdString();
    if (!QFileInfo(file).isFile())
        return fail(QStringLiteral("%1: no such file").arg(file));
    try {
        TCLTArchive archive;
        if (LoadSessionFile(path, archive, localContext())) {
            print(SessionToJson(archive[0]));
            return 0;
        }
        TCLTKnowledgeBase base;
        if (LoadKnowledgeBase(path, base)) {
            QJsonArray entries;
            for (const auto &entry : base)
                entries.append(OutcomeToJson(*entry));
            print(QJsonObject{{"Entries", entries}});
            return 0;
        }
        return fail(QStringLiteral("%1: neither a session file nor a knowledge-base file").arg(file));
    } catch (const std::exception &error) {
        return fail(QStringLiteral("%1: damaged file (%2)").arg(file, QString::fromStdString(error.what())));
    }
}

QString startText(OleDate when)
{
    const LocalDateTime t = FromOleDate(when);
    return QDateTime(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second))
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int listArchive(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("%1: no such folder").arg(folder));
    TCLTArchive archive;
    const ArchiveLoadResult result = LoadArchive(folder.toStdString(), archive, localContext());
    for (const auto &session : archive) {
        std::cout << QFileInfo(QString::fromStdString(session->SourceFile)).fileName().toStdString() << '\t'
                  << startText(session->StartedAt).toStdString() << '\t' << TestKindListName(session->TestKind)
                  << '\t' << session->DisplayName << '\t' << DurationText(session->DurationSeconds) << '\n';
    }
    for (const std::string &skipped : result.Skipped)
        std::cerr << "palettor-cli: skipped damaged file " << skipped << '\n';
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("palettor-cli"));
    // The kb commands take their own options (-o, --written...).
    if (const QStringList all = QCoreApplication::arguments(); all.size() >= 2 && all[1] == QLatin1String("kb")) {
        std::vector<std::string> rest;
        for (qsizetype i = 2; i < all.size(); ++i)
            rest.push_back(all[i].toStdString());
        return RunKnowledgeBaseCommand(rest, std::cout, std::cerr);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Inspects Palettor data files.\n\n"
        "Commands:\n"
        "  dump FILE     print a session file or a knowledge-base file as JSON\n"
        "  archive DIR   list the sessions of a session folder\n"
        "  interpret     read one session as JSON on stdin, interpret it and print it\n"
        "                as JSON (options --kb, --decimal-separator, --save)\n"
        "  kb ...        export, build or check a knowledge base (see kb --help)"));
    parser.addHelpOption();
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
    const bool interpretOptions =
        parser.isSet(kbOption) || parser.isSet(separatorOption) || parser.isSet(saveOption);
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
        return RunInterpret(options, std::cin, std::cout, std::cerr);
    }
    if (interpretOptions)
        return fail(QStringLiteral("--kb, --decimal-separator and --save belong to interpret"));
    if (args.size() != 2)
        return fail(QStringLiteral("expected a command and a path; see --help"));
    if (args[0] == QLatin1String("dump"))
        return dump(args[1]);
    if (args[0] == QLatin1String("archive"))
        return listArchive(args[1]);
    return fail(QStringLiteral("unknown command \"%1\"; see --help").arg(args[0]));
}
