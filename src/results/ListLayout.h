#pragma once

class QSettings;
class QTableView;

// Column widths under <list name>_ColWidth<1-based column> and the selected
// row under <list name>_SelectIndex.
void SaveListLayout(const QTableView *list, QSettings &store);
// Widths from the store (the current width where none is stored), then the
// stored row (0 when none is stored) selected with SelectRow.
void RestoreListLayout(QTableView *list, QSettings &store);
// The stored row, 0 when none is stored.
int StoredRow(const QTableView *list, QSettings &store);

// Selects and focuses the row and scrolls it into view; false, doing
// nothing, when the list is absent or empty or the row lies outside it.
bool SelectRow(QTableView *list, int index);

// The selected row of a single-selection list, -1 when none.
int SelectedRow(const QTableView *list);
