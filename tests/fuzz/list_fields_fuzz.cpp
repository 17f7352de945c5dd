// Feeds arbitrary bytes, behind a session file's signature, to the reader of
// the list fields. Whenever the whole-file reader takes the file, the list
// fields must be read too and be the same as the whole session's.
#include "core/SessionArchive.h"
#include "core/SessionListFields.h"
#include "core/TSimpleFileStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "list_fields_fuzz: %s\n", what);
    std::abort();
}

// Equal field by field, dates by their bits: a NaN read from a file is the
// same NaN in both readers.
bool sameFields(const SessionListFields &a, const SessionListFields &b)
{
    auto sameBits = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return sameBits(a.StartedAt, b.StartedAt) && sameBits(a.BirthDate, b.BirthDate)
        && a.DurationSeconds == b.DurationSeconds && a.TestKind == b.TestKind && a.FirstName == b.FirstName
        && a.Surname == b.Surname && a.Patronymic == b.Patronymic && a.Group == b.Group && a.Sex == b.Sex;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/palettor-fields-fuzz-" + std::to_string(::getpid()) + ".dat";
    static const std::string signature = Scramble(SessionFileSignature);
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << signature;
        file.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    static TSimpleFileStream buffer; // reused, as the list loader does
    SessionListFields fields;
    std::uint64_t fileSize = 0;
    bool listed = false;
    try {
        listed = ReadSessionListFields(path, fields, fileSize, buffer);
    } catch (const StreamError &) {
    }
    if (listed && fileSize != signature.size() + size)
        fail("the file size told differs from the file's");

    TCLTSession whole;
    try {
        if (!ReadSessionFile(path, whole, buffer))
            fail("the whole-file reader refused the signature");
    } catch (const StreamError &) {
        return 0;
    }
    if (!listed)
        fail("the list fields were refused of a file the whole-file reader takes");
    if (!sameFields(fields, SessionListFields::Of(whole)))
        fail("the list fields differ from the whole session's");
    return 0;
}
