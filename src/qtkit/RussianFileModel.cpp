#include "qtkit/RussianFileModel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>

namespace {
enum Column { NameColumn = 0, SizeColumn = 1, TypeColumn = 2 };
}

QString RussianFileModel::SizeText(qint64 bytes)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const char *units[] = {"КБ", "МБ", "ГБ", "ТБ"};
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" байт");
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return russian.toString(value, 'f', value < 10 ? 1 : 0) + QLatin1Char(' ') + QString::fromUtf8(units[unit]);
}

QVariant RussianFileModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || (index.column() != SizeColumn && index.column() != TypeColumn))
        return QIdentityProxyModel::data(index, role);
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!files)
        return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    if (index.column() == SizeColumn)
        return info.isDir() ? QString() : SizeText(info.size());
    if (info.isDir())
        return info.isRoot() ? QStringLiteral("Диск") : QStringLiteral("Папка");
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("Файл") : QStringLiteral("Файл ") + suffix.toUpper();
}

QString AskSaveFileNameInRussian(QWidget *parent, const QString &caption, const QString &initialPath,
                                 const QString &filter)
{
    QFileDialog dialog(parent, caption, initialPath, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setProxyModel(new RussianFileModel(&dialog));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Сохранить"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
