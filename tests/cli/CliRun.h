#pragma once

// Runs the built palettor-cli with the arguments given and the input on its
// standard input, and keeps what it printed.
#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct CliRun {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

inline CliRun RunCli(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(QStringLiteral(PALETTOR_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    // A run that does not end (or crashes) has no exit code a test could take for success.
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished(1000);
        return {-1, p.readAllStandardOutput(), p.readAllStandardError()};
    }
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The same with the arguments passed as bytes, for paths that are not valid
// UTF-8 (a QProcess argument is text and would replace those bytes), and the
// standard streams going to the files named (standard output to /dev/full,
// say); what landed in them is read back where they are regular files.
inline CliRun RunCliFiles(const std::vector<std::string> &args, const std::string &inPath, const std::string &outPath,
                          const std::string &errPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{PALETTOR_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, PALETTOR_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return {-1, {}, {}};
    auto readAll = [](const std::string &path) {
        if (path.starts_with("/dev/"))
            return QByteArray();
        std::ifstream in(path, std::ios::binary);
        return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
    };
    return {WEXITSTATUS(status), readAll(outPath), readAll(errPath)};
}

inline CliRun RunCliBytes(const std::vector<std::string> &args, const std::string &outputFolder)
{
    return RunCliFiles(args, "/dev/null", outputFolder + "/cli.out", outputFolder + "/cli.err");
}
