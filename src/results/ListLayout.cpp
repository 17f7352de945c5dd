#include "results/ListLayout.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSettings>
#include <QTableView>

namespace {
QString widthKey(const QTableView *list, int column)
{
    return list->objectName() + QStringLiteral("_ColWidth") + QString::number(column);
}
QString selectKey(const QTableView *list) { return list->objectName() + QStringLiteral("_SelectIndex"); }
} // namespace

void SaveListLayout(const QTableView *list, QSettings &store)
{
    if (!list || !list->model())
        return;
    const int columns = list->model()->columnCount();
    for (int i = 0; i < columns; ++i)
        store.setValue(widthKey(list, i + 1), list->columnWidth(i));
    const int row = SelectedRow(list);
    if (list->selectionMode() == QAbstractItemView::SingleSelection && row >= 0)
        store.setValue(selectKey(list), row);
}

void RestoreListLayout(QTableView *list, QSettings &store)
{
    if (!list || !list->model())
        return;
    const int columns = list->model()->columnCount();
    for (int i = 0; i < columns; ++i) {
        bool ok = false;
        const int width = store.value(widthKey(list, i + 1)).toInt(&ok);
        if (ok && width >= 0)
            list->setColumnWidth(i, width);
    }
    SelectRow(list, StoredRow(list, store));
}

int StoredRow(const QTableView *list, QSettings &store)
{
    bool ok = false;
    const int row = store.value(selectKey(list), 0).toInt(&ok);
    return ok && row >= 0 ? row : 0;
}

bool SelectRow(QTableView *list, int index)
{
    if (!list || !list->model() || !list->selectionModel())
        return false;
    const int rows = list->model()->rowCount();
    if (rows == 0 || index < 0 || index >= rows)
        return false;
    const QModelIndex target = list->model()->index(index, 0);
    list->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(target);
    return true;
}

int SelectedRow(const QTableView *list)
{
    if (!list || !list->selectionModel())
        return -1;
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}
