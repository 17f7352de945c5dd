#include "KnowledgeBaseCommands.h"

#include "CliFiles.h"
#include "KnowledgeBaseCheck.h"
#include "KnowledgeBaseSource.h"
#include "ReplaceFile.h"
#include "TSimpleFileStream.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <tuple>

namespace {

constexpr int Failed = 1;
constexpr int Usage = 2;

const char *const HelpText = "Usage:\n"
                             "  palettor-cli kb export FILE [-o OUT.csv]\n"
                             "      write the source of a knowledge-base file (to standard output without -o)\n"
                             "  palettor-cli kb build SOURCE.csv... -o FILE [--written TIME]\n"
                             "      build a knowledge-base file from sources, in the order given; TIME is\n"
                             "      YYYY-MM-DDTHH:MM:SS or \"now\" and replaces the written time of the sources\n"
                             "  palettor-cli kb check FILE | SOURCE.csv... [--gaps-are-errors]\n"
                             "      report, per entry kind, the keys the rules ask for that have no entry,\n"
                             "      and the entries that cannot be used as written\n"
                             "Exit status: 0 done, 1 failed or errors found, 2 wrong command line.\n";

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
                usage(err, arg + " needs a value");
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
            usage(err, "unknown option " + arg);
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
    if (const std::string why = FileInputProblem(path); !why.empty()) {
        problem = path + ": " + why;
        return std::nullopt;
    }
    try {
        TSimpleFileStream stream;
        // Sources and files alike: the signature is told apart by the caller.
        if (!TSimpleFileStream::ReadRegularFile(path, stream, {}, MaxDataFileBytes)) {
            problem = path + ": no such file";
            return std::nullopt;
        }
        if (HasSessionSignature(stream.Bytes())) {
            problem = path + ": a session file, not a knowledge base nor its source";
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
            fail(err, path + ": a knowledge-base file, not a source (kb export makes its source)");
            return std::nullopt;
        }
        files.push_back({path, std::move(*bytes)});
    }
    return ReadKnowledgeBaseSources(files);
}

int exportCommand(const Arguments &args, std::ostream &out, std::ostream &err)
{
    if (args.Paths.size() != 1)
        return usage(err, "export takes one knowledge-base file");
    const std::string &path = args.Paths.front();
    std::string problem;
    const auto bytes = readFile(path, problem);
    if (!bytes)
        return fail(err, problem);
    if (!HasKnowledgeBaseSignature(*bytes))
        return fail(err, path + ": not a knowledge-base file (no \"Color Test Data\" signature)");
    try {
        const std::string csv = KnowledgeBaseCsv(ReadKnowledgeBaseImage(*bytes));
        if (!args.Output) {
            out.write(csv.data(), static_cast<std::streamsize>(csv.size()));
            out.flush();
            return out ? 0 : fail(err, "cannot write to standard output");
        }
        ReplaceFileAtomically(*args.Output, csv);
        return 0;
    } catch (const StreamError &error) {
        return fail(err, path + ": " + error.what());
    }
}

int buildCommand(const Arguments &args, const CliContext &context, std::ostream &out, std::ostream &err)
{
    if (args.Paths.empty())
        return usage(err, "build needs at least one source");
    if (!args.Output)
        return usage(err, "build needs -o FILE");
    std::optional<OleDate> written;
    if (args.Written) {
        written = *args.Written == "now" ? std::optional(ToOleDate(context.Now)) : ParseWrittenTime(*args.Written);
        if (!written)
            return usage(err, "--written " + *args.Written + ": not YYYY-MM-DDTHH:MM:SS nor \"now\"");
    }
    auto source = readSources(args.Paths, err);
    if (!source)
        return Failed;
    for (const SourceProblem &problem : source->Problems)
        err << problem.Text() << '\n';
    if (!source->Problems.empty())
        return fail(err, "nothing written to " + *args.Output);
    if (written)
        source->Image.Written = *written;
    try {
        ReplaceFileAtomically(*args.Output, KnowledgeBaseBytes(source->Image));
    } catch (const StreamError &error) {
        return fail(err, error.what());
    }
    out << "wrote " << source->Image.Records.size() << " entries to " << *args.Output << '\n';
    return 0;
}

std::string placeText(const SourcePlace &place)
{
    return place.Line > 0 ? place.File + ":" + std::to_string(place.Line) : place.File;
}

int checkCommand(const Arguments &args, std::ostream &out, std::ostream &err)
{
    if (args.Paths.empty())
        return usage(err, "check needs a knowledge-base file or its sources");
    std::string problem;
    const auto firstBytes = readFile(args.Paths.front(), problem);
    if (!firstBytes)
        return fail(err, problem);

    KnowledgeBaseSource base;
    const bool isFile = HasKnowledgeBaseSignature(*firstBytes);
    if (isFile) {
        if (args.Paths.size() != 1)
            return usage(err, "check takes one knowledge-base file, or sources");
        try {
            base.Image = ReadKnowledgeBaseImage(*firstBytes);
        } catch (const StreamError &error) {
            return fail(err, args.Paths.front() + ": " + error.what());
        }
        for (std::size_t i = 0; i < base.Image.Records.size(); ++i)
            base.Places.push_back({args.Paths.front() + ": entry " + std::to_string(i + 1), 0});
    } else {
        auto source = readSources(args.Paths, err);
        if (!source)
            return Failed;
        base = std::move(*source);
    }

    const KnowledgeBaseCheckReport report = CheckKnowledgeBase(base.Image.Records);
    for (const KindCoverage &kind : report.Kinds) {
        out << "Kind " << kind.Kind << ", " << kind.Name << ": " << kind.Asked
            << (kind.Kind == 14 ? " pairs asked for (a b also as b a, -a -b, -b -a), " : " keys asked for, ")
            << kind.Asked - kind.Missing.size() << " with an entry";
        if (!kind.Missing.empty()) {
            out << ", " << kind.Missing.size() << (kind.Missing.size() == 1 ? " gap:" : " gaps:");
            for (std::size_t m = 0; m < kind.Missing.size(); ++m)
                out << (m ? "; " : " ") << KeysText(kind.Kind, kind.Missing[m]);
        }
        out << '\n';
    }

    // Faults of reading and of content in one list, in the order of the
    // sources and their lines (of the file's entries).
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
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const SourceProblem &reading : base.Problems) {
        ++errors;
        lines.push_back({sourceIndex(reading.Place.File), reading.Place.Line,
                         placeText(reading.Place) + ": error: " + (reading.Field.empty() ? "" : reading.Field + ": ")
                             + reading.Message});
    }
    for (const CheckFinding &finding : report.Findings) {
        // A source's text faults were reported, where the text stands, by the reader.
        if (!isFile && finding.TextProblem)
            continue;
        (finding.Error ? errors : warnings) += 1;
        const SourcePlace &place = base.Places[finding.Entry];
        std::string text = placeText(place) + (finding.Error ? ": error: " : ": warning: ");
        if (!finding.Field.empty())
            text += finding.Field + ": ";
        text += finding.Message;
        if (finding.Earlier)
            text += " (" + placeText(base.Places[*finding.Earlier]) + ")";
        lines.push_back({isFile ? 0 : sourceIndex(place.File), isFile ? static_cast<int>(finding.Entry) : place.Line,
                         std::move(text)});
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
        return std::tie(a.Source, a.Row) < std::tie(b.Source, b.Row);
    });
    for (const Line &line : lines)
        out << line.Text << '\n';

    const std::size_t gaps = report.Gaps();
    out << base.Image.Records.size() << " entries; " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning, " : " warnings, ") << gaps << (gaps == 1 ? " gap" : " gaps") << " ("
        << report.Gaps(1, 7) << " in kinds 1-7, " << report.Gaps(8, 14) << " in kinds 8-14)\n";
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
    return usage(err, "unknown command \"" + command + "\"");
}
