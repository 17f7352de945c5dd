#include "core/TCLTOutcome.h"

#include "core/NumberFormat.h"

#include <algorithm>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

// How many keys a lookup of this kind compares.
int ComparedKeys(int kind)
{
    if (kind == 8)
        return 3;
    if (kind >= 9 && kind <= 13)
        return 4;
    return 2;
}

// A damaged knowledge base may hold any count; a real entry has a handful of
// stars, so more than MaxStars are not drawn (they would need gigabytes).
constexpr int32_t MaxStars = 20;

std::string Stars(int32_t count, char star)
{
    return count > 0 ? std::string(static_cast<std::size_t>(std::min(count, MaxStars)), star) : std::string();
}

// Two interpretation texts: both with their labels, or the one present alone.
void AppendPair(std::string &text, const std::string &first, std::string_view firstLabel,
                const std::string &second, std::string_view secondLabel)
{
    if (!first.empty() && !second.empty()) {
        text += "\r\n";
        text += firstLabel;
        text += first;
        text += "\r\n";
        text += secondLabel;
        text += second;
    } else if (!first.empty()) {
        text += "\r\n" + first;
    } else if (!second.empty()) {
        text += "\r\n" + second;
    }
}

} // namespace

int LookupOutcome(const TCLTKnowledgeBase &base, int kind, int key1, int key2, int key3, int key4)
{
    const int keys = ComparedKeys(kind);
    for (std::size_t i = 0; i < base.Count(); ++i) {
        const TCLTOutcome &e = base[i];
        if (e.Kind != kind || e.Key1 != key1 || e.Key2 != key2)
            continue;
        if (keys >= 3 && e.Key3 != key3)
            continue;
        if (keys >= 4 && e.Key4 != key4)
            continue;
        return static_cast<int>(i);
    }
    return -1;
}

bool IsBlank(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) > 0x20)
            return false;
    return true;
}

std::string BriefEntryText(const TCLTOutcome &entry)
{
    std::string text;
    if (!IsBlank(entry.BriefText))
        text = entry.BriefText;
    if (!IsBlank(entry.PhysiologicalText))
        text += "\r\n" + entry.PhysiologicalText;
    if (!IsBlank(entry.PsychologicalText))
        text += "\r\n" + entry.PsychologicalText;
    return text;
}

std::string DetailedEntryText(const TCLTOutcome &entry, std::string_view decimalSeparator)
{
    static const char *const firstSigns[] = {"", "+", "*", "=", "-", "+"};
    static const char *const secondSigns[] = {"", "+", "*", "=", "-", "-"};
    const bool known = entry.Kind >= 1 && entry.Kind <= 5;
    std::string text = known ? firstSigns[entry.Kind] : "";
    text += std::to_string(entry.Key1);
    if (entry.Kind > 4 || entry.Key1 != entry.Key2) {
        text += known ? secondSigns[entry.Kind] : "";
        text += std::to_string(entry.Key2);
    }
    if (!entry.BriefText.empty())
        text += "\r\n" + entry.BriefText;
    if (!entry.Remark.empty())
        text += " (" + entry.Remark + ")";
    if (entry.Percent > 0) {
        text += " (Статистика: ";
        text += FormatNumber(entry.Percent, "0.0", decimalSeparator);
        text += " % " + Stars(entry.EightColourStars, '*') + ")";
    }
    AppendPair(text, entry.PhysiologicalText, "Физиологическая интерпретация: ", entry.PsychologicalText,
               "Психологическая интерпретация: ");
    return text;
}

std::string EntryDesignation(const TCLTOutcome &entry)
{
    std::string text;
    if (entry.RefNumber > 0)
        text = "(" + std::to_string(entry.RefNumber) + ")";
    switch (entry.Kind) {
    case 1: case 5: case 8: text += " +"; break;
    case 2: text += " *"; break;
    case 3: text += " ="; break;
    case 4: text += " -"; break;
    case 14: text += entry.Key1 > 0 ? " +" : " "; break;
    case -4: text += " "; break;
    default: break;
    }
    text += std::to_string(entry.Key1);
    if (entry.Kind > 4 || entry.Key1 != entry.Key2) {
        switch (entry.Kind) {
        case 1: case 8: text += " +"; break;
        case 2: text += " *"; break;
        case 3: text += " ="; break;
        case 4: case 5: text += " -"; break;
        case 14: text += entry.Key2 > 0 ? " +" : " "; break;
        case 15: text += " : "; break;
        case -4: text += " "; break;
        default: break;
        }
        text += std::to_string(entry.Key2);
    }
    if (entry.Kind >= 8 && entry.Kind <= 13) {
        if (entry.Kind == 8)
            text += " -";
        text += std::to_string(entry.Key3);
    }
    if (entry.Kind >= 9 && entry.Kind <= 13)
        text += std::to_string(entry.Key4);
    return text;
}

std::string BriefTableEntryText(const TCLTOutcome &entry)
{
    std::string text;
    if (!IsBlank(entry.HeadingText))
        text = entry.HeadingText;
    for (const std::string *part : {&entry.PrimaryActionText, &entry.PsychologicallyText, &entry.SummaryText})
        if (!IsBlank(*part))
            text += "\r\n" + *part;
    return text;
}

std::string DetailedTableEntryText(const TCLTOutcome &entry, std::string_view decimalSeparator)
{
    std::string text = EntryDesignation(entry);
    const std::string stars = Stars(entry.FullTestStars, '*');
    if (entry.Percent == 0 && entry.FullTestStars > 0)
        text += " " + stars;
    if (!entry.HeadingText.empty())
        text += "\r\n" + entry.HeadingText;
    if (entry.Percent > 0) {
        const std::string percent = FormatNumber(entry.Percent, "0.0", decimalSeparator);
        if (text.empty())
            text = "Статистика: " + percent + " %" + (stars.empty() ? "" : " " + stars);
        else if (!stars.empty())
            text += " (Статистика: " + percent + " % " + stars + ")";
        else
            text += " (Статистика: " + percent + " %)";
    }
    AppendPair(text, entry.PrimaryActionText, "Первичное действие: ", entry.PsychologicallyText,
               "Психологически: ");
    if (!entry.TableRemark.empty())
        text += " (" + entry.TableRemark + ")";
    if (!entry.SummaryText.empty())
        text += entry.Kind == 14 ? "\r\n" + entry.SummaryText : "\r\nКратко: " + entry.SummaryText;
    return text;
}

std::string MarkEntryText(const TCLTOutcome &entry, int32_t intensity)
{
    std::string text = entry.Kind == 6 ? "+" : entry.Kind == 7 ? "-" : "";
    text += std::to_string(entry.Key1);
    text += entry.Kind == 6 ? " (C" : entry.Kind == 7 ? " (A" : "";
    if (intensity > 0)
        text += " " + Stars(intensity, '!');
    text += ")\r\n";
    if (!entry.PsychologicallyText.empty())
        text += entry.PsychologicallyText;
    return text;
}
// clang-format on
