#include "SessionJson.h"

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
    o["StartedAt"] = s.StartedAt;
    o["DurationSeconds"] = s.DurationSeconds;
    o["TestKind"] = s.TestKind;
    o["FirstName"] = text(s.FirstName);
    o["Surname"] = text(s.Surname);
    o["Patronymic"] = text(s.Patronymic);
    o["Group"] = text(s.Group);
    o["Sex"] = s.Sex;
    o["BirthDate"] = s.BirthDate;
    o["AchromaticChoice"] = array(s.AchromaticChoice);
    o["Choice"] = array(s.Choice);
    o["FunctionSign"] = array(s.FunctionSign);
    o["AcMark"] = array(s.AcMark);
    o["AcWeight"] = array(s.AcWeight);
    o["AcIntensity"] = array(s.AcIntensity);
    o["PairWins"] = array(s.PairWins);
    o["ShadeScore"] = array(s.ShadeScore);
    o["ShadeTendency"] = array(s.ShadeTendency);
    o["ShadeReserved"] = array(s.ShadeReserved);
    o["ReservedValue"] = s.ReservedValue;
    o["BriefConclusion"] = text(s.BriefConclusion);
    o["AdditionalFindings"] = text(s.AdditionalFindings);
    o["DetailedConclusion"] = text(s.DetailedConclusion);
    QJsonArray groups;
    for (const auto &g : s.FunctionGroups)
        groups.append(QJsonObject{{"FunctionCode", g->FunctionCode},
                                  {"FirstColour", g->FirstColour},
                                  {"SecondColour", g->SecondColour}});
    o["FunctionGroups"] = groups;
    QJsonArray items;
    for (const auto &item : s.CtoItems)
        items.append(QJsonObject{{"StimulusName", text(item->StimulusName)},
                                 {"AssociatedColour", array(item->AssociatedColour)},
                                 {"AssociationRank", array(item->AssociationRank)}});
    o["CtoItems"] = items;
    return o;
}

QJsonObject OutcomeToJson(const TCLTOutcome &e)
{
    return QJsonObject{{"EntryId", e.EntryId},
                       {"Kind", e.Kind},
                       {"Key1", e.Key1},
                       {"Key2", e.Key2},
                       {"Key3", e.Key3},
                       {"Key4", e.Key4},
                       {"RefNumber", e.RefNumber},
                       {"EightColourStars", e.EightColourStars},
                       {"FullTestStars", e.FullTestStars},
                       {"Percent", e.Percent},
                       {"BriefText", text(e.BriefText)},
                       {"PhysiologicalText", text(e.PhysiologicalText)},
                       {"PsychologicalText", text(e.PsychologicalText)},
                       {"HeadingText", text(e.HeadingText)},
                       {"SummaryText", text(e.SummaryText)},
                       {"PrimaryActionText", text(e.PrimaryActionText)},
                       {"PsychologicallyText", text(e.PsychologicallyText)},
                       {"Remark", text(e.Remark)},
                       {"TableRemark", text(e.TableRemark)}};
}

void SessionFromJson(const QJsonObject &o, TCLTSession &s)
{
    auto number = [&](const char *key, auto &field) {
        if (o.contains(key)) {
            if (!o[key].isDouble())
                wrongShape(key);
            field = static_cast<std::remove_reference_t<decltype(field)>>(o[key].toDouble());
        }
    };
    auto whole = [&](const char *key, int32_t &field) {
        if (o.contains(key))
            field = integer(o[key], key);
    };
    auto string = [&](const char *key, std::string &field) {
        if (o.contains(key)) {
            if (!o[key].isString())
                wrongShape(key);
            field = o[key].toString().toStdString();
        }
    };
    auto ints = [&](const char *key, auto &field) {
        if (o.contains(key))
            readArray(o[key], field, key);
    };
    number("StartedAt", s.StartedAt);
    whole("DurationSeconds", s.DurationSeconds);
    whole("TestKind", s.TestKind);
    string("FirstName", s.FirstName);
    string("Surname", s.Surname);
    string("Patronymic", s.Patronymic);
    string("Group", s.Group);
    if (o.contains("Sex")) {
        const int sex = integer(o["Sex"], "Sex");
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
        if (!o.contains(key))
            return;
        if (!o[key].isArray())
            wrongShape(key);
        list.Clear();
        for (const QJsonValue &v : o[key].toArray())
            fill(v.toObject(), list.AddNew());
    };
    items("FunctionGroups", s.FunctionGroups, [](const QJsonObject &g, TCLTFunctionGroup &group) {
        group.FunctionCode = integer(g["FunctionCode"], "FunctionCode");
        group.FirstColour = integer(g["FirstColour"], "FirstColour");
        group.SecondColour = integer(g["SecondColour"], "SecondColour");
    });
    items("CtoItems", s.CtoItems, [](const QJsonObject &i, TCTOChoiceItem &item) {
        if (!i["StimulusName"].isString())
            wrongShape("StimulusName");
        item.StimulusName = i["StimulusName"].toString().toStdString();
        if (i.contains("AssociatedColour"))
            readArray(i["AssociatedColour"], item.AssociatedColour, "AssociatedColour");
        if (i.contains("AssociationRank"))
            readArray(i["AssociationRank"], item.AssociationRank, "AssociationRank");
    });
}
