#include "cli/HistoryCommand.h"

#include "cli/CliContext.h"
#include "cli/CliFiles.h"

#include "core/SessionArchive.h"
#include "qtkit/DateTimeText.h"
#include "statistics/PersonHistory.h"
#include "statistics/PersonIdentity.h"
#include "statsview/HistoryDocument.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

namespace {

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

// Whom the command asks for; the fields not given match anyone.
struct Wanted {
    std::string Surname;
    std::string FirstName;
    std::optional<std::string> Patronymic;
    std::optional<QDate> BirthDate;

    bool Matches(const TCLTSession &session) const
    {
        if (FoldedName(session.Surname) != FoldedName(Surname)
            || FoldedName(session.FirstName) != FoldedName(FirstName))
            return false;
        if (Patronymic && FoldedName(session.Patronymic) != FoldedName(*Patronymic))
            return false;
        if (BirthDate) {
            if (session.BirthDate == 0)
                return false;
            const LocalDateTime t = FromOleDate(session.BirthDate);
            return QDate(t.Year, t.Month, t.Day) == *BirthDate;
        }
        return true;
    }
};

QString isoText(OleDate when, const QString &format)
{
    const LocalDateTime t = FromOleDate(when);
    return QDateTime(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second)).toString(format);
}

QJsonValue optionalNumber(const std::optional<double> &value) { return value ? QJsonValue(*value) : QJsonValue(); }

QJsonValue positionsOf(const TCLTSession &session, int choice)
{
    const std::optional<ColourPositions> positions = PositionsOfChoice(session, choice);
    if (!positions)
        return QJsonValue();
    QJsonArray array;
    for (const int position : *positions)
        array.append(position);
    return array;
}

QJsonObject historyJson(const PersonHistory &history, int choice)
{
    const TCLTSession &person = *history.Steps.back().Session;
    QJsonArray sessions;
    for (const HistoryStep &step : history.Steps) {
        const TCLTSession &s = *step.Session;
        sessions.append(QJsonObject{
            {QStringLiteral("file"), qs(std::filesystem::path(s.SourceFile).filename().string())},
            {QStringLiteral("start"), isoText(s.StartedAt, QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
            {QStringLiteral("kind"), s.TestKind},
            {QStringLiteral("group"), qs(s.Group)},
            {QStringLiteral("first_choice_positions"), positionsOf(s, 1)},
            {QStringLiteral("second_choice_positions"), positionsOf(s, 2)},
            {QStringLiteral("followed_choice"), step.Choice == 0 ? QJsonValue() : QJsonValue(step.Choice)},
            {QStringLiteral("rho_to_previous"), optionalNumber(step.RhoToPrevious)},
            {QStringLiteral("own_rho"), optionalNumber(step.OwnRho)},
            {QStringLiteral("intensity"), step.Intensity ? QJsonValue(*step.Intensity) : QJsonValue()},
        });
    }
    return QJsonObject{
        {QStringLiteral("person"),
         QJsonObject{{QStringLiteral("surname"), qs(person.Surname)},
                     {QStringLiteral("name"), qs(person.FirstName)},
                     {QStringLiteral("patronymic"), qs(person.Patronymic)},
                     {QStringLiteral("birth_date"),
                      person.BirthDate == 0 ? QJsonValue()
                                            : QJsonValue(isoText(person.BirthDate, QStringLiteral("yyyy-MM-dd")))}}},
        {QStringLiteral("choice"), choice == 0 ? QJsonValue(QStringLiteral("last")) : QJsonValue(choice)},
        {QStringLiteral("n"), static_cast<int>(history.Steps.size())},
        {QStringLiteral("sessions"), sessions},
        {QStringLiteral("own_rho_median"), optionalNumber(history.Yardstick)},
        {QStringLiteral("own_rho_n"), static_cast<int>(history.YardstickN)},
    };
}

} // namespace

bool IsHistoryCommand(int argc, char **argv) { return argc >= 2 && std::strcmp(argv[1], "history") == 0; }

int RunHistoryCommand(int argc, char **argv, const CliContext &cli)
{
    const auto app = MakeCliApplication(argc, argv, HasArgument(argc, argv, "--pdf"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "history ПАПКА-ДАННЫХ --surname Ф --name И [--patronymic О] [--birth-date ДД.ММ.ГГГГ] (--json | --pdf "
        "ФАЙЛ.pdf): все сеансы одного тестируемого из папки, от первого к последнему, как их показывает окно "
        "«История тестируемого»: позиции цветов в каждом выборе, ρ Спирмена между соседними сеансами и ρ между "
        "первым и вторым выбором самого человека. Регистр букв и ё/е не различаются. Если под имя подходят "
        "несколько человек, уточните отчество или дату рождения.\n"
        "Код выхода: 0 — готово; 1 — ошибка или тестируемый не найден; 2 — неверные параметры, под имя подходят "
        "несколько человек или поврежденные файлы пропущены."));
    parser.addHelpOption();
    const QCommandLineOption surnameOption(QStringLiteral("surname"), QStringLiteral("фамилия"), QStringLiteral("Ф"));
    const QCommandLineOption nameOption(QStringLiteral("name"), QStringLiteral("имя"), QStringLiteral("И"));
    const QCommandLineOption patronymicOption(QStringLiteral("patronymic"), QStringLiteral("отчество"),
                                              QStringLiteral("О"));
    const QCommandLineOption birthOption(QStringLiteral("birth-date"), QStringLiteral("дата рождения"),
                                         QStringLiteral("ДД.ММ.ГГГГ"));
    const QCommandLineOption choiceOption(
        QStringLiteral("choice"),
        QStringLiteral("сравнивать только 1-й или только 2-й выбор (по умолчанию последний выбор каждого сеанса)"),
        QStringLiteral("1|2"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("вывести JSON"));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("записать историю в PDF"),
                                       QStringLiteral("ФАЙЛ"));
    const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"),
                                             QStringLiteral("десятичный разделитель в PDF (по умолчанию системный)"),
                                             QStringLiteral("РАЗД"));
    parser.addOptions({surnameOption, nameOption, patronymicOption, birthOption, choiceOption, jsonOption, pdfOption,
                       separatorOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("history"));
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("папка сеансов"));
    const std::optional<std::string> folderArgument =
        FolderCommandArgument(parser, argc, argv, QStringLiteral("нужна одна папка сеансов; см. history --help"));
    if (!folderArgument)
        return 2;
    const std::string &folder = *folderArgument;
    if (int(parser.isSet(jsonOption)) + int(parser.isSet(pdfOption)) != 1)
        return CliFail(QStringLiteral("укажите что-то одно: --json или --pdf ФАЙЛ"), 2);
    Wanted wanted;
    wanted.Surname = parser.value(surnameOption).trimmed().toStdString();
    wanted.FirstName = parser.value(nameOption).trimmed().toStdString();
    if (wanted.Surname.empty() || wanted.FirstName.empty())
        return CliFail(QStringLiteral("укажите фамилию и имя: --surname и --name"), 2);
    if (parser.isSet(patronymicOption))
        wanted.Patronymic = parser.value(patronymicOption).trimmed().toStdString();
    if (parser.isSet(birthOption)) {
        const QDate date = QDate::fromString(parser.value(birthOption), QStringLiteral("dd.MM.yyyy"));
        if (!date.isValid())
            return CliFail(QStringLiteral("--birth-date: нужна дата в виде ДД.ММ.ГГГГ, например 05.03.2011"), 2);
        wanted.BirthDate = date;
    }
    const std::optional<int> chosen = ChoiceArgument(parser, choiceOption, 0, QStringLiteral("--choice: 1 или 2"));
    if (!chosen)
        return 2;
    const int choice = *chosen;

    if (!UsableFolder(folder))
        return 1;
    const std::string decimal =
        parser.isSet(separatorOption) ? parser.value(separatorOption).toStdString() : cli.DecimalSeparator;
    TCLTArchive archive;
    // A history never changes the folder.
    const ArchiveLoadResult loaded = LoadArchive(folder, archive, cli.ForSessions(decimal), {}, false);
    for (const std::string &skipped : loaded.Skipped)
        std::cerr << "palettor-cli: skipped damaged file " << skipped << '\n';

    // The people the names fit, one a key, as the window tells people apart.
    std::vector<const TCLTSession *> all;
    std::map<std::string, std::pair<const TCLTSession *, int>> people;
    for (const auto &session : archive) {
        all.push_back(session.get());
        if (wanted.Matches(*session)) {
            auto &person = people.try_emplace(PersonIdentityKey(*session), session.get(), 0).first->second;
            ++person.second;
        }
    }
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const auto dateText = [&](OleDate when) { return FormatOleDateTime(when, cli.DateFormat, russian); };
    if (people.empty())
        return CliFail(QStringLiteral("тестируемый не найден: ") + qs(wanted.Surname) + QLatin1Char(' ')
                       + qs(wanted.FirstName));
    if (people.size() > 1) {
        QString list;
        for (const auto &[key, person] : people)
            list += QStringLiteral("\n  ") + qs(person.first->FullName()) + QStringLiteral(", дата рождения ")
                + (person.first->BirthDate == 0 ? QStringLiteral("не указана") : dateText(person.first->BirthDate))
                + QStringLiteral(" — сеансов: %1").arg(person.second);
        return CliFail(
            QStringLiteral("под имя подходят несколько человек; уточните --patronymic или --birth-date:") + list, 2);
    }
    const PersonHistory history = TracePerson(SessionsOfPerson(all, *people.begin()->second.first), choice);

    if (parser.isSet(jsonOption)) {
        std::cout << QJsonDocument(historyJson(history, choice)).toJson().toStdString();
    } else {
        const HistoryDocumentText text = HistoryTextOf(
            history, [&](OleDate when) { return FormatOleDateTime(when, cli.DateTimeFormat, russian); }, dateText,
            QString::fromStdString(decimal));
        QString why;
        const QString out = parser.value(pdfOption);
        if (!WriteHistoryPdf(history, text, DefaultSwatchColours(), out, &why))
            return CliFail(out + QStringLiteral(": не удалось записать (") + why + QLatin1Char(')'));
    }
    std::cout.flush();
    return loaded.Skipped.empty() ? 0 : 2;
}
