#include "core/TCLTSession.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

TCLTSession::TCLTSession(OleDate now, OleDate today) : StartedAt(now), BirthDate(DatePart(today))
{
    Context.Today = DatePart(today);
    for (int i = 1; i <= 4; ++i)
        ShadeTendency[i] = i;
}

double AgeOn(OleDate birthDate, OleDate today)
{
    if (birthDate == 0)
        return 0;
    // The span is taken without sign, so a future birth date also ages.
    const double span = std::fabs(DatePart(today) - birthDate);
    const double days = std::trunc(span);
    if (days <= 180 || days >= 40000)
        return 0;
    const double months = std::trunc(span / 30.4375);
    return months / 12.0;
}

void TCLTSession::ComputeAge() { Age = AgeOn(BirthDate, Context.Today); }

std::string TCLTSession::FullName() const
{
    std::string name = Surname + " " + FirstName;
    if (!Patronymic.empty())
        name += " " + Patronymic;
    return name;
}

namespace {

std::string SexWord(uint8_t sex)
{
    switch (sex) {
    case 1:
        return "Мужчина";
    case 2:
        return "Женщина";
    default:
        return "";
    }
}

std::string sexAgeText(uint8_t sex, double age, const std::string &decimalSeparator)
{
    std::string s = SexWord(sex);
    if (age <= 0)
        return s;
    const std::string a = FormatNumber(age, "#.#", decimalSeparator) + " лет";
    return s.empty() ? a : s + ", " + a;
}

// Stored values kept as they are, only narrowed with saturation: a value
// outside the byte's range stays outside every valid range.
std::int8_t narrowed(int value)
{
    return static_cast<std::int8_t>(
        std::clamp<int>(value, std::numeric_limits<std::int8_t>::min(), std::numeric_limits<std::int8_t>::max()));
}

} // namespace

std::string TCLTSession::SexAgeText()
{
    ComputeAge();
    return sexAgeText(Sex, Age, Context.DecimalSeparator);
}

std::string DisplayNameOf(const DisplayNameParts &parts, const std::string &decimalSeparator)
{
    std::string name;
    name.reserve(parts.Surname.size() + parts.FirstName.size() + parts.Patronymic.size() + parts.Group.size() + 40);
    name.append(parts.Surname).append(" ").append(parts.FirstName);
    if (!parts.Patronymic.empty())
        name.append(" ").append(parts.Patronymic);
    const std::string sexAge = sexAgeText(parts.Sex, parts.Age, decimalSeparator);
    if (!sexAge.empty())
        name.append(" (").append(sexAge).append(")");
    if (!parts.Group.empty())
        name.append(", ").append(parts.Group);
    return name;
}

void TCLTSession::UpdateDisplayName()
{
    ComputeAge();
    DisplayName = DisplayNameOf({FirstName, Surname, Patronymic, Group, Sex, Age}, Context.DecimalSeparator);
}

int TCLTSession::CountAnxieties(int choice) const
{
    int count = 0;
    for (int p = 6; p <= 8; ++p)
        count += AcMark[choice][p] == 1;
    return count;
}

int TCLTSession::CountCompensations(int choice) const
{
    int count = 0;
    for (int p = 1; p <= 3; ++p)
        count += AcMark[choice][p] == 2;
    return count;
}

int TCLTSession::AmbivalentPosition(int position) const
{
    if (TestKind == 1)
        return -1;
    if (Choice[1][position] == Choice[2][7])
        return 7;
    if (Choice[1][position] == Choice[2][8])
        return 8;
    return -1;
}

bool TCLTSession::ChoicesIdentical() const { return TestKind != 1 && Choice[1] == Choice[2]; }

bool TCTOChoiceItem::IsEqualTo(const TOrvantaCollectionItem2 *other) const
{
    const auto *item = dynamic_cast<const TCTOChoiceItem *>(other);
    return item != nullptr && item->StimulusName == StimulusName && item->AssociatedColour == AssociatedColour
        && item->AssociationRank == AssociationRank;
}

bool TCLTFunctionGroup::IsEqualTo(const TOrvantaCollectionItem2 *other) const
{
    const auto *group = dynamic_cast<const TCLTFunctionGroup *>(other);
    return group != nullptr && group->FunctionCode == FunctionCode && group->FirstColour == FirstColour
        && group->SecondColour == SecondColour;
}

SessionFigures TCLTSession::Figures() const
{
    SessionFigures figures;
    for (int c = 1; c <= 2; ++c) {
        for (int p = 1; p <= 8; ++p)
            figures.Choice[c - 1][p - 1] = narrowed(Choice[c][p]);
        figures.Intensity[c - 1] = narrowed(AcIntensity[c]);
        figures.Anxieties[c - 1] = static_cast<std::uint8_t>(CountAnxieties(c));
        figures.Compensations[c - 1] = static_cast<std::uint8_t>(CountCompensations(c));
    }
    return figures;
}
