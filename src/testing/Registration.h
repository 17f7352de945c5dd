#pragma once

#include "core/OleDate.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TCLTSession;

// The six registration fields in tab order; also the order of the required
// flags UserField1 .. UserField6.
enum class RegistrationField { Surname, FirstName, Patronymic, Group, Sex, BirthDate };

constexpr int RegistrationFieldCount = 6;

// Which fields must be filled in, from the preferences UserField1 .. UserField6.
// By default only surname and given name are required.
struct RequiredFields {
    std::array<bool, RegistrationFieldCount> Flags{true, true, false, false, false, false};

    bool operator[](RegistrationField field) const { return Flags[static_cast<size_t>(field)]; }
    bool &operator[](RegistrationField field) { return Flags[static_cast<size_t>(field)]; }
    bool operator==(const RequiredFields &) const = default;
};

// What the registration panel holds when "Продолжить" is pressed.
struct RegistrationInput {
    std::string Surname;
    std::string FirstName;
    std::string Patronymic;
    std::string Group; // text of the selected group, empty when none
    bool GroupSelected = false;
    int SexIndex = -1;     // 0 "Мужчина", 1 "Женщина", -1 none selected
    OleDate BirthDate = 0; // the picker's date
};

struct RegistrationProblem {
    RegistrationField Field; // where the input focus goes
    std::string Message;
};

// "Не заполнено поле Фамилия" ... one per field.
const std::string &MissingFieldMessage(RegistrationField field);

// Whole days between today and the birth date, without sign.
long long DaysFromToday(OleDate birthDate, OleDate today);

// Every failed check in the order they are made; the panel shows only the
// first, so a person meets the messages one at a time.
std::vector<RegistrationProblem> RegistrationProblems(const RegistrationInput &input, const RequiredFields &required,
                                                      OleDate today);
// The first failed check, or nothing when the registration can be accepted.
std::optional<RegistrationProblem> CheckRegistration(const RegistrationInput &input, const RequiredFields &required,
                                                     OleDate today);

// The birth date as stored: the date when it lies more than 180 and less
// than 40000 days in the past, otherwise 0 (not given).
OleDate StoredBirthDate(OleDate birthDate, OleDate today);

// Longest text a ShortText field of a session file holds, in Windows-1251 bytes
// (one byte per character); the name fields take at most this many characters.
constexpr std::size_t MaxShortTextLength = 255;

// A one-line text exactly as a ShortText field stores and reads it back:
// characters without a Windows-1251 byte become '?', control characters
// (tabs, line breaks, NUL, escape) a blank, and the text is cut after
// MaxShortTextLength characters. Copying this into a session keeps what is
// shown during the run equal to what is found in the file afterwards.
std::string AsStoredShortText(std::string_view text);

// Copies the person's details into the session, each text as stored, and
// refreshes its display name.
void CopyRegistration(const RegistrationInput &input, OleDate today, TCLTSession &session);
