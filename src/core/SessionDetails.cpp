#include "core/SessionDetails.h"

#include "core/SessionArchive.h"
#include "core/SessionListFields.h"

#include <algorithm>

bool ReadWholeSession(const TCLTSession &listed, TCLTSession &whole, TSimpleFileStream &buffer)
{
    whole = TCLTSession();
    whole.Context = listed.Context;
    return ReadSessionFile(listed.SourceFile, whole, buffer);
}

SessionDetailCache::SessionDetailCache(std::size_t capacity) : capacity(std::max<std::size_t>(capacity, 1)) {}

bool SessionDetailCache::Ensure(TCLTSession &session)
{
    if (session.DetailsRead) {
        // Touched again: it is the last one to go.
        const auto held = std::find(recent.begin(), recent.end(), &session);
        if (held != recent.end())
            recent.splice(recent.begin(), recent, held);
        return true;
    }
    TCLTSession whole;
    if (!ReadWholeSession(session, whole, buffer))
        return false;
    session = std::move(whole);
    recent.push_front(&session);
    while (recent.size() > capacity) {
        KeepListFieldsOnly(*recent.back());
        recent.pop_back();
    }
    return true;
}

void SessionDetailCache::Forget(const TCLTSession *session)
{
    recent.remove_if([session](const TCLTSession *held) { return held == session; });
}
