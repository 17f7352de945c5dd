#include "core/SessionArchive.h"

#include "core/SessionStream.h"
#include "core/SystemReason.h"
#include "core/TSimpleFileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string &sessionSignature = SessionFileSignature;

std::string twoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

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

// A no-replace rename, or a hard link, that the file system does not offer.
bool lacksRenameNoReplace(int code)
{
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == ENOTSUP;
}
bool lacksHardLinks(int code) { return code == EPERM || code == EOPNOTSUPP || code == ENOTSUP; }

// Gives the complete temporary file its final name, never replacing a file
// that is there: 0 when done, EEXIST when the name is taken, else the errno.
// Each later way is tried only where the file system lacks the earlier one.
int publishWithoutReplacing(const std::string &from, const std::string &to, const SaveHooks &hooks)
{
    auto before = [&](PublishStep step) { return hooks.BeforePublish ? hooks.BeforePublish(step, to) : 0; };
    int code = before(PublishStep::NoReplaceRename);
    if (code == 0 && ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        code = errno;
    if (!lacksRenameNoReplace(code))
        return code;

    code = before(PublishStep::Link);
    if (code == 0 && ::link(from.c_str(), to.c_str()) != 0)
        code = errno;
    if (code == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (!lacksHardLinks(code))
        return code;

    // Neither (a FAT stick): the check and the rename are two steps, and a
    // file created between them would be replaced. Nothing better is offered.
    code = before(PublishStep::CheckedRename);
    if (code != 0)
        return code;
    struct stat taken {};
    if (::lstat(to.c_str(), &taken) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace

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

std::string SaveSession(TCLTSession &session, const std::string &dataFolder, const LocalDateTime &now,
                        const DigitSource &digit, const SaveHooks &hooks)
{
    auto fail = [&](const std::string &what, int code) {
        throw StreamError(what + " \"" + dataFolder + "\": " + SystemReasonText(code));
    };
    struct stat folderInfo {};
    if (::stat(dataFolder.c_str(), &folderInfo) != 0)
        fail("не удалось открыть папку", errno);
    if (!S_ISDIR(folderInfo.st_mode))
        fail("не удалось открыть папку", ENOTDIR);
    auto reach = [&](SaveStage stage) { return hooks.AtStage ? hooks.AtStage(stage) : 0; };

    // The whole file is made in memory first; it goes to disk in three parts.
    TSimpleFileStream stream;
    WriteDataFileHeader(stream, Scramble(sessionSignature), {1, ToOleDate(now), 0});
    const std::size_t headerEnd = stream.Position();
    session.SaveToStream(&stream);
    const std::size_t recordEnd = stream.Position();
    WriteByte(stream, 0);
    const std::string &bytes = stream.Bytes();

    // Another session may already hold the name (same millisecond, same
    // digits), or another save its temporary name: draw new digits rather
    // than push that session aside or write into someone else's file. Only a
    // broken digit source makes every draw collide; the save then fails.
    constexpr int attempts = 100;
    int drawn = 0;
    auto drawFreeName = [&] {
        while (drawn++ < attempts) {
            std::string candidate = PathInFolder(dataFolder, SessionFileName(now, digit) + ".dat");
            struct stat taken {};
            if (::lstat(candidate.c_str(), &taken) != 0)
                return candidate;
        }
        fail("не удалось подобрать свободное имя файла в папке", EEXIST);
        return std::string();
    };
    TemporaryFile temporary;
    std::string path;
    while (temporary.fd < 0) {
        path = drawFreeName();
        if (const int code = reach(SaveStage::Creating))
            fail("не удалось создать файл в папке", code);
        const std::string name = path + SaveTemporarySuffix;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            temporary.fd = fd;
            temporary.path = name;
        } else if (errno != EEXIST) {
            fail("не удалось создать файл в папке", errno);
        }
    }

    std::size_t offset = 0;
    for (const std::size_t partEnd : {headerEnd, recordEnd, bytes.size()}) {
        if (const int code = reach(SaveStage::Writing))
            fail("не удалось записать файл в папке", code);
        while (offset < partEnd) {
            std::size_t count = partEnd - offset;
            if (hooks.BeforeWrite) {
                if (const int code = hooks.BeforeWrite(offset, count))
                    fail("не удалось записать файл в папке", code);
                count = std::clamp<std::size_t>(count, 1, partEnd - offset);
            }
            const ssize_t n = ::write(temporary.fd, bytes.data() + offset, count);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("не удалось записать файл в папке", n < 0 ? errno : ENOSPC);
            offset += static_cast<std::size_t>(n);
        }
    }
    if (const int code = reach(SaveStage::Syncing))
        fail("не удалось записать файл в папке", code);
    if (::fsync(temporary.fd) != 0)
        fail("не удалось записать файл в папке", errno);
    if (const int code = reach(SaveStage::Closing))
        fail("не удалось записать файл в папке", code);
    const int closed = ::close(temporary.fd);
    temporary.fd = -1;
    if (closed != 0)
        fail("не удалось записать файл в папке", errno);

    // The name was free when it was drawn, but another station may have
    // taken it since: the session there stays and this one draws again.
    for (;;) {
        int code = reach(SaveStage::Renaming);
        if (code == 0)
            code = publishWithoutReplacing(temporary.path, path, hooks);
        if (code == 0)
            break;
        if (code != EEXIST)
            fail("не удалось сохранить файл в папке", code);
        path = drawFreeName();
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

bool ReadSessionFile(const std::string &path, TCLTSession &session, TSimpleFileStream &stream)
{
    // Compared still scrambled: a foreign file is refused without decoding,
    // and without being read whole.
    static const std::string scrambledSignature = Scramble(sessionSignature);
    if (!TSimpleFileStream::ReadRegularFile(path, stream, scrambledSignature, MaxDataFileBytes))
        return false;
    ReadDataFileHeader(stream, scrambledSignature.size());
    session.LoadFromStream(&stream);
    ReadByte(stream);
    session.SourceFile = path;
    return true;
}

bool LoadSessionFile(const std::string &path, TCLTArchive &archive, const SessionContext &context,
                     TSimpleFileStream &buffer)
{
    // Read into a session of our own first: a damaged file must not leave a
    // half-filled session in the archive.
    auto session = std::make_unique<TCLTSession>();
    session->Context = context;
    if (!ReadSessionFile(path, *session, buffer))
        return false;
    archive.Add(std::move(session));
    return true;
}

bool LoadSessionFile(const std::string &path, TCLTArchive &archive, const SessionContext &context)
{
    TSimpleFileStream buffer;
    return LoadSessionFile(path, archive, context, buffer);
}

namespace {

// "<16 or 17 digits>.dat.tmp": only names a save of ours can have made.
bool isSaveTemporary(std::string_view name)
{
    const std::string tail = ".dat" + SaveTemporarySuffix;
    if (name.size() <= tail.size() || name.substr(name.size() - tail.size()) != tail)
        return false;
    const std::string_view digits = name.substr(0, name.size() - tail.size());
    return (digits.size() == 16 || digits.size() == 17)
        && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct FolderCloser {
    DIR *folder;
    ~FolderCloser() { ::closedir(folder); }
};

} // namespace

std::vector<std::string> ListSessionFiles(const std::string &dataFolder, bool removeStaleTemporaries)
{
    bool complete = true;
    return ListSessionFiles(dataFolder, removeStaleTemporaries, complete);
}

std::vector<std::string> ListSessionFiles(const std::string &dataFolder, bool removeStaleTemporaries, bool &complete)
{
    complete = false;
    // readdir rather than directory_iterator: at 100,000 names the listing
    // is most of a start-up from the index, and the entry's type comes with
    // its name, so only links and file systems that do not say need a stat.
    std::vector<std::string> names;
    DIR *folder = ::opendir(dataFolder.c_str());
    if (!folder)
        return names;
    const FolderCloser closer{folder};
    const int fd = ::dirfd(folder);
    // An interrupted save (the program killed, the power gone) leaves its
    // temporary file. One that old cannot belong to a save still running.
    const std::time_t cutoff = std::time(nullptr) - 3600;
    for (;;) {
        // readdir leaves errno as it was at the end, and sets it on failure.
        errno = 0;
        const dirent *entry = ::readdir(folder);
        if (!entry)
            break;
        const std::string_view name(entry->d_name);
        const bool session = name.size() > 4 && name.substr(name.size() - 4) == ".dat";
        const bool temporary = !session && removeStaleTemporaries && isSaveTemporary(name);
        if (!session && !temporary)
            continue;
        struct stat info {};
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK || temporary) {
            if (::fstatat(fd, entry->d_name, &info, 0) != 0)
                continue;
            regular = S_ISREG(info.st_mode);
        }
        if (!regular)
            continue;
        if (session)
            names.emplace_back(name);
        else if (info.st_mtime < cutoff)
            ::unlinkat(fd, entry->d_name, 0);
    }
    // The end of the folder, or a read that failed part way (a share gone).
    complete = errno == 0;
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
