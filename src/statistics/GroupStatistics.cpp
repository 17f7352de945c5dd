#include "statistics/GroupStatistics.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace {

// Shortest text that reads back as the same double; null for NaN.
std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

// Builds one JSON object, member by member.
class JsonObject {
public:
    JsonObject &Add(const std::string &key, const std::string &raw)
    {
        text += (text.empty() ? "{" : ", ") + jsonString(key) + ": " + raw;
        return *this;
    }
    JsonObject &Number(const std::string &key, double value) { return Add(key, jsonNumber(value)); }
    JsonObject &Count(const std::string &key, std::size_t value) { return Add(key, std::to_string(value)); }
    std::string Take() { return text.empty() ? "{}" : text + '}'; }

private:
    std::string text;
};

template <typename Items, typename Write>
std::string jsonList(const Items &items, Write write)
{
    std::string out = "[";
    bool first = true;
    for (const auto &item : items) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        out += write(item);
    }
    return out + (first ? "]" : "\n  ]");
}

std::string coloursJson(const GroupStatistics &group)
{
    return jsonList(group.Colours, [](const ColourSummary &s) {
        return JsonObject()
            .Count("colour", static_cast<std::size_t>(s.Colour))
            .Count("n", s.N)
            .Number("mean_position", s.MeanPosition)
            .Number("median_position", s.MedianPosition)
            .Number("lower_quartile", s.LowerQuartile)
            .Number("upper_quartile", s.UpperQuartile)
            .Number("iqr", s.InterquartileRange)
            .Number("plus_share", s.PlusShare)
            .Number("minus_share", s.MinusShare)
            .Take();
    });
}

std::string tableJson(const PositionTable &table)
{
    std::string out = "[";
    for (int c = 0; c < StatColours; ++c) {
        out += c == 0 ? "[" : ", [";
        for (int p = 0; p < StatColours; ++p)
            out += (p == 0 ? "" : ", ") + std::to_string(table.Counts[c][p]);
        out += ']';
    }
    return out + ']';
}

std::string groupJson(const GroupStatistics &g)
{
    return JsonObject()
        .Count("n", g.Table.N)
        .Add("colours", coloursJson(g))
        .Number("friedman_chi2", g.Friedman.Chi2)
        .Number("friedman_p", g.Friedman.P)
        .Number("kendall_w", g.Friedman.KendallW)
        .Take();
}

std::string decimal(double value, const std::string &separator)
{
    if (!std::isfinite(value))
        return {};
    std::string text = jsonNumber(value);
    if (const auto point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, separator);
    return text;
}

} // namespace

GroupStatistics AnalyseGroup(const std::vector<StatisticsSession> &sessions, int choice)
{
    GroupStatistics g;
    g.Choice = choice;
    std::vector<double> rhos;
    for (const StatisticsSession &session : sessions) {
        const auto first = PositionsOfChoice(session, 1);
        const auto second = PositionsOfChoice(session, 2);
        const auto &positions = choice == 1 ? first : second;
        if ((choice == 1 || choice == 2) && positions)
            g.Table.Add(*positions);
        if (first && second)
            rhos.push_back(SpearmanRho(*first, *second));
    }
    g.Colours = SummariseColours(g.Table);
    g.Friedman = FriedmanAgreement(g.Table);
    g.Stability = SummariseStability(std::move(rhos));
    g.Intensity = SummariseIntensity(sessions, choice);
    g.Stimuli = CountStimulusColours(sessions);
    return g;
}

UserGroupsComparison CompareUserGroups(const std::vector<StatisticsSession> &sessions, int choice)
{
    UserGroupsComparison result;
    std::vector<PositionTable> tables;
    std::unordered_map<std::string, std::size_t> index;
    const std::string none;
    for (const StatisticsSession &session : sessions) {
        const auto positions = PositionsOfChoice(session, choice);
        if (!positions)
            continue;
        const std::string &group = session.Group ? *session.Group : none;
        auto [at, added] = index.try_emplace(group, tables.size());
        if (added) {
            tables.emplace_back();
            result.Names.push_back(group);
        }
        tables[at->second].Add(*positions);
    }
    for (const PositionTable &table : tables)
        result.Sizes.push_back(table.N);
    result.Colours = KruskalWallis(tables);
    return result;
}

StatisticsOutput AnalyseSelection(const std::vector<const TCLTSession *> &sessions,
                                  const std::vector<const TCLTSession *> *versus, int choice)
{
    const std::vector<StatisticsSession> second =
        versus ? StatisticsSessionsOf(*versus) : std::vector<StatisticsSession>();
    return AnalyseSelection(StatisticsSessionsOf(sessions), versus ? &second : nullptr, choice);
}

StatisticsOutput AnalyseSelection(const std::vector<StatisticsSession> &sessions,
                                  const std::vector<StatisticsSession> *versus, int choice)
{
    StatisticsOutput output;
    output.Group = AnalyseGroup(sessions, choice);
    if (versus) {
        output.Versus = AnalyseGroup(*versus, choice);
        output.Comparison = CompareGroups(output.Group.Table, output.Versus->Table);
        return output;
    }
    UserGroupsComparison groups = CompareUserGroups(sessions, choice);
    if (groups.Names.size() >= 3)
        output.UserGroups = std::move(groups);
    return output;
}

std::string StatisticsToJson(const StatisticsOutput &output)
{
    const GroupStatistics &g = output.Group;
    JsonObject root;
    root.Count("choice", static_cast<std::size_t>(g.Choice))
        .Count("n", g.Table.N)
        .Add("colours", coloursJson(g))
        .Add("position_counts", tableJson(g.Table))
        .Number("friedman_chi2", g.Friedman.Chi2)
        .Number("friedman_p", g.Friedman.P)
        .Number("kendall_w", g.Friedman.KendallW)
        .Add("stability",
             JsonObject()
                 .Count("n", g.Stability.N)
                 .Number("median", g.Stability.Median)
                 .Number("lower_quartile", g.Stability.LowerQuartile)
                 .Number("upper_quartile", g.Stability.UpperQuartile)
                 .Take());
    std::string distribution = "[";
    for (std::size_t i = 0; i < g.Intensity.Distribution.size(); ++i)
        distribution += (i == 0 ? "" : ", ") + std::to_string(g.Intensity.Distribution[i]);
    root.Add("intensity",
             JsonObject()
                 .Count("n", g.Intensity.N)
                 .Number("mean", g.Intensity.MeanIntensity)
                 .Number("mean_anxieties", g.Intensity.MeanAnxieties)
                 .Number("mean_compensations", g.Intensity.MeanCompensations)
                 .Add("distribution", distribution + ']')
                 .Take());
    root.Add("stimuli", jsonList(g.Stimuli, [](const StimulusColours &s) {
                 std::string passes = "[";
                 for (int pass = 0; pass < 2; ++pass) {
                     passes += pass == 0 ? "[" : ", [";
                     for (int c = 0; c < StatColours; ++c)
                         passes += (c == 0 ? "" : ", ") + std::to_string(s.Counts[pass][c]);
                     passes += ']';
                 }
                 return JsonObject()
                     .Add("stimulus", jsonString(s.Stimulus))
                     .Count("n", s.N)
                     .Add("colour_counts", passes + ']')
                     .Take();
             }));
    if (output.Comparison && output.Versus) {
        root.Count("n1", g.Table.N).Count("n2", output.Versus->Table.N);
        root.Add("versus", groupJson(*output.Versus));
        root.Add("comparison", jsonList(*output.Comparison, [](const ColourComparison &c) {
                     return JsonObject()
                         .Count("colour", static_cast<std::size_t>(c.Colour))
                         .Number("u", c.U)
                         .Number("p", c.P)
                         .Number("p_holm", c.PHolm)
                         .Number("rank_biserial", c.RankBiserial)
                         .Take();
                 }));
    }
    if (output.UserGroups) {
        std::vector<std::size_t> order(output.UserGroups->Names.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        const UserGroupsComparison &u = *output.UserGroups;
        root.Add("groups", jsonList(order, [&u](std::size_t i) {
                     return JsonObject().Add("group", jsonString(u.Names[i])).Count("n", u.Sizes[i]).Take();
                 }));
        root.Add("kruskal_wallis", jsonList(u.Colours, [](const ColourKruskalWallis &k) {
                     return JsonObject()
                         .Count("colour", static_cast<std::size_t>(k.Colour))
                         .Number("h", k.H)
                         .Number("p", k.P)
                         .Take();
                 }));
    }
    return root.Take() + '\n';
}

std::string StatisticsToCsv(const StatisticsOutput &output, char separator, const std::string &decimalSeparator)
{
    const bool compared = output.Comparison.has_value();
    const bool groups = output.UserGroups.has_value();
    std::vector<std::string> header = {"Colour",        "N",         "MeanPosition", "MedianPosition", "LowerQuartile",
                                       "UpperQuartile", "PlusShare", "MinusShare"};
    for (int p = 1; p <= StatColours; ++p)
        header.push_back("Position" + std::to_string(p));
    if (compared)
        for (const char *name : {"N2", "U", "P", "PHolm", "RankBiserial"})
            header.emplace_back(name);
    if (groups)
        for (const char *name : {"KruskalWallisH", "KruskalWallisP"})
            header.emplace_back(name);
    std::string out = "\xEF\xBB\xBF";
    const auto addRow = [&out, separator](const std::vector<std::string> &fields) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            out += (i == 0 ? "" : std::string(1, separator)) + fields[i];
        out += "\r\n";
    };
    addRow(header);
    const auto number = [&decimalSeparator](double value) { return decimal(value, decimalSeparator); };
    for (int c = 0; c < StatColours; ++c) {
        const ColourSummary &s = output.Group.Colours[c];
        std::vector<std::string> row = {std::to_string(c),        std::to_string(s.N),     number(s.MeanPosition),
                                        number(s.MedianPosition), number(s.LowerQuartile), number(s.UpperQuartile),
                                        number(s.PlusShare),      number(s.MinusShare)};
        for (int p = 0; p < StatColours; ++p)
            row.push_back(std::to_string(output.Group.Table.Counts[c][p]));
        if (compared) {
            const ColourComparison &m = (*output.Comparison)[c];
            row.insert(row.end(),
                       {std::to_string(m.N2), number(m.U), number(m.P), number(m.PHolm), number(m.RankBiserial)});
        }
        if (groups)
            row.insert(row.end(),
                       {number((*output.UserGroups).Colours[c].H), number((*output.UserGroups).Colours[c].P)});
        addRow(row);
    }
    return out;
}
