#include "cli/Interpret.h"

#include "cli/CliFiles.h"
#include "cli/SessionJson.h"
#include "core/KnowledgeBaseFile.h"
#include "core/SessionArchive.h"
#include "core/TCLTOutcome.h"
#include "interpretation/Conclusion.h"
#include "interpretation/SessionInput.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <iostream>
#include <iterator>
#include <random>

namespace {

int Fail(std::ostream &err, const std::string &message)
{
    err << "palettor-cli: " << message << std::endl;
    return 1;
}

// A single administration may give its one choice alone.
void PadSingleChoice(QJsonObject &json)
{
    const QJsonValue choice = json.value(QStringLiteral("Choice"));
    if (!choice.isArray() || choice.toArray().size() != 1)
        return;
    QJsonArray rows = choice.toArray();
    rows.append(QJsonArray{0, 0, 0, 0, 0, 0, 0, 0});
    json[QStringLiteral("Choice")] = rows;
}

} // namespace

int RunInterpret(const InterpretOptions &options, const CliContext &context, std::istream &in, std::ostream &out,
                 std::ostream &err)
{
    const std::string separator = options.DecimalSeparator ? *options.DecimalSeparator : context.DecimalSeparator;
    if (separator.empty())
        return Fail(err, "--decimal-separator: the separator must not be empty");
    // Before stdin is read: a FIFO given as the base is never opened.
    if (options.KnowledgeBase)
        if (const std::string problem = FileInputProblem(*options.KnowledgeBase); !problem.empty())
            return Fail(err, *options.KnowledgeBase + ": " + problem);

    const std::string input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(input), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Fail(err,
                    "stdin: not JSON (" + parseError.errorString().toStdString() + " at offset "
                        + std::to_string(parseError.offset) + ")");
    if (!document.isObject())
        return Fail(err, "stdin: expected one session as a JSON object");
    QJsonObject json = document.object();

    const LocalDateTime &now = context.Now;
    const LocalDateTime midnight{now.Year, now.Month, now.Day, 0, 0, 0, 0};
    TCLTSession session(ToOleDate(now), ToOleDate(midnight));
    session.Context.DecimalSeparator = separator;

    OleDate testStart = 0;
    OleDate testEnd = 0;
    try {
        PadSingleChoice(json);
        SessionFromJson(json, session);
        for (const char *key : {"TestStart", "TestEnd"})
            if (json.contains(QLatin1String(key)) && !json.value(QLatin1String(key)).isDouble())
                return Fail(err, std::string("stdin: \"") + key + "\" must be a number (an OLE date)");
        // Without the procedure's times, a session keeps its own start and duration.
        testStart = json.value(QStringLiteral("TestStart")).toDouble(session.StartedAt);
        testEnd = json.value(QStringLiteral("TestEnd")).toDouble(testStart + session.DurationSeconds / 86400.0);
    } catch (const std::exception &error) {
        return Fail(err, std::string("stdin: ") + error.what());
    }

    const std::string fault = FindSessionInputFault(session);
    if (!fault.empty())
        return Fail(err, "stdin: " + fault);
    PrepareForInterpretation(session);

    TCLTKnowledgeBase base;
    if (options.KnowledgeBase) {
        try {
            if (!LoadKnowledgeBase(*options.KnowledgeBase, base))
                return Fail(err, *options.KnowledgeBase + ": not a knowledge-base file");
        } catch (const std::exception &error) {
            return Fail(err, *options.KnowledgeBase + ": damaged knowledge base (" + error.what() + ")");
        }
    }

    FinishTestSession(session, base, testStart, testEnd, separator);

    // Saved before anything is printed, so a failed save never looks like a result.
    if (options.SaveFolder) {
        try {
            std::random_device seed;
            std::mt19937 generator(seed());
            std::uniform_int_distribution<int> digit(0, 9);
            SaveSession(session, *options.SaveFolder, now, [&] { return digit(generator); });
        } catch (const std::exception &error) {
            return Fail(err, *options.SaveFolder + ": session not saved (" + error.what() + ")");
        }
    }

    out << QJsonDocument(SessionToJson(session)).toJson().toStdString();
    return 0;
}
