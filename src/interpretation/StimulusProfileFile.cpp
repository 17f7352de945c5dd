#include "interpretation/StimulusProfileFile.h"

#include <filesystem>
#include <fstream>
#include <utility>

namespace {

// Blanks as the Windows profile reader drops them (0x1A is the old end-of-file mark).
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names and values are handed out as C strings, so a NUL ends them.
std::string_view UpToNul(std::string_view text)
{
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::string CleanValue(std::string_view raw)
{
    std::string_view value = UpToNul(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > StimulusProfileFile::MaxValueLength)
        value = value.substr(0, StimulusProfileFile::MaxValueLength);
    return std::string(value);
}

} // namespace

std::string FoldProfileCase(std::string_view bytes)
{
    std::string folded(bytes);
    for (char &ch : folded) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z')
            ch = static_cast<char>(c + 0x20);
        else if (c >= 0xC0 && c <= 0xDF) // А..Я
            ch = static_cast<char>(c + 0x20);
        else if (c == 0xA8) // Ё
            ch = static_cast<char>(0xB8);
    }
    return folded;
}

StimulusProfileFile::StimulusProfileFile(std::string_view bytes)
{
    if (bytes.size() > MaxFileBytes)
        return;

    // Keys ahead of the first section belong to a nameless section that is
    // never listed and cannot be asked for by a name.
    sections.push_back(Section{});

    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = Trim(bytes.substr(start, end - start));
        start = end + 1;
        if (line.empty())
            continue;

        if (line.front() == '[') {
            const auto close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                Section section;
                section.Name = std::string(UpToNul(line.substr(1, close - 1)));
                if (!section.Name.empty()) {
                    sectionNames.push_back(section.Name);
                    firstSection.try_emplace(FoldProfileCase(section.Name), sections.size());
                }
                sections.push_back(std::move(section));
                continue;
            }
            // No "]": Windows reads the line as a key of the current section.
        }

        Entry entry;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.Key = std::string(UpToNul(line));
        } else {
            entry.Key = std::string(UpToNul(Trim(line.substr(0, equals))));
            entry.Value = CleanValue(Trim(line.substr(equals + 1)));
            entry.HasValue = true;
        }
        sections.back().Entries.push_back(std::move(entry));
    }
}

StimulusProfileFile StimulusProfileFile::FromPath(const std::string &path)
{
    // A device or pipe of that name could be read forever or block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    // Read one byte past the limit, so an oversized file is seen without
    // reading all of it.
    std::string bytes(MaxFileBytes + 1, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto got = file.gcount();
    if (got <= 0 || file.bad())
        return {};
    bytes.resize(static_cast<std::size_t>(got));
    return StimulusProfileFile(bytes);
}

std::string StimulusProfileFile::Value(std::string_view section, std::string_view key, std::string_view fallback) const
{
    const auto found = firstSection.find(FoldProfileCase(section));
    if (found == firstSection.end())
        return std::string(fallback);
    const std::string wanted = FoldProfileCase(Trim(key));
    for (const auto &entry : sections[found->second].Entries) {
        if (FoldProfileCase(entry.Key) == wanted)
            return entry.HasValue ? entry.Value : std::string(fallback);
    }
    return std::string(fallback);
}
