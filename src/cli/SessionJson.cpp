#include "cli/SessionJson.h"

#include <QJsonArray>
#include <QString>

#include <stdexcept>

namespace {

QString text(const std::string &utf8) { return QString::fromStdString(utf8); }

template <int N>
QJsonArray array(const OneBased<int, N> &values)
{
    QJsonArray out;
    for (int v : values)
        out.append(v);
    return out;
}

template <int N, int M>
QJsonArray array(const OneBased<OneBased<int, M>, N> &rows)
{
    QJsonArray out;
    for (const auto &row : rows)
        out.append(array(row));
    return out;
}

[[noreturn]] void wrongShape(const char *key)
{
    throw std::runtime_error(std::string("\"") + key + "\" has the wrong shape");
}

int integer(const QJsonValue &value, const char *key)
{
    if (!value.isDouble())
        wrongShape(key);
    const double d = value.toDouble();
    // Range first: casting a double outside int is undefined.
    if (!(d >= -2147483648.0 && d <= 2147483647.0) || d != static_cast<double>(static_cast<int>(d)))
        wrongShape(key);
    return static_cast<int>(d);
}

template <int N>
void readArray(const QJsonValue &value, OneBased<int, N> &out, const char *key)
{
    const QJsonArray a = value.toArray();
    if (!value.isArray() || a.size() != N)
        wrongShape(key);
    for (int i = 1; i <= N; ++i)
        out[i] = integer(a[i - 1], key);
}

template <int N, int M>
void readArray(const QJsonValue &value, OneBased<OneBased<int, M>, N> &out, const char *key)
{
    const QJsonArray a = value.toArray();
    if (!value.isArray() || a.size() != N)
        wrongShape(key);
    for (int i = 1; i <= N; ++i)
        readArray(a[i - 1], out[i], key);
}

} // namespace

QJsonObject SessionToJson(const TCLTSession &s)
{
    QJsonObject o;
    o[QStringLiteral("StartedAt")] = s.StartedAt;
    o[QStringLiteral("DurationSeconds")] = s.DurationSeconds;
    o[QStringLiteral("TestKind")] = s.TestKind;
    o[QStringLiteral("FirstName")] = text(s.FirstName);
    o[QStringLiteral("Surname")] = text(s.Surname);
    o[QStringLiteral("Patronymic")] = text(s.Patronymic);
    o[QStringLiteral("Group")] = text(s.Group);
    o[QStringLiteral("Sex")] = s.Sex;
    o[QStringLiteral("BirthDate")] = s.BirthDate;
    o[QStringLiteral("AchromaticChoice")] = array(s.AchromaticChoice);
    o[QStringLiteral("Choice")] = array(s.Choice);
    o[QStringLiteral("FunctionSign")] = array(s.FunctionSign);
    o[QStringLiteral("AcMark")] = array(s.AcMark);
    o[QStringLiteral("AcWeight")] = array(s.AcWeight);
    o[QStringLiteral("AcIntensity")] = array(s.AcIntensity);
    o[QStringLiteral("PairWins")] = array(s.PairWins);
    o[QStringLiteral("ShadeScore")] = array(s.ShadeScore);
    o[QStringLiteral("ShadeTendency")] = array(s.ShadeTendency);
    o[QStringLiteral("ShadeReserved")] = array(s.ShadeReserved);
    o[QStringLiteral("ReservedValue")] = s.ReservedValue;
    o[QStringLiteral("BriefConclusion")] = text(s.BriefConclusion);
    o[QStringLiteral("AdditionalFindings")] = text(s.AdditionalFindings);
    o[QStringLiteral("DetailedConclusion")] = text(s.DetailedConclusion);
    QJsonArray groups;
    for (const auto &g : s.FunctionGroups)
        groups.append(QJsonObject{{QStringLiteral("FunctionCode"), g.FunctionCode},
                                  {QStringLiteral("FirstColour"), g.FirstColour},
                                  {QStringLiteral("SecondColour"), g.SecondColour}});
    o[QStringLiteral("FunctionGroups")] = groups;
    QJsonArray items;
    for (const auto &item : s.CtoItems)
        items.append(QJsonObject{{QStringLiteral("StimulusName"), text(item.StimulusName)},
                                 {QStringLiteral("AssociatedColour"), array(item.AssociatedColour)},
                                 {QStringLiteral("AssociationRank"), array(item.AssociationRank)}});
    o[QStringLiteral("CtoItems")] = items;
    return o;
}

QJsonObject OutcomeToJson(const TCLTOutcome &e)
{
    return QJsonObject{{QStringLiteral("EntryId"), e.EntryId},
                       {QStringLiteral("Kind"), e.Kind},
                       {QStringLiteral("Key1"), e.Key1},
                       {QStringLiteral("Key2"), e.Key2},
                       {QStringLiteral("Key3"), e.Key3},
                       {QStringLiteral("Key4"), e.Key4},
                       {QStringLiteral("RefNumber"), e.RefNumber},
                       {QStringLiteral("EightColourStars"), e.EightColourStars},
                       {QStringLiteral("FullTestStars"), e.FullTestStars},
                       {QStringLiteral("Percent"), e.Percent},
                       {QStringLiteral("BriefText"), text(e.BriefText)},
                       {QStringLiteral("PhysiologicalText"), text(e.PhysiologicalText)},
                       {QStringLiteral("PsychologicalText"), text(e.PsychologicalText)},
                       {QStringLiteral("HeadingText"), text(e.HeadingText)},
                       {QStringLiteral("SummaryText"), text(e.SummaryText)},
                       {QStringLiteral("PrimaryActionText"), text(e.PrimaryActionText)},
                       {QStringLiteral("PsychologicallyText"), text(e.PsychologicallyText)},
                       {QStringLiteral("Remark"), text(e.Remark)},
                       {QStringLiteral("TableRemark"), text(e.TableRemark)}};
}

void SessionFromJson(const QJsonObject &o, TCLTSession &s)
{
    auto number = [&](const char *key, auto &field) {
        if (o.contains(QLatin1String(key))) {
            if (!o[QLatin1String(key)].isDouble())
                wrongShape(key);
            field = static_cast<std::remove_reference_t<decltype(field)>>(o[QLatin1String(key)].toDouble());
        }
    };
    auto whole = [&](const char *key, int32_t &field) {
        if (o.contains(QLatin1String(key)))
            field = integer(o[QLatin1String(key)], key);
    };
    auto string = [&](const char *key, std::string &field) {
        if (o.contains(QLatin1String(key))) {
            if (!o[QLatin1String(key)].isString())
                wrongShape(key);
            field = o[QLatin1String(key)].toString().toStdString();
        }
    };
    auto ints = [&](const char *key, auto &field) {
        if (o.contains(QLatin1String(key)))
            readArray(o[QLatin1String(key)], field, key);
    };
    number("StartedAt", s.StartedAt);
    whole("DurationSeconds", s.DurationSeconds);
    whole("TestKind", s.TestKind);
    string("FirstName", s.FirstName);
    string("Surname", s.Surname);
    string("Patronymic", s.Patronymic);
    string("Group", s.Group);
    if (o.contains(QLatin1String("Sex"))) {
        const int sex = integer(o[QLatin1String("Sex")], "Sex");
        if (sex < 0 || sex > 255)
            wrongShape("Sex");
        s.Sex = static_cast<uint8_t>(sex);
    }
    number("BirthDate", s.BirthDate);
    ints("AchromaticChoice", s.AchromaticChoice);
    ints("Choice", s.Choice);
    ints("FunctionSign", s.FunctionSign);
    ints("AcMark", s.AcMark);
    ints("AcWeight", s.AcWeight);
    ints("AcIntensity", s.AcIntensity);
    ints("PairWins", s.PairWins);
    ints("ShadeScore", s.ShadeScore);
    ints("ShadeTendency", s.ShadeTendency);
    ints("ShadeReserved", s.ShadeReserved);
    whole("ReservedValue", s.ReservedValue);
    string("BriefConclusion", s.BriefConclusion);
    string("AdditionalFindings", s.AdditionalFindings);
    string("DetailedConclusion", s.DetailedConclusion);
    // A list given replaces the session's own, one item per object.
    auto items = [&](const char *key, auto &list, auto fill) {
        if (!o.contains(QLatin1String(key)))
            return;
        if (!o[QLatin1String(key)].isArray())
            wrongShape(key);
        list.Clear();
        for (const QJsonValue &v : o[QLatin1String(key)].toArray())
            fill(v.toObject(), list.AddNew());
    };
    items("FunctionGroups", s.FunctionGroups, [](const QJsonObject &g, TCLTFunctionGroup &group) {
        group.FunctionCode = integer(g[QLatin1String("FunctionCode")], "FunctionCode");
        group.FirstColour = integer(g[QLatin1String("FirstColour")], "FirstColour");
        group.SecondColour = integer(g[QLatin1String("SecondColour")], "SecondColour");
    });
    items("CtoItems", s.CtoItems, [](const QJsonObject &i, TCTOChoiceItem &item) {
        if (!i[QLatin1String("StimulusName")].isString())
            wrongShape("StimulusName");
        item.StimulusName = i[QLatin1String("StimulusName")].toString().toStdString();
        if (i.contains(QLatin1String("AssociatedColour")))
            readArray(i[QLatin1String("AssociatedColour")], item.AssociatedColour, "AssociatedColour");
        if (i.contains(QLatin1String("AssociationRank")))
            readArray(i[QLatin1String("AssociationRank")], item.AssociationRank, "AssociationRank");
    });
}
