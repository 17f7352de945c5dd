#include "core/TCLTOutcome.h"
#include "core/TSimpleFileStream.h"

// The entry record, field by field as the file holds it.
void TCLTOutcome::SaveToStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    TSimpleFileStream &s = *stream;
    for (int32_t value : {EntryId, Kind, Key1, Key2, Key3, Key4, RefNumber, EightColourStars, FullTestStars})
        WriteInt32(s, value);
    WriteDouble(s, Percent);
    WriteText(s, BriefText, ShortTextMode);
    WriteText(s, PhysiologicalText, LongTextMode);
    WriteText(s, PsychologicalText, LongTextMode);
    WriteText(s, HeadingText, ShortTextMode);
    WriteText(s, SummaryText, ShortTextMode);
    WriteText(s, PrimaryActionText, LongTextMode);
    WriteText(s, PsychologicallyText, LongTextMode);
    WriteText(s, Remark, ShortTextMode);
    WriteText(s, TableRemark, ShortTextMode);
    WriteByte(s, 0);
}

void TCLTOutcome::LoadFromStream(TSimpleFileStream *stream)
{
    if (!stream)
        return;
    TSimpleFileStream &s = *stream;
    for (int32_t *field : {&EntryId, &Kind, &Key1, &Key2, &Key3, &Key4, &RefNumber, &EightColourStars, &FullTestStars})
        *field = ReadInt32(s);
    Percent = ReadDouble(s);
    BriefText = ReadShortText(s);
    PhysiologicalText = ReadLongText(s);
    PsychologicalText = ReadLongText(s);
    HeadingText = ReadShortText(s);
    SummaryText = ReadShortText(s);
    PrimaryActionText = ReadLongText(s);
    PsychologicallyText = ReadLongText(s);
    Remark = ReadShortText(s);
    TableRemark = ReadShortText(s);
    ReadByte(s);
}
