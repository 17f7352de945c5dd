#pragma once

#include "core/TOrvantaCollectionItem2.h"

#include <cstdint>
#include <string>
#include <string_view>

// One entry of the interpretation knowledge base.
class TCLTOutcome : public TOrvantaCollectionItem2 {
public:
    int32_t EntryId = 0;
    int32_t Kind = 0;
    int32_t Key1 = 0;
    int32_t Key2 = 0;
    int32_t Key3 = 0;
    int32_t Key4 = 0;
    int32_t RefNumber = 0;
    int32_t EightColourStars = 0;
    int32_t FullTestStars = 0;
    double Percent = 0;
    std::string BriefText;
    std::string PhysiologicalText;
    std::string PsychologicalText;
    std::string HeadingText;
    std::string SummaryText;
    std::string PrimaryActionText;
    std::string PsychologicallyText;
    std::string Remark;
    std::string TableRemark;

    void SaveToStream(TSimpleFileStream *stream) override;
    void LoadFromStream(TSimpleFileStream *stream) override;
};

using TCLTKnowledgeBase = TOrvantaCollection<TCLTOutcome>;

// Index of the first entry of that kind whose compared keys (two, three or
// four by kind) equal the values asked for; -1 when none does.
int LookupOutcome(const TCLTKnowledgeBase &base, int kind, int key1, int key2, int key3 = 0, int key4 = 0);

// Empty after trimming bytes 0x00..0x20 at both ends.
bool IsBlank(std::string_view text);

// Text formatters; the decimal separator is the user's.
std::string BriefEntryText(const TCLTOutcome &entry);
std::string DetailedEntryText(const TCLTOutcome &entry, std::string_view decimalSeparator);
std::string EntryDesignation(const TCLTOutcome &entry);
std::string BriefTableEntryText(const TCLTOutcome &entry);
std::string DetailedTableEntryText(const TCLTOutcome &entry, std::string_view decimalSeparator);
std::string MarkEntryText(const TCLTOutcome &entry, int32_t intensity);
