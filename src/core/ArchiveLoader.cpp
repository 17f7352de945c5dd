#include "ArchiveLoader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// "<16 or 17 digits>.dat.tmp": only names a save of ours can have made.
bool isSaveTemporary(const std::string &name)
{
    const std::string tail = ".dat" + SaveTemporarySuffix;
    if (name.size() <= tail.size() || name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string digits = name.substr(0, name.size() - tail.size());
    return (digits.size() == 16 || digits.size() == 17)
        && std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); });
}

// An interrupted save (the program killed, the power gone) leaves its
// temporary file. One that old cannot belong to a save still running.
void removeStaleTemporaries(const std::string &dataFolder)
{
    std::error_code error;
    const auto cutoff = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (fs::directory_iterator it(dataFolder, error), end; !error && it != end; it.increment(error)) {
        std::error_code entryError;
        if (!isSaveTemporary(it->path().filename().string()) || !it->is_regular_file(entryError))
            continue;
        const auto written = it->last_write_time(entryError);
        if (!entryError && written < cutoff)
            fs::remove(it->path(), entryError);
    }
}

} // namespace

ArchiveLoader::ArchiveLoader(std::string dataFolder, TCLTArchive &archive, SessionContext context,
                             bool removeStaleTemporaries)
    : folder(std::move(dataFolder)), archive(archive), context(std::move(context)), removeStale(removeStaleTemporaries)
{
}

void ArchiveLoader::Start()
{
    if (started)
        return;
    if (removeStale)
        removeStaleTemporaries(folder);
    names = ListSessionFiles(folder);
    archive.Reserve(archive.Count() + names.size());
    started = true;
}

bool ArchiveLoader::LoadFor(std::chrono::milliseconds budget)
{
    Start();
    const auto until = std::chrono::steady_clock::now() + budget;
    do {
        if (next == names.size())
            break;
        ReadNext();
    } while (std::chrono::steady_clock::now() < until);
    return Done();
}

void ArchiveLoader::ReadNext()
{
    const std::string path = PathInFolder(folder, names[next++]);
    try {
        if (LoadSessionFile(path, archive, context))
            ++loaded;
    } catch (const std::exception &) {
        // A file deleted since the folder was listed is not damaged.
        std::error_code gone;
        if (fs::exists(fs::symlink_status(path, gone)))
            skipped.push_back(path);
    }
}

ArchiveLoadResult LoadArchive(const std::string &dataFolder, TCLTArchive &archive, const SessionContext &context,
                              const std::function<void(int, int)> &progress, bool removeStaleTemporaries)
{
    ArchiveLoader loader(dataFolder, archive, context, removeStaleTemporaries);
    loader.Start();
    // A budget of nothing reads exactly one file, so progress follows each.
    while (!loader.Done()) {
        loader.LoadFor(std::chrono::milliseconds(0));
        if (progress)
            progress(static_cast<int>(loader.Read()), static_cast<int>(loader.Total()));
    }
    return {loader.Loaded(), loader.Skipped()};
}
