#include "cli/KnowledgeBaseCommands.h"

#include "cli/CliFiles.h"
#include "core/KnowledgeBaseSource.h"
#include "core/ReplaceFile.h"
#include "core/TSimpleFileStream.h"
#include "interpretation/KnowledgeBaseCheck.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <tuple>

namespace {

constexpr int Failed = 1;
constexpr int Usage = 2;

// The knowledge-base tools serve the authors of the texts, who work in
// Russian; the rest of palettor-cli keeps its own output.
const char *const HelpText = "Использование:\n"
                             "  palettor-cli kb export ФАЙЛ [-o ВЫХОД.csv]\n"
                             "      записать источник файла базы знаний (в стандартный вывод, если нет -o)\n"
                             "  palettor-cli kb build ИСТОЧНИК.csv... -o ФАЙЛ [--written ВРЕМЯ]\n"
                             "      собрать файл базы знаний из источников в указанном порядке; ВРЕМЯ —\n"
                             "      YYYY-MM-DDTHH:MM:SS или now, оно заменяет время записи из источников\n"
                             "  palettor-cli kb check ФАЙЛ | ИСТОЧНИК.csv... [--gaps-are-errors]\n"
                             "      показать для каждого вида записей ключи, которые запрашивают правила, но\n"
                             "      у которых нет записи, и записи, которые нельзя показать так, как они написаны\n"
                             "Код выхода: 0 — готово, 1 — сбой или найдены ошибки, 2 — неверная командная строка.\n";

// "1 запись", "3 записи", "5 записей".
std::string counted(std::size_t n, const char *one, const char *few, const char *many)
{
    const std::size_t lastTwo = n % 100, last = n % 10;
    const char *word = lastTwo >= 11 && lastTwo <= 14 ? many : last == 1 ? one : last >= 2 && last <= 4 ? few : many;
    return std::to_string(n) + " " + word;
}

int fail(std::ostream &err, const std::string &message)
{
    err << "palettor-cli: " << message << std::endl;
    return Failed;
}

int usage(std::ostream &err, const std::string &message)
{
    err << "palettor-cli: kb: " << message << "\n" << HelpText;
    return Usage;
}

struct Arguments {
    std::vector<std::string> Paths;
    std::optional<std::string> Output;
    std::optional<std::string> Written;
    bool GapsAreErrors = false;
};

// Options may stand anywhere among the paths.
std::optional<Arguments> parse(const std::vector<std::string> &args, bool takesOutput, bool takesWritten,
                               bool takesGaps, std::ostream &err)
{
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const auto value = [&](std::optional<std::string> &into) {
            if (i + 1 >= args.size()) {
                usage(err, arg + ": нужно значение");
                return false;
            }
            into = args[++i];
            return true;
        };
        if (takesOutput && (arg == "-o" || arg == "--output")) {
            if (!value(parsed.Output))
                return std::nullopt;
        } else if (takesWritten && arg == "--written") {
            if (!value(parsed.Written))
                return std::nullopt;
        } else if (takesGaps && arg == "--gaps-are-errors") {
            parsed.GapsAreErrors = true;
        } else if (arg.starts_with("-") && arg != "-") {
            usage(err, "неизвестный параметр " + arg);
            return std::nullopt;
        } else {
            parsed.Paths.push_back(arg);
        }
    }
    return parsed;
}

// The whole file, or a message naming it.
std::optional<std::string> readFile(const std::string &path, std::string &problem)
{
    if (const std::string why = FileInputProblemInRussian(path); !why.empty()) {
        problem = path + ": " + why;
        return std::nullopt;
    }
    try {
        TSimpleFileStream stream;
        // Sources and files alike: the signature is told apart by the caller.
        if (!TSimpleFileStream::ReadRegularFile(path, stream, {}, MaxDataFileBytes)) {
            problem = path + ": нет такого файла";
            return std::nullopt;
        }
        if (HasSessionSignature(stream.Bytes())) {
            problem = path + ": это файл результата, а не база знаний и не её источник";
            return std::nullopt;
        }
        return stream.Bytes();
    } catch (const StreamError &error) {
        problem = error.what();
        return std::nullopt;
    }
}

// Reads CSV sources; nullopt (the fault printed) when one cannot be read.
std::optional<KnowledgeBaseSource> readSources(const std::vector<std::string> &paths, std::ostream &err)
{
    std::vector<SourceFile> files;
    for (const std::string &path : paths) {
        std::string problem;
        auto bytes = readFile(path, problem);
        if (!bytes) {
            fail(err, problem);
            return std::nullopt;
        }
        if (HasKnowledgeBaseSignature(*bytes)) {
            fail(err, path + ": это файл базы знаний, а не источник (источник из него делает kb export)");
            return std::nullopt;
        }
        files.push_back({path, std::move(*bytes)});
    }
    return ReadKnowledgeBaseSources(files);
}

int exportCommand(const Arguments &args, std::ostream &out, std::ostream &err)
{
    if (args.Paths.size() != 1)
        return usage(err, "export принимает один файл базы знаний");
    const std::string &path = args.Paths.front();
    std::string problem;
    const auto bytes = readFile(path, problem);
    if (!bytes)
        return fail(err, problem);
    if (!HasKnowledgeBaseSignature(*bytes))
        return fail(err, path + ": не файл базы знаний (нет подписи «Color Test Data»)");
    try {
        const std::string csv = KnowledgeBaseCsv(ReadKnowledgeBaseImage(*bytes));
        if (!args.Output) {
            out.write(csv.data(), static_cast<std::streamsize>(csv.size()));
            out.flush();
            return out ? 0 : fail(err, "не удаётся писать в стандартный вывод");
        }
        ReplaceFileAtomically(*args.Output, csv);
        return 0;
    } catch (const StreamError &error) {
        return fail(err, path + ": " + error.what());
    }
}

std::string placeText(const SourcePlace &place)
{
    return place.Line > 0 ? place.File + ":" + std::to_string(place.Line) : place.File;
}

// A finding as one line: "file:line: ошибка: Field: message (earlier place)".
std::string findingText(const CheckFinding &finding, const KnowledgeBaseSource &base, bool asWarning)
{
    std::string text = placeText(base.Places[finding.Entry]) + (asWarning ? ": предупреждение: " : ": ошибка: ");
    if (!finding.Field.empty())
        text += finding.Field + ": ";
    text += finding.Message;
    if (finding.Earlier)
        text += " (" + placeText(base.Places[*finding.Earlier]) + ")";
    if (finding.What == FindingKind::Shadowed && finding.Entry < base.BlankKeys.size()) {
        // An empty key cell is the usual cause: a single colour written with
        // Key2 left empty reads as the pair with grey.
        const int kind = base.Image.Records[finding.Entry].Entry.Kind;
        std::string blank;
        for (const std::size_t entry : {finding.Entry, finding.Earlier.value_or(finding.Entry)})
            for (int k = 0; k < ComparedKeyCount(kind); ++k)
                if (base.BlankKeys[entry] >> k & 1u && blank.find(std::to_string(k + 1)) == std::string::npos)
                    blank += (blank.empty() ? "Key" : ", Key") + std::to_string(k + 1);
        if (!blank.empty())
            text += "; пустая ячейка " + blank + " читается как 0"
                + (kind >= 1 && kind <= 5 ? " (для одного цвета Key2 равен Key1)" : "");
    }
    return text;
}

int buildCommand(const Arguments &args, const CliContext &context, std::ostream &out, std::ostream &err)
{
    if (args.Paths.empty())
        return usage(err, "build нужен хотя бы один источник");
    if (!args.Output)
        return usage(err, "build нужен -o ФАЙЛ");
    std::optional<OleDate> written;
    if (args.Written) {
        written = *args.Written == "now" ? std::optional(ToOleDate(context.Now)) : ParseWrittenTime(*args.Written);
        if (!written)
            return usage(err, "--written " + *args.Written + ": не YYYY-MM-DDTHH:MM:SS и не now");
    }
    auto source = readSources(args.Paths, err);
    if (!source)
        return Failed;
    for (const SourceProblem &problem : source->Problems)
        err << problem.Text() << '\n';
    if (!source->Problems.empty())
        return fail(err, "ничего не записано в " + *args.Output);
    // An entry of a kind no lookup asks for is a mistake in the source, never
    // something to ship; a shadowed one is lost text worth a word.
    bool refused = false;
    for (const CheckFinding &finding : CheckKnowledgeBase(source->Image.Records).Findings) {
        if (finding.What == FindingKind::UnknownKind) {
            err << findingText(finding, *source, false) << '\n';
            refused = true;
        } else if (finding.What == FindingKind::Shadowed) {
            err << findingText(finding, *source, true) << '\n';
        }
    }
    if (refused)
        return fail(err, "ничего не записано в " + *args.Output);
    if (written)
        source->Image.Written = *written;
    try {
        ReplaceFileAtomically(*args.Output, KnowledgeBaseBytes(source->Image));
    } catch (const StreamError &error) {
        return fail(err, error.what());
    }
    out << "в " << *args.Output << " записано " << counted(source->Image.Records.size(), "запись", "записи", "записей")
        << '\n';
    return 0;
}

int checkCommand(const Arguments &args, std::ostream &out, std::ostream &err)
{
    if (args.Paths.empty())
        return usage(err, "check нужен файл базы знаний или его источники");
    std::string problem;
    const auto firstBytes = readFile(args.Paths.front(), problem);
    if (!firstBytes)
        return fail(err, problem);

    KnowledgeBaseSource base;
    const bool isFile = HasKnowledgeBaseSignature(*firstBytes);
    if (isFile) {
        if (args.Paths.size() != 1)
            return usage(err, "check принимает один файл базы знаний или источники");
        try {
            base.Image = ReadKnowledgeBaseImage(*firstBytes);
        } catch (const StreamError &error) {
            return fail(err, args.Paths.front() + ": " + error.what());
        }
        for (std::size_t i = 0; i < base.Image.Records.size(); ++i)
            base.Places.push_back({args.Paths.front() + ": запись " + std::to_string(i + 1), 0});
    } else {
        auto source = readSources(args.Paths, err);
        if (!source)
            return Failed;
        base = std::move(*source);
    }

    struct Line {
        std::size_t Source;
        int Row;
        std::string Text;
    };
    std::vector<Line> lines;
    const auto sourceIndex = [&](const std::string &file) {
        const auto found = std::find(args.Paths.begin(), args.Paths.end(), file);
        return static_cast<std::size_t>(found - args.Paths.begin());
    };
    const auto print = [&] {
        std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
            return std::tie(a.Source, a.Row) < std::tie(b.Source, b.Row);
        });
        for (const Line &line : lines)
            out << line.Text << '\n';
    };

    // What could not be read leaves the entries incomplete: their gaps and
    // findings would only bury the reading errors.
    if (!base.Problems.empty()) {
        for (const SourceProblem &reading : base.Problems)
            lines.push_back({sourceIndex(reading.Place.File), reading.Place.Line,
                             placeText(reading.Place) + ": ошибка: "
                                 + (reading.Field.empty() ? "" : reading.Field + ": ") + reading.Message});
        print();
        out << "Источники не прочитаны (" << counted(base.Problems.size(), "ошибка", "ошибки", "ошибок")
            << "); содержание не проверялось\n";
        return Failed;
    }

    const KnowledgeBaseCheckReport report = CheckKnowledgeBase(base.Image.Records);
    for (const KindCoverage &kind : report.Kinds) {
        out << "Вид " << kind.Kind << ", " << kind.Name << ": "
            << (kind.Kind == 14 ? "запрашиваемых пар (a b также как b a, -a -b, -b -a) " : "запрашиваемых ключей ")
            << kind.Asked << ", с записью " << kind.Asked - kind.Missing.size();
        if (!kind.Missing.empty()) {
            out << ", пропусков " << kind.Missing.size() << ":";
            for (std::size_t m = 0; m < kind.Missing.size(); ++m)
                out << (m ? "; " : " ") << KeysText(kind.Kind, kind.Missing[m]);
        }
        out << '\n';
    }

    // Findings in the order of the sources and their lines (of the file's entries).
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const CheckFinding &finding : report.Findings) {
        // A source's text faults stopped it above, where the text stands.
        if (!isFile && finding.What == FindingKind::Text)
            continue;
        (finding.Error ? errors : warnings) += 1;
        const SourcePlace &place = base.Places[finding.Entry];
        lines.push_back({isFile ? 0 : sourceIndex(place.File), isFile ? static_cast<int>(finding.Entry) : place.Line,
                         findingText(finding, base, !finding.Error)});
    }
    print();

    const std::size_t gaps = report.Gaps();
    out << counted(base.Image.Records.size(), "запись", "записи", "записей") << "; "
        << counted(errors, "ошибка", "ошибки", "ошибок") << ", "
        << counted(warnings, "предупреждение", "предупреждения", "предупреждений") << ", "
        << counted(gaps, "пропуск", "пропуска", "пропусков") << " (" << report.Gaps(1, 7) << " в видах 1-7, "
        << report.Gaps(8, 14) << " в видах 8-14)\n";
    return errors > 0 || (args.GapsAreErrors && gaps > 0) ? Failed : 0;
}

} // namespace

int RunKnowledgeBaseCommand(const std::vector<std::string> &arguments, const CliContext &context, std::ostream &out,
                            std::ostream &err)
{
    if (arguments.empty() || arguments.front() == "--help" || arguments.front() == "-h") {
        (arguments.empty() ? err : out) << HelpText;
        return arguments.empty() ? Usage : 0;
    }
    const std::string &command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "export") {
        const auto args = parse(rest, true, false, false, err);
        return args ? exportCommand(*args, out, err) : Usage;
    }
    if (command == "build") {
        const auto args = parse(rest, true, true, false, err);
        return args ? buildCommand(*args, context, out, err) : Usage;
    }
    if (command == "check") {
        const auto args = parse(rest, false, false, true, err);
        return args ? checkCommand(*args, out, err) : Usage;
    }
    return usage(err, "неизвестная команда «" + command + "»");
}
