#pragma once

#include "core/TCLTSession.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Finds a session's stored copy in a session folder: a file there whose
// record is the session's byte for byte (the header, written anew at every
// save, may differ). A recovered session that was moved into the folder but
// could not be removed from where it waited is known by this, so it is not
// moved again at every start.
class StoredSessionCopies {
public:
    explicit StoredSessionCopies(std::string folder);

    // The path of the copy, or empty. The folder is listed at the first call;
    // only files of the right size are read.
    std::string Find(const TCLTSession &session);
    // Records a copy written since the folder was listed.
    void Add(const std::string &path);

private:
    void List();

    std::string folder;
    bool listed = false;
    std::multimap<std::uintmax_t, std::string> bySize;
};

// The bytes a save writes after the file header: the record and the file's
// trailing byte.
std::string SessionRecordBytes(TCLTSession &session);
