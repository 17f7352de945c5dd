#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Read-only profile (ini) file, read the way Windows reads its profile files:
// section names in file order, keys and section names compared without
// regard to case (first match wins), blanks around a key and a value
// dropped, one pair of enclosing quotes (" or ') removed, a value read up to
// MaxValueLength characters. Works on the raw bytes: no text conversion.
//
// Broken input never throws: a "[" line without "]" is an ordinary key line,
// a line without "=" is a key without value, bytes after a NUL in a name or
// value are ignored (the Windows reader hands out C strings), and a file
// larger than MaxFileBytes is treated as empty, so the work stays bounded.
class StimulusProfileFile {
public:
    static constexpr std::size_t MaxValueLength = 2047;
    static constexpr std::size_t MaxFileBytes = 1024 * 1024;

    StimulusProfileFile() = default;
    explicit StimulusProfileFile(std::string_view bytes);

    // Reads the whole file; a missing, unreadable or oversized file gives an
    // empty profile.
    static StimulusProfileFile FromPath(const std::string &path);

    // Section names in file order, as written between "[" and the last "]"
    // of their line. Empty names are not listed; a repeated name is listed
    // each time it occurs, as Windows does.
    const std::vector<std::string> &SectionNames() const { return sectionNames; }

    // Value of the key in the first section of that name, or the fallback
    // when there is no such section or key, or the key has no "=".
    std::string Value(std::string_view section, std::string_view key, std::string_view fallback = {}) const;

private:
    struct Entry {
        std::string Key;
        std::string Value;
        bool HasValue = false;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    std::vector<Section> sections;
    std::vector<std::string> sectionNames;
    std::unordered_map<std::string, std::size_t> firstSection; // folded name -> index
};

// Folds ASCII and Windows-1251 Cyrillic letters to lower case, byte by byte,
// for comparisons without regard to case.
std::string FoldProfileCase(std::string_view bytes);
