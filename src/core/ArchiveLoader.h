#pragma once

#include "core/SessionArchive.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// Reads the session folder into the archive a slice at a time, so a window
// can keep painting and answering input between slices.
class ArchiveLoader {
public:
    // removeStaleTemporaries: only the program's own start-up clean-up passes
    // true; a listing (the command-line tool, a test) never changes the folder.
    ArchiveLoader(std::string dataFolder, TCLTArchive &archive, SessionContext context, bool removeStaleTemporaries);

    // Lists the folder once (removing stale temporaries first when asked). A
    // missing folder lists nothing and the loader is done at once.
    void Start();
    // Reads files until the budget is spent, at least one while any remain;
    // starts first when Start was not called. True when all are read.
    bool LoadFor(std::chrono::milliseconds budget);
    bool Done() const { return started && next == names.size(); }
    std::size_t Total() const { return names.size(); } // files listed
    std::size_t Read() const { return next; }          // files read so far (loaded or skipped)
    int Loaded() const { return loaded; }
    // Paths (the folder joined with the name) of damaged files, not loaded.
    // A file removed since the folder was listed is neither loaded nor here.
    const std::vector<std::string> &Skipped() const { return skipped; }

private:
    void ReadNext();

    std::string folder;
    TCLTArchive &archive;
    SessionContext context;
    bool removeStale;
    bool started = false;
    std::vector<std::string> names;
    std::size_t next = 0;
    int loaded = 0;
    std::vector<std::string> skipped;
    TSimpleFileStream buffer; // one for every file read
};
