#pragma once

#include "core/ReplaceFile.h"
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"
#include "interpretation/ResearchCsv.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The research table (see ResearchCsv) of many stored sessions written
// straight to a file, as the window's list export and `palettor-cli export`
// do: several readers read the session files at once, rows go out in the
// list's order as they come, and no more than a window of rows is held.
// The rows wait in a nameless scratch file beside the target until the
// widest stimulus list is known; then the header and the padded rows are
// written into a temporary file there and put in place whole (see
// FileReplacement). Cancelled or failed, the named file stays as it was and
// nothing else is left in the folder.

// What reading the session of one row gave.
enum class CsvRowRead {
    Read,       // the row is written
    NotSession, // gone, or not a session file: left out
    Damaged,    // cannot be read: left out and named by the caller
};

// Reads the whole session of row i into whole. Called from the reader
// threads at once, each with its own session and stream; may throw, which
// counts as Damaged.
using CsvRowReader = std::function<CsvRowRead(std::size_t i, TCLTSession &whole, TSimpleFileStream &buffer)>;

struct CsvExportOptions {
    ResearchCsvOptions Csv; // PersonCode is called from the reader threads
    unsigned Readers = 4;
    // Rows read ahead of the one written at most.
    std::size_t Window = 256;
    ReplaceFileOptions Replace;
    // Set from any thread to stop; checked before every row.
    const std::atomic<bool> *Cancel = nullptr;
    // Told the rows done out of all, from the writing thread, whenever the
    // whole percent grows (at most 101 times); false stops the export.
    std::function<bool(std::size_t done, std::size_t total)> Progress;
};

struct CsvExportResult {
    bool Written = false;
    bool Cancelled = false;
    std::string Problem; // why the file could not be written, in Russian
    std::size_t Rows = 0;
    std::vector<std::size_t> Damaged; // rows left out as Damaged, in order
};

CsvExportResult ExportResearchCsv(const std::string &path, std::size_t count, const CsvRowReader &read,
                                  const CsvExportOptions &options);
