#include "interpretation/StimulusSets.h"

#include "core/Cp1251.h"
#include "core/TSimpleFileStream.h"
#include "interpretation/StimulusProfileFile.h"
#include "testing/TestProcedure.h"

#include <unordered_set>

const char *const StimulusSetFileName = "StimulSet.ini";

namespace {

StimulusSets SetsOf(const StimulusProfileFile &profile)
{
    StimulusSets sets;
    std::unordered_set<std::string> seen;
    for (const auto &section : profile.SectionNames()) {
        if (!seen.insert(FoldProfileCase(section)).second)
            continue;
        const std::string name = profile.Value(section, "Name");
        const std::string values = profile.Value(section, "Values");
        if (name.empty() || values.empty())
            continue;
        sets.Names.push_back(Cp1251ToUtf8(name));
        sets.Values.push_back(Cp1251ToUtf8(values));
    }
    return sets;
}

} // namespace

StimulusSets ReadStimulusSets(std::string_view fileBytes) { return SetsOf(StimulusProfileFile(fileBytes)); }

StimulusSets LoadStimulusSets(const std::string &path) { return SetsOf(StimulusProfileFile::FromPath(path)); }

std::vector<std::string> SplitStimulusSet(std::string_view values)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < values.size()) {
        auto end = values.find(';', start);
        if (end == std::string_view::npos)
            end = values.size();
        if (end > start)
            words.emplace_back(values.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string StimulusSetText(std::string_view values)
{
    std::string text;
    for (const auto &word : SplitStimulusSet(values)) {
        if (!text.empty())
            text += "\r\n";
        text += word;
    }
    return text;
}

std::vector<std::string> SplitStimulusLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

bool StimulusListAccepted(const std::vector<std::string> &lines) { return lines.size() >= MinimumStimulusCount; }
