#pragma once

#include <QSortFilterProxyModel>
#include <QTimer>

#include <string>
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
    // reaches the row and forgotten at any change of the model's rows.
    mutable std::vector<std::string> names;
    mutable std::vector<bool> named;
    std::size_t nextToFold = 0;
    QTimer *folding = new QTimer(this);
};
