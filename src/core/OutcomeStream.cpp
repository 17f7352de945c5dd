#include "TCLTOutcome.h"
#include "TSimpleFileStream.h"

#include <filesystem>

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

bool LoadKnowledgeBase(const std::string &path, TCLTKnowledgeBase &base)
{
    TSimpleFileStream stream;
    if (!TSimpleFileStream::ReadRegularFile(path, stream))
        return false;
    if (stream.Remaining() < 15 || ReadBareText(stream, 15) != "Color Test Data")
        return false;
    ReadInt32(stream);
    ReadDateTime(stream);
    ReadByte(stream);
    const int32_t count = ReadInt32(stream);
    // The smallest entry: nine Int32, a Double, five empty short texts, four
    // empty long texts and the end byte.
    constexpr std::size_t minEntryBytes = 9 * 4 + 8 + 5 + 4 * 4 + 1;
    if (count > 0 && static_cast<uint64_t>(count) * minEntryBytes > stream.Remaining())
        throw StreamError("entry count beyond the end of " + path);
    for (int32_t i = 0; i < count; ++i)
        base.AddNew().LoadFromStream(&stream);
    ReadByte(stream);
    return true;
}
