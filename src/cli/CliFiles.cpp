#include "cli/CliFiles.h"

#include "core/SessionArchive.h"
#include "core/SystemReason.h"
#include "core/TSimpleFileStream.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

namespace {

// The words of the input checks, in the CLI's English and in the Russian of
// the knowledge-base tools.
struct InputWords {
    const char *noFile, *noFolder, *loop, *is, *notRegular, *notFolder;
    const char *folder, *fifo, *socket, *device, *file;
    std::string (*systemReason)(int code);
};

std::string englishReason(int code) { return std::strerror(code); }

const InputWords English{"no such file",
                         "no such folder",
                         "too many levels of symbolic links (a link loop)",
                         "is ",
                         ", not a regular file",
                         ", not a folder",
                         "a folder",
                         "a FIFO (named pipe)",
                         "a socket",
                         "a device",
                         "a file",
                         englishReason};
const InputWords Russian{"нет такого файла",
                         "нет такой папки",
                         "слишком много уровней символических ссылок (ссылки по кругу)",
                         "это ",
                         ", а не обычный файл",
                         ", а не папка",
                         "папка",
                         "именованный канал (FIFO)",
                         "сокет",
                         "устройство",
                         "файл",
                         SystemReasonText};

const char *kindOf(mode_t mode, const InputWords &words)
{
    if (S_ISDIR(mode))
        return words.folder;
    if (S_ISFIFO(mode))
        return words.fifo;
    if (S_ISSOCK(mode))
        return words.socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return words.device;
    return words.file;
}

std::string statProblem(const std::string &path, struct stat &info, const char *missing, const InputWords &words)
{
    if (::stat(path.c_str(), &info) == 0)
        return {};
    const int code = errno;
    if (code == ENOENT)
        return missing;
    if (code == ELOOP)
        return words.loop;
    return words.systemReason(code);
}

std::string fileProblem(const std::string &path, const InputWords &words)
{
    struct stat info {};
    std::string problem = statProblem(path, info, words.noFile, words);
    if (problem.empty() && !S_ISREG(info.st_mode))
        problem = words.is + std::string(kindOf(info.st_mode, words)) + words.notRegular;
    return problem;
}

} // namespace

std::string FileInputProblemInRussian(const std::string &path) { return fileProblem(path, Russian); }

std::string FileInputProblem(const std::string &path) { return fileProblem(path, English); }

std::string FolderInputProblem(const std::string &path)
{
    struct stat info {};
    std::string problem = statProblem(path, info, English.noFolder, English);
    if (problem.empty() && !S_ISDIR(info.st_mode))
        problem = English.is + std::string(kindOf(info.st_mode, English)) + English.notFolder;
    return problem;
}

bool HasSessionSignature(const std::string &bytes)
{
    static const std::string scrambled = Scramble(SessionFileSignature);
    return bytes.starts_with(scrambled);
}

namespace {

void checkStandardOutput()
{
    errno = 0;
    std::cout.flush();
    int code = errno;
    const bool flushed = std::fflush(stdout) == 0;
    if (!flushed && code == 0)
        code = errno;
    if (flushed && std::cout && !std::ferror(stdout))
        return;
    std::cerr << "palettor-cli: cannot write to standard output"
              << (code ? " (" + SystemReasonText(code) + ")" : std::string()) << std::endl;
    std::_Exit(1);
}

} // namespace

void CheckStandardOutputAtExit() { std::atexit(checkStandardOutput); }

std::string ArgumentBytes(int argc, char **argv, const QString &text)
{
    for (int i = argc - 1; i > 1; --i)
        if (QString::fromLocal8Bit(argv[i]) == text)
            return argv[i];
    return text.toLocal8Bit().toStdString();
}

bool HasArgument(int argc, char **argv, const char *wanted)
{
    const std::size_t length = std::strlen(wanted);
    for (int i = 2; i < argc; ++i)
        if (std::strncmp(argv[i], wanted, length) == 0 && (argv[i][length] == '\0' || argv[i][length] == '='))
            return true;
    return false;
}

std::unique_ptr<QCoreApplication> MakeCliApplication(int &argc, char **argv, bool paints)
{
    std::unique_ptr<QCoreApplication> app;
    if (paints) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("palettor-cli"));
    return app;
}

int CliFail(const QString &message, int status)
{
    std::cerr << "palettor-cli: " << message.toStdString() << std::endl;
    return status;
}

std::optional<std::string> FolderCommandArgument(QCommandLineParser &parser, int argc, char **argv,
                                                 const QString &usage)
{
    if (!parser.parse(QCoreApplication::arguments())) {
        CliFail(parser.errorText(), 2);
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        CliFail(usage, 2);
        return std::nullopt;
    }
    return ArgumentBytes(argc, argv, args[1]);
}

bool UsableFolder(const std::string &folder)
{
    const std::string problem = FolderInputProblem(folder);
    if (!problem.empty())
        CliFail(QString::fromStdString(folder + ": " + problem));
    return problem.empty();
}

std::optional<int> ChoiceArgument(const QCommandLineParser &parser, const QCommandLineOption &option, int fallback,
                                  const QString &refusal)
{
    if (!parser.isSet(option))
        return fallback;
    const QString value = parser.value(option);
    if (value != QLatin1String("1") && value != QLatin1String("2")) {
        CliFail(refusal, 2);
        return std::nullopt;
    }
    return value.toInt();
}
