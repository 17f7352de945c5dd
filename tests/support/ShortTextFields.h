#pragma once

// The session's texts that a file keeps after a one-byte length, so at most
// 255 bytes once in Windows-1251: every path that writes a session file is
// checked with each at 255 and 256 bytes, against what the readers give back.
#include "core/SessionArchive.h"
#include "core/SessionListFields.h"
#include "core/TSimpleFileStream.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

struct ShortTextField {
    const char *Name; // also its key in the session's JSON (a stimulus: in CtoItems)
    bool ListField;   // read by the list pass from the file's first bytes too
    std::string &(*Of)(TCLTSession &session);
};

inline const ShortTextField ShortTextFields[] = {
    {"Surname", true, [](TCLTSession &s) -> std::string & { return s.Surname; }},
    {"FirstName", true, [](TCLTSession &s) -> std::string & { return s.FirstName; }},
    {"Patronymic", true, [](TCLTSession &s) -> std::string & { return s.Patronymic; }},
    {"Group", true, [](TCLTSession &s) -> std::string & { return s.Group; }},
    {"StimulusName", false,
     [](TCLTSession &s) -> std::string & {
         if (s.CtoItems.Count() == 0)
             s.CtoItems.AddNew();
         return s.CtoItems[0].StimulusName;
     }},
};

// Lengths in Windows-1251 bytes: the last that fits whole, the first cut.
inline const std::size_t ShortTextLengths[] = {255, 256};

// A Cyrillic text of that many Windows-1251 bytes (twice as many in UTF-8),
// each field's own letter, its last letter another: a cut shows.
inline std::string ShortTextOf(std::size_t field, std::size_t bytes)
{
    static const char *const letters[] = {"ж", "ш", "щ", "ы", "ю"};
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes; ++i)
        text += letters[field % 5];
    return text + "я";
}

// What a file keeps of it: the first 255 bytes.
inline std::string StoredShortTextOf(std::size_t field, std::size_t bytes)
{
    return bytes <= 255 ? ShortTextOf(field, bytes) : ShortTextOf(field, 256).substr(0, 255 * 2);
}

// Reads the session file whole and by its list fields, and compares each
// field with what the file should keep of a text of that length.
inline void ExpectShortTextsKept(const std::string &path, std::size_t bytes)
{
    TCLTArchive read;
    ASSERT_TRUE(LoadSessionFile(path, read, SessionContext{})) << path;
    ASSERT_EQ(read.Count(), 1u);
    SessionListFields listed;
    std::uint64_t size = 0;
    TSimpleFileStream buffer;
    ASSERT_TRUE(ReadSessionListFields(path, listed, size, buffer)) << path;
    TCLTSession fromList;
    listed.ApplyTo(fromList);
    for (std::size_t f = 0; f < std::size(ShortTextFields); ++f) {
        const ShortTextField &field = ShortTextFields[f];
        SCOPED_TRACE(field.Name);
        EXPECT_EQ(field.Of(read[0]), StoredShortTextOf(f, bytes));
        if (field.ListField) {
            EXPECT_EQ(field.Of(fromList), StoredShortTextOf(f, bytes));
        }
    }
}
