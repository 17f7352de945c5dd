#include "SessionArchive.h"

#include "TSimpleFileStream.h"

#include <algorithm>
#include <cctype>
#include <chrono>
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

// The session file's path with its extension replaced by ".~da".
std::string backupPath(const std::string &path) { return fs::path(path).replace_extension(".~da").string(); }

// A temporary file this save created: closed and removed unless it took its
// final name, so a failed save leaves nothing behind.
struct TemporaryFile {
    std::string path;
    int fd = -1;
    ~TemporaryFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
};

// Keeps the file at path as its backup while path itself stays in place, so
// an interruption never leaves the name empty. Where hard links are not
// supported the file is moved aside; false when no backup could be made.
bool keepBackup(const std::string &path, bool &movedAside)
{
    const std::string backup = backupPath(path);
    ::unlink(backup.c_str());
    movedAside = false;
    if (::link(path.c_str(), backup.c_str()) == 0)
        return true;
    movedAside = ::rename(path.c_str(), backup.c_str()) == 0;
    return movedAside;
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

std::string PathInFolder(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        return folder + name;
    return folder + "/" + name;
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
    const std::string backup = backupPath(path);
    fs::remove(backup, error);
    fs::rename(path, backup, error);
}

std::string SaveSession(TCLTSession &session, const std::string &dataFolder, const LocalDateTime &now,
                        const DigitSource &digit, const SaveHooks &hooks)
{
    std::error_code error;
    if (!fs::is_directory(dataFolder, error))
        throw StreamError("the session folder \"" + dataFolder + "\" does not exist");
    auto fail = [&](const std::string &what, int code) {
        throw StreamError(what + " \"" + dataFolder + "\": " + std::strerror(code));
    };
    auto reach = [&](SaveStage stage) { return hooks.AtStage ? hooks.AtStage(stage) : 0; };

    // The whole file is made in memory first; it goes to disk in three parts.
    TSimpleFileStream stream;
    WriteText(stream, sessionSignature, BareCutMode);
    WriteInt32(stream, 1);
    WriteDateTime(stream, ToOleDate(now));
    WriteByte(stream, 0);
    const std::size_t headerEnd = stream.Position();
    session.SaveToStream(&stream);
    const std::size_t recordEnd = stream.Position();
    WriteByte(stream, 0);
    const std::string &bytes = stream.Bytes();

    // Another session may already hold the name (same millisecond, same
    // digits), or another save its temporary name: draw new digits rather
    // than push that session aside or write into someone else's file.
    TemporaryFile temporary;
    std::string path;
    constexpr int attempts = 100;
    for (int attempt = 1; temporary.fd < 0; ++attempt) {
        path = PathInFolder(dataFolder, SessionFileName(now, digit) + ".dat");
        const bool last = attempt == attempts;
        if (!last && fs::exists(fs::symlink_status(path, error)))
            continue;
        if (const int code = reach(SaveStage::Creating))
            fail("cannot create a file in", code);
        const std::string name = path + SaveTemporarySuffix;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            temporary.fd = fd;
            temporary.path = name;
        } else if (errno != EEXIST || last) {
            fail("cannot create a file in", errno);
        }
    }

    std::size_t offset = 0;
    for (const std::size_t partEnd : {headerEnd, recordEnd, bytes.size()}) {
        if (const int code = reach(SaveStage::Writing))
            fail("cannot write to", code);
        while (offset < partEnd) {
            std::size_t count = partEnd - offset;
            if (hooks.BeforeWrite) {
                if (const int code = hooks.BeforeWrite(offset, count))
                    fail("cannot write to", code);
                count = std::clamp<std::size_t>(count, 1, partEnd - offset);
            }
            const ssize_t n = ::write(temporary.fd, bytes.data() + offset, count);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("cannot write to", n < 0 ? errno : ENOSPC);
            offset += static_cast<std::size_t>(n);
        }
    }
    if (const int code = reach(SaveStage::Syncing))
        fail("cannot write to", code);
    if (::fsync(temporary.fd) != 0)
        fail("cannot write to", errno);
    if (const int code = reach(SaveStage::Closing))
        fail("cannot write to", code);
    const int closed = ::close(temporary.fd);
    temporary.fd = -1;
    if (closed != 0)
        fail("cannot write to", errno);

    // The name is taken only after every other name was tried: the session
    // there is kept as the backup, and the new one takes its name.
    bool movedAside = false;
    if (fs::exists(fs::symlink_status(path, error))) {
        int code = reach(SaveStage::BackingUp);
        if (code == 0 && !keepBackup(path, movedAside))
            code = errno;
        if (code != 0)
            fail("cannot keep a backup in", code);
    }
    int code = reach(SaveStage::Renaming);
    if (code == 0 && ::rename(temporary.path.c_str(), path.c_str()) != 0)
        code = errno;
    if (code != 0) {
        if (movedAside)
            ::rename(backupPath(path).c_str(), path.c_str());
        fail("cannot store a file in", code);
    }
    temporary.path.clear();

    // Makes the new name survive a power loss. The session is in place
    // already, so a folder that cannot be synced does not fail the save.
    if (reach(SaveStage::SyncingFolder) == 0) {
        const int folder = ::open(dataFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    reach(SaveStage::Done);
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
