#include "results/ResultsFixture.h"

#include "results/ListLayout.h"
#include "results/ResultsModel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>

QString ResultsPageFixture::LabelText(const char *name) const { return Find<QLabel>(name)->text(); }

QString ResultsPageFixture::MemoText(const char *name) const { return Find<QPlainTextEdit>(name)->toPlainText(); }

int ResultsPageFixture::Selected() const { return SelectedRow(page->Grid()); }

QStringList ResultsPageFixture::Numbers() const
{
    QStringList numbers;
    ResultsModel *model = page->Model();
    for (int row = 0; row < model->rowCount(); ++row)
        numbers << model->data(model->index(row, 0), Qt::DisplayRole).toString();
    return numbers;
}

QStringList ResultsPageFixture::Names() const
{
    QStringList names;
    ResultsModel *model = page->Model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const std::optional<ListedRow> session = model->RowAt(row);
        names << (session ? QString::fromStdString(std::string(session->Surname)) : QStringLiteral("<none>"));
    }
    return names;
}
