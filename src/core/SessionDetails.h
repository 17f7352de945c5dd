#pragma once

#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"

#include <cstddef>
#include <list>

// Reads the whole file of a listed session into whole, which takes its
// context; false or StreamError as ReadSessionFile.
bool ReadWholeSession(const TCLTSession &listed, TCLTSession &whole, TSimpleFileStream &buffer);

// Reads the rest of a listed session from its file when it is shown,
// exported or printed, and keeps the last few whole; older ones go back to
// their list fields, so browsing a large archive does not grow it.
class SessionDetailCache {
public:
    // About 6 KB a whole session: a few hundred kilobytes at most.
    static constexpr std::size_t DefaultCapacity = 64;

    explicit SessionDetailCache(std::size_t capacity = DefaultCapacity);

    // Makes the session whole. True at once for a whole one. False when its
    // file is gone or is no longer a session file; throws StreamError naming
    // the file when it is damaged. Either way the session keeps its list
    // fields, and the file's whole content wins over them when it is read.
    bool Ensure(TCLTSession &session);
    // Must be called before the session leaves the archive; nullptr is passed over.
    void Forget(const TCLTSession *session);

    std::size_t Capacity() const { return capacity; }
    std::size_t Held() const { return recent.size(); }

private:
    std::size_t capacity;
    std::list<TCLTSession *> recent; // most recently made whole first
    TSimpleFileStream buffer;
};
