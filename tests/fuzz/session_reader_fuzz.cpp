// Feeds arbitrary bytes to the session record reader: it may refuse them
// with StreamError, but must never crash, hang or allocate without bound.
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TSimpleFileStream stream(std::string(reinterpret_cast<const char *>(data), size));
    TCLTSession session;
    try {
        session.LoadFromStream(&stream);
        TSimpleFileStream out;
        session.SaveToStream(&out);
    } catch (const StreamError &) {
    }
    return 0;
}
