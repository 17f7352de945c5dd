#include "testing/Registration.h"

#include "core/Cp1251.h"
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"

#include <cmath>

namespace {

const std::array<std::string, RegistrationFieldCount> missingMessages = {
    "Не заполнено поле Фамилия", "Не заполнено поле Имя", "Не заполнено поле Отчество",
    "Не заполнено поле Группа",  "Не заполнено поле Пол", "Не заполнено поле Дата рождения",
};

bool Missing(RegistrationField field, const RegistrationInput &input, OleDate today)
{
    switch (field) {
    case RegistrationField::Surname:
        return input.Surname.empty(); // a blank counts as content
    case RegistrationField::FirstName:
        return input.FirstName.empty();
    case RegistrationField::Patronymic:
        return input.Patronymic.empty();
    case RegistrationField::Group:
        return !input.GroupSelected;
    case RegistrationField::Sex:
        return input.SexIndex < 0;
    case RegistrationField::BirthDate:
        // A date in the future is no birth date, however far off it lies.
        return DaysFromToday(input.BirthDate, today) < 180 || input.BirthDate > today;
    }
    return false;
}

} // namespace

const std::string &MissingFieldMessage(RegistrationField field) { return missingMessages[static_cast<size_t>(field)]; }

long long DaysFromToday(OleDate birthDate, OleDate today)
{
    // The small allowance keeps a whole day whole despite floating-point noise.
    return static_cast<long long>(std::floor(std::fabs(today - birthDate) + 1e-6));
}

std::vector<RegistrationProblem> RegistrationProblems(const RegistrationInput &input, const RequiredFields &required,
                                                      OleDate today)
{
    std::vector<RegistrationProblem> problems;
    for (int i = 0; i < RegistrationFieldCount; ++i) {
        const auto field = static_cast<RegistrationField>(i);
        if (required[field] && Missing(field, input, today))
            problems.push_back({field, MissingFieldMessage(field)});
    }
    return problems;
}

std::optional<RegistrationProblem> CheckRegistration(const RegistrationInput &input, const RequiredFields &required,
                                                     OleDate today)
{
    auto problems = RegistrationProblems(input, required, today);
    if (problems.empty())
        return std::nullopt;
    return problems.front();
}

OleDate StoredBirthDate(OleDate birthDate, OleDate today)
{
    const long long days = DaysFromToday(birthDate, today);
    if (birthDate > 0 && birthDate <= today && days > 180 && days < 40000)
        return birthDate;
    return 0;
}

std::string AsStoredShortText(std::string_view text)
{
    std::string bytes = Utf8ToCp1251(text);
    if (bytes.size() > MaxShortTextLength)
        bytes.resize(MaxShortTextLength);
    for (char &c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        // 0x98 is the one C1 control that survives the conversion.
        if (b < 0x20 || b == 0x7F || b == 0x98)
            c = ' ';
    }
    return Cp1251ToUtf8(bytes);
}

void CopyRegistration(const RegistrationInput &input, OleDate today, TCLTSession &session)
{
    session.FirstName = AsStoredShortText(input.FirstName);
    session.Surname = AsStoredShortText(input.Surname);
    session.Patronymic = AsStoredShortText(input.Patronymic);
    session.Group = input.GroupSelected ? AsStoredShortText(input.Group) : std::string();
    session.Sex = (input.SexIndex == 0 || input.SexIndex == 1) ? static_cast<uint8_t>(input.SexIndex + 1) : 0;
    session.BirthDate = StoredBirthDate(input.BirthDate, today);
    session.UpdateDisplayName();
}
