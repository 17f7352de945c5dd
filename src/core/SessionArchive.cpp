#include "SessionArchive.h"

#include "TSimpleFileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string sessionSignature = "Color Session Data";

std::string twoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string joinPath(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        return folder + name;
    return folder + "/" + name;
}

// Writes the bytes to a temporary file beside the target, syncs and renames
// it into place, so a reader never meets a half-written session.
void writeAtomically(const std::string &path, const std::string &bytes)
{
    const std::string temporary = path + ".tmp";
    const std::string folder = fs::path(path).parent_path().string();
    auto fail = [&](const std::string &what) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        throw StreamError(what + " \"" + folder + "\": " + reason);
    };
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fail("cannot create a file in");
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            ::close(fd);
            errno = saved;
            fail("cannot write to");
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        fail("cannot write to");
    }
    if (::close(fd) != 0)
        fail("cannot write to");
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        fail("cannot store a file in");
}

} // namespace

std::string ProgramRootFolder(const std::string &executablePath)
{
    std::string folder = executablePath;
    const auto cut = folder.find_last_of("/\\");
    folder = cut == std::string::npos ? std::string() : folder.substr(0, cut);
    const auto last = folder.find_last_of("/\\");
    std::string name = last == std::string::npos ? folder : folder.substr(last + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "bin" && last != std::string::npos)
        folder = folder.substr(0, last);
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\'))
        folder += '/';
    return folder;
}

std::string SessionFileName(const LocalDateTime &when, const DigitSource &digit)
{
    std::string name = twoDigits(when.Year % 100);
    for (int part : {when.Month, when.Day, when.Hour, when.Minute, when.Second})
        name += twoDigits(part);
    name += twoDigits(when.Millisecond);
    name += std::to_string(digit() % 10);
    name += std::to_string(digit() % 10);
    return name;
}

void BackupExisting(const std::string &path)
{
    std::error_code error;
    if (!fs::exists(path, error))
        return;
    const std::string backup = fs::path(path).replace_extension(".~da").string();
    fs::remove(backup, error);
    fs::rename(path, backup, error);
}

std::string SaveSession(TCLTSession &session, const std::string &dataFolder, const LocalDateTime &now,
                        const DigitSource &digit)
{
    std::error_code error;
    if (!fs::is_directory(dataFolder, error))
        throw StreamError("the session folder \"" + dataFolder + "\" does not exist");

    // Another session may already hold the name (same millisecond, same
    // digits); draw new digits rather than push that session aside.
    std::string path;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = joinPath(dataFolder, SessionFileName(now, digit) + ".dat");
        if (!fs::exists(path, error))
            break;
    }
    BackupExisting(path);

    TSimpleFileStream stream;
    stream.FileName = path;
    WriteText(stream, sessionSignature, BareCutMode);
    WriteInt32(stream, 1);
    WriteDateTime(stream, ToOleDate(now));
    WriteByte(stream, 0);
    session.SaveToStream(&stream);
    WriteByte(stream, 0);

    writeAtomically(path, stream.Bytes());
    session.SourceFile = path;
    return path;
}

bool LoadSessionFile(const std::string &path, TCLTArchive &archive, const SessionContext &context)
{
    TSimpleFileStream stream;
    if (!TSimpleFileStream::ReadRegularFile(path, stream))
        return false;
    // Compared still scrambled: a foreign file is refused without decoding.
    static const std::string scrambledSignature = Scramble(sessionSignature);
    if (stream.Remaining() < scrambledSignature.size() || stream.Take(scrambledSignature.size()) != scrambledSignature)
        return false;
    ReadInt32(stream);
    ReadDateTime(stream);
    ReadByte(stream);
    // Read into a session of our own first: a damaged file must not leave a
    // half-filled session in the archive.
    auto session = std::make_unique<TCLTSession>();
    session->Context = context;
    session->LoadFromStream(&stream);
    ReadByte(stream);
    session->SourceFile = path;
    archive.Add(std::move(session));
    return true;
}

std::vector<std::string> ListSessionFiles(const std::string &dataFolder)
{
    std::vector<std::string> names;
    std::error_code error;
    if (!fs::is_directory(dataFolder, error))
        return names;
    for (fs::directory_iterator it(dataFolder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dat") == 0)
            names.push_back(name);
    }
    // Names begin with the time of saving, so sorted names are chronological.
    std::sort(names.begin(), names.end());
    return names;
}

ArchiveLoadResult LoadArchive(const std::string &dataFolder, TCLTArchive &archive, const SessionContext &context,
                              const std::function<void(int, int)> &progress)
{
    ArchiveLoadResult result;
    const std::vector<std::string> names = ListSessionFiles(dataFolder);
    const int total = static_cast<int>(names.size());
    archive.Reserve(archive.Count() + names.size());
    int done = 0;
    for (const std::string &name : names) {
        const std::string path = joinPath(dataFolder, name);
        try {
            if (LoadSessionFile(path, archive, context))
                ++result.Loaded;
        } catch (const std::exception &) {
            result.Skipped.push_back(path);
        }
        if (progress)
            progress(++done, total);
    }
    return result;
}

bool DeleteSessionFile(const std::string &path)
{
    std::error_code error;
    if (path.empty() || !fs::exists(path, error))
        return false;
    return fs::remove(path, error) && !error;
}

std::string DurationText(int seconds)
{
    const int hours = seconds / 3600;
    const int minutes = seconds % 3600 / 60;
    std::string text;
    if (hours != 0)
        text += std::to_string(hours) + " ч ";
    if (minutes != 0)
        text += std::to_string(minutes) + " мин ";
    return text + std::to_string(seconds % 60) + " сек";
}
