#include "interpretation/Relations.h"

#include "core/NumberFormat.h"
#include "interpretation/EightColour.h"
#include "testing/ColourTables.h"

#include <cstddef>
#include <string_view>

namespace {

constexpr std::string_view CRLF = "\r\n";
constexpr char Quote = '"';

bool IsColourNumber(int colour) { return colour >= 0 && colour <= 7; }

int PositionOf(const TCLTSession &session, int choice, int colour)
{
    for (int p = 1; p <= 8; ++p) {
        if (ColourAt(session, choice, p) == colour)
            return p;
    }
    return 0;
}

// "3 - Красный": how every relations text names a colour.
std::string ColourLabel(int colour) { return std::to_string(colour) + " - " + ColourName(colour); }

void AppendQuoted(std::string &out, std::string_view name)
{
    out += Quote;
    out += name;
    out += Quote;
}

// Replaces the single "%d" of a fixed text; the texts are ours, never the
// person's, and every value goes in as plain data.
std::string WithNumber(std::string_view pattern, int value, std::string_view tail)
{
    std::string out;
    const auto at = pattern.find("%d");
    out += pattern.substr(0, at);
    out += std::to_string(value);
    out += pattern.substr(at + 2);
    out += tail;
    return out;
}

std::string Fixed(double value, std::string_view separator) { return FormatNumber(value, "%5.2f", separator); }

// Identification lines for colours 0..7, or the "none" sentence.
void AppendIdentifications(std::string &out, const TCLTSession &session, bool withColour)
{
    std::string lines;
    for (int colour = 0; colour <= 7; ++colour)
        lines += ListIdentifiedObjects(session, colour, withColour);
    if (lines.empty()) {
        out += "Однозначное пересечение цветоасоциаций не обнаружено.";
        out += CRLF;
    } else {
        out += lines;
    }
}

void AppendHead(std::string &out)
{
    out += "\r\nРезультат по Цветовому тесту отношений:\r\n";
    out += CRLF;
    out += "Эмоциональное отношение к значимым лицам и понятиям:";
    out += CRLF;
}

void AppendTail(std::string &out)
{
    out += "\r\n\r\n";
    out += "Результат по Цветовому тесту Люшера:";
    out += CRLF;
}

} // namespace

int RankScore(int rank)
{
    if (rank >= 1 && rank <= 3)
        return 1;
    if (rank >= 6 && rank <= 8)
        return -1;
    return 0;
}

int RelationSum(const TCTOChoiceItem &item)
{
    return RankScore(item.AssociationRank[1][1]) + RankScore(item.AssociationRank[1][2])
        + RankScore(item.AssociationRank[2][1]) + RankScore(item.AssociationRank[2][2]);
}

void FillAssociationRanks(TCLTSession &session)
{
    for (auto &item : session.CtoItems) {
        for (int a = 1; a <= 2; ++a) {
            for (int c = 1; c <= 2; ++c)
                item.AssociationRank[a][c] = PositionOf(session, c, item.AssociatedColour[a]);
        }
    }
}

RelationClass ClassifyRelation(const TCTOChoiceItem &item)
{
    const int scores[4] = {RankScore(item.AssociationRank[1][1]), RankScore(item.AssociationRank[1][2]),
                           RankScore(item.AssociationRank[2][1]), RankScore(item.AssociationRank[2][2])};
    int sum = 0;
    int positive = 0;
    int negative = 0;
    for (int score : scores) {
        sum += score;
        positive += score > 0 ? 1 : 0;
        negative += score < 0 ? 1 : 0;
    }

    RelationClass result;
    if (sum == 0 || (sum == -1 && positive == 0) || (sum == 1 && negative == 0)) {
        result.Label = "Нейтральное или равнодушное ";
    } else if (sum >= 2 && negative == 0) {
        result.Label = "Положительное ";
    } else if (sum <= -2 && positive == 0) {
        result.Label = "Негативное или конфликтное ";
    } else {
        result.Label = "Неоднозначное ";
        result.Ambiguous = true;
    }

    if (item.AssociatedColour[1] == item.AssociatedColour[2]) {
        result.Description = "Однозначно ассоциирован с цветом " + DescribeAssociation(item, 1);
    } else {
        result.Description =
            "Ассоциируется с цветами: " + DescribeAssociation(item, 1) + " и " + DescribeAssociation(item, 2);
    }
    return result;
}

std::string DescribeAssociation(const TCTOChoiceItem &item, int pass)
{
    const int colour = item.AssociatedColour[pass];
    const int r1 = item.AssociationRank[pass][1];
    const int r2 = item.AssociationRank[pass][2];

    std::string out;
    AppendQuoted(out, ColourLabel(colour));
    out += " (Ранг: ";
    out += std::to_string(r1);
    if (r1 != r2) {
        out += " -> ";
        out += std::to_string(r2);
    }
    out += ")";
    return out;
}

RelationList ListRelationsWithSum(const TCLTSession &session, int s)
{
    RelationList list;
    for (const auto &item : session.CtoItems) {
        if (RelationSum(item) != s)
            continue;
        if (list.Count > 0)
            list.Text += ", ";
        AppendQuoted(list.Text, item.StimulusName);
        ++list.Count;
    }
    return list;
}

std::string ListIdentifiedObjects(const TCLTSession &session, int colour, bool withColour)
{
    int count = 0;
    std::string names;
    for (const auto &item : session.CtoItems) {
        if (item.AssociatedColour[1] != colour || item.AssociatedColour[2] != colour)
            continue;
        if (count > 0)
            names += ", ";
        AppendQuoted(names, item.StimulusName);
        ++count;
    }
    if (count < 2)
        return {};

    std::string out = "Идентифицируемые объекты: " + names;
    if (withColour) {
        out += " (Цвет: " + ColourLabel(colour) + ");";
    } else {
        out += ";";
    }
    out += CRLF;
    return out;
}

int CountAssociations(const TCLTSession &session, int colour, bool bothPassesOnly)
{
    int count = 0;
    for (const auto &item : session.CtoItems) {
        if (bothPassesOnly && item.AssociatedColour[1] != item.AssociatedColour[2])
            continue;
        count += item.AssociatedColour[1] == colour ? 1 : 0;
        count += item.AssociatedColour[2] == colour ? 1 : 0;
    }
    return count;
}

int CountUsedColours(const TCLTSession &session)
{
    bool used[8] = {};
    for (const auto &item : session.CtoItems) {
        for (int a = 1; a <= 2; ++a) {
            const int colour = item.AssociatedColour[a];
            if (IsColourNumber(colour))
                used[colour] = true;
        }
    }
    int count = 0;
    for (bool u : used)
        count += u ? 1 : 0;
    return count;
}

std::string BuildBriefRelationsText(const TCLTSession &session)
{
    std::string out;
    AppendHead(out);

    bool any = false;
    for (const auto &item : session.CtoItems) {
        const RelationClass relation = ClassifyRelation(item);
        if (relation.Ambiguous)
            continue;
        any = true;
        out += relation.Label;
        out += " отношение к объекту ";
        AppendQuoted(out, item.StimulusName);
        out += ";";
        out += CRLF;
    }
    if (!any)
        out += "Выявленная информация неоднозначна.";

    out += CRLF;
    out += "Предположение об идентификации объектов:";
    out += CRLF;
    AppendIdentifications(out, session, false);

    AppendTail(out);
    return out;
}

std::string BuildDetailedRelationsText(const TCLTSession &session)
{
    return BuildDetailedRelationsText(session, session.Context.DecimalSeparator);
}

std::string BuildDetailedRelationsText(const TCLTSession &session, std::string_view separator)
{
    std::string out;
    AppendHead(out);

    for (const auto &item : session.CtoItems) {
        const RelationClass relation = ClassifyRelation(item);
        out += relation.Label;
        out += " отношение к объекту ";
        AppendQuoted(out, item.StimulusName);
        out += " (";
        out += relation.Description;
        out += ");";
        out += CRLF;
    }

    const RelationList positive = ListRelationsWithSum(session, 3);
    const RelationList negative = ListRelationsWithSum(session, -3);
    out += CRLF;
    if (positive.Count > 0 || negative.Count > 0) {
        out += "Акцентуированные отношения:";
        out += CRLF;
        if (positive.Count > 0)
            out += WithNumber("Выраженно позитивное отношение к %d объектам: ", positive.Count, positive.Text + "\r\n");
        if (negative.Count > 0)
            out += WithNumber("Выраженно негативное отношение к %d объектам: ", negative.Count, negative.Text + "\r\n");
    } else {
        out += "Акцентуированные отношения не обнаружены.";
        out += CRLF;
    }

    out += CRLF;
    out += "Предположение об идентификации объектов вследствие пересечения цветоассоциаций:";
    out += CRLF;
    AppendIdentifications(out, session, true);

    out += CRLF;
    out += "Сложность цветоассоциативных реакций:";
    out += CRLF;

    const int n = static_cast<int>(session.CtoItems.Count());
    const int used = CountUsedColours(session);
    // A session without stimuli (damaged data) would divide by zero; its
    // shares are written as 0 rather than as a meaningless number.
    auto share = [n](double part) { return n > 0 ? part / n : 0.0; };

    int unambiguous = 0;
    for (int colour = 0; colour <= 7; ++colour)
        unambiguous += CountAssociations(session, colour, true);

    out += "Тестируемому был предложен набор из " + std::to_string(n) + " (x2=" + std::to_string(2 * n)
        + ") стимулов.\r\n";
    out += "При цветоассоциировании было задействовано " + std::to_string(used) + " цветов.\r\n";
    out += "Отношение числа задействованных цветов к числу стимулов = " + Fixed(share(used), separator) + " ("
        + Fixed(share(used) / 2, separator) + ").\r\n";
    out += std::to_string(unambiguous / 2) + " из " + std::to_string(n)
        + " стимулов были однозначно ассоциированы с одним цветом.\r\n";

    for (int colour = 0; colour <= 7; ++colour) {
        const int total = CountAssociations(session, colour, false);
        const int equal = CountAssociations(session, colour, true);
        out += "Со цветом \"" + ColourLabel(colour) + "\" произведено " + std::to_string(total) + " из "
            + std::to_string(2 * n) + " ассоциаций (" + Fixed(share(total) / 2 * 100, separator) + "%), "
            + std::to_string(equal / 2) + " объектов (" + Fixed(share(equal) / 2 * 100, separator)
            + "%) ассоциированы однозначно;\r\n";
    }

    AppendTail(out);
    return out;
}
