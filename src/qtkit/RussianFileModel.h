#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

// What Qt's own file dialog shows of the files, in Russian: sizes in "байт",
// "КБ", "МБ", "ГБ" with the decimal comma, and the kind of an entry
// ("Папка", "Файл TXT"), where Qt gives "KiB" and "Folder" whatever the
// translation installed.
class RussianFileModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override;

    static QString SizeText(qint64 bytes);
};

// Qt's own save dialog (the platform's may speak English), in Russian.
// Returns the chosen path, empty when cancelled.
QString AskSaveFileNameInRussian(QWidget *parent, const QString &caption, const QString &initialPath,
                                 const QString &filter);
