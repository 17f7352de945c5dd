#include "KnowledgeBaseFile.h"

#include "TSimpleFileStream.h"

#include <filesystem>
#include <memory>

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

bool LoadKnowledgeBase(const std::string &path, TCLTKnowledgeBase &base)
{
    static const std::string scrambledSignature = Scramble("Color Test Data");
    TSimpleFileStream stream;
    if (!TSimpleFileStream::ReadRegularFile(path, stream, scrambledSignature, MaxDataFileBytes))
        return false;
    stream.Take(scrambledSignature.size());
    ReadInt32(stream);
    ReadDateTime(stream);
    ReadByte(stream);
    const int32_t count = ReadInt32(stream);
    // A damaged count (near 2^31) still keeps every whole entry before the
    // end of the data: each entry takes at least 70 bytes, so the loop stops
    // at the end of the file with an error, not after 2^31 turns. An entry cut
    // off by that end is dropped rather than kept half-read.
    for (int32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<TCLTOutcome>();
        entry->LoadFromStream(&stream);
        base.Add(std::move(entry));
    }
    ReadByte(stream);
    return true;
}
