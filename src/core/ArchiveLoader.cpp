#include "core/ArchiveLoader.h"

#include <filesystem>

namespace fs = std::filesystem;

ArchiveLoader::ArchiveLoader(std::string dataFolder, TCLTArchive &archive, SessionContext context,
                             bool removeStaleTemporaries)
    : folder(std::move(dataFolder)), archive(archive), context(std::move(context)), removeStale(removeStaleTemporaries)
{
}

void ArchiveLoader::Start()
{
    if (started)
        return;
    names = ListSessionFiles(folder, removeStale);
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
        if (LoadSessionFile(path, archive, context, buffer))
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
