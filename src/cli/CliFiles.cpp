#include "CliFiles.h"

#include "SessionArchive.h"
#include "SystemReason.h"
#include "TSimpleFileStream.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

namespace {

const char *kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO (named pipe)";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "a file";
}

std::string statProblem(const std::string &path, struct stat &info, const char *missing)
{
    if (::stat(path.c_str(), &info) == 0)
        return {};
    const int code = errno;
    if (code == ENOENT)
        return missing;
    if (code == ELOOP)
        return "too many levels of symbolic links (a link loop)";
    return std::strerror(code);
}

} // namespace

std::string FileInputProblemInRussian(const std::string &path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int code = errno;
        if (code == ENOENT)
            return "нет такого файла";
        if (code == ELOOP)
            return "слишком много уровней символических ссылок (ссылки по кругу)";
        return SystemReasonText(code);
    }
    if (S_ISDIR(info.st_mode))
        return "это папка, а не обычный файл";
    if (S_ISFIFO(info.st_mode))
        return "это именованный канал (FIFO), а не обычный файл";
    if (!S_ISREG(info.st_mode))
        return "это не обычный файл (устройство или сокет)";
    return {};
}

std::string FileInputProblem(const std::string &path)
{
    struct stat info {};
    std::string problem = statProblem(path, info, "no such file");
    if (problem.empty() && !S_ISREG(info.st_mode))
        problem = std::string("is ") + kindOf(info.st_mode) + ", not a regular file";
    return problem;
}

std::string FolderInputProblem(const std::string &path)
{
    struct stat info {};
    std::string problem = statProblem(path, info, "no such folder");
    if (problem.empty() && !S_ISDIR(info.st_mode))
        problem = std::string("is ") + kindOf(info.st_mode) + ", not a folder";
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
