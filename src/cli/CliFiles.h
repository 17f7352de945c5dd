#pragma once

class QCommandLineOption;
class QCommandLineParser;
class QCoreApplication;

#include <QString>

#include <memory>
#include <optional>
#include <string>

// Why a path given as input cannot be read as a file: empty for a regular file
// (or a link to one), else the true reason ("is a folder, not a file", "is a
// FIFO...", "too many levels of symbolic links", "no such file").
std::string FileInputProblem(const std::string &path);

// The same in Russian, for the knowledge-base tools, whose users are the
// base's Russian-speaking authors.
std::string FileInputProblemInRussian(const std::string &path);

// The same for a path given as a folder.
std::string FolderInputProblem(const std::string &path);

// Whether bytes begin as a session file does.
bool HasSessionSignature(const std::string &bytes);

// Makes output that did not reach its file (a full disk, /dev/full) fail the
// run: at exit, however the program ends (a command returning, --help),
// standard output is flushed and, if any of it was lost, the reason goes to
// standard error and the exit status becomes 1.
void CheckStandardOutputAtExit();

// The bytes of the argument that reads as text, so a path that is not valid
// UTF-8 is still found; the text's local encoding when none does.
std::string ArgumentBytes(int argc, char **argv, const QString &text);

// Whether an argument after the command is the option, alone or as "--name=".
bool HasArgument(int argc, char **argv, const char *wanted);

// The application object of a command; one that paints a PDF needs fonts,
// which come with a Gui application (offscreen: no display is needed).
// argc must outlive the object.
std::unique_ptr<QCoreApplication> MakeCliApplication(int &argc, char **argv, bool paints);

// Tells "palettor-cli: message" on standard error; returns status.
int CliFail(const QString &message, int status = 1);

// Parses the arguments of "COMMAND FOLDER [options]": shows the help and
// exits when asked, and gives the folder's bytes; nothing (after telling
// why; exit 2) when they are wrong. usage names the one folder expected.
std::optional<std::string> FolderCommandArgument(QCommandLineParser &parser, int argc, char **argv,
                                                 const QString &usage);
// Whether the folder can be read as a session folder; tells why not.
bool UsableFolder(const std::string &folder);

// The value of a --choice option (1 or 2), fallback when it is not given;
// nothing (after telling refusal, exit 2) for any other value.
std::optional<int> ChoiceArgument(const QCommandLineParser &parser, const QCommandLineOption &option, int fallback,
                                  const QString &refusal);
