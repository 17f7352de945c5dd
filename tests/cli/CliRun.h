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
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}
