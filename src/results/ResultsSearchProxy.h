#pragma once

#include <QSortFilterProxyModel>
#include <QTimer>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ResultsModel;

// What the results list shows of its model: the rows whose person matches the
// search text, in the order of the column the user sorted by (the archive's
// order until then). Rows keep their running numbers and their archive
// positions; map a shown row to the model's row before acting on it.
class ResultsSearchProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ResultsSearchProxy(ResultsModel &source, QObject *parent = nullptr);

    void SetSearchText(const QString &typed);
    bool Searching() const { return !key.empty(); }

    // The model's row behind a shown row, -1 when none; and back.
    int SourceRow(int row) const;
    int ShownRow(int sourceRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    // Rows folded in one slice of idle time: a few milliseconds' work.
    static constexpr std::size_t FoldSlice = 4000;
    // Folding starts once the rows have not changed for this long: while
    // the list fills, each slice would hold back the rows still to come.
    static constexpr int QuietMs = 150;
    void foldSome();

    ResultsModel &model;
    std::string key;
    // Each model row's name as searched, made at the first search that
    // reaches the row (or ahead of it) and forgotten at any change of the
    // model's rows. In one block: a string each cost 100,000 allocations.
    struct FoldedNames {
        std::string Text;
        std::vector<std::uint32_t> End; // of each row's name in Text; 0 until it is made
        std::vector<std::uint32_t> Start;
        void Clear();
        void Resize(std::size_t rows);
        bool Has(std::size_t row) const { return End[row] != 0; }
        void Set(std::size_t row, std::string_view name);
        std::string_view Get(std::size_t row) const;
    };
    mutable FoldedNames folded;
    std::size_t nextToFold = 0;
    QTimer *folding = new QTimer(this);
};
