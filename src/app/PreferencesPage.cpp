#include "PreferencesPage.h"

#include "Preferences.h"
#include "QtColour.h"
#include "ThemeEngine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {
QString panelName(ColourTable table)
{
    switch (table) {
    case ColourTable::EightColour:
        return QStringLiteral("panelUsedColors");
    case ColourTable::Achromatic:
        return QStringLiteral("panelUsedBWColors");
    case ColourTable::Main:
        return QStringLiteral("panelUsedColors1");
    case ColourTable::Blue:
        return QStringLiteral("panelUsedColors2");
    case ColourTable::Green:
        return QStringLiteral("panelUsedColors3");
    case ColourTable::Yellow:
        return QStringLiteral("panelUsedColors4");
    case ColourTable::Red:
        return QStringLiteral("panelUsedColors5");
    }
    return {};
}

QSlider *trackBar(int low, int high, const QString &name, QWidget *parent)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(low, high);
    slider->setSingleStep(10);
    slider->setPageStep(20);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

// Shown order on the page: eight-colour, achromatic, then the four-colour tables.
constexpr std::array<ColourTable, ColourTableCount> pageOrder{
    ColourTable::EightColour, ColourTable::Achromatic, ColourTable::Main, ColourTable::Blue,
    ColourTable::Green,       ColourTable::Yellow,     ColourTable::Red};
} // namespace

ColourSwatchPanel::ColourSwatchPanel(ColourTable table, QWidget *parent) : QWidget(parent), table(table)
{
    setObjectName(panelName(table));
    setMinimumHeight(78);
    caption = new QLabel(QString::fromStdString(TableCaption(table)), this);
    caption->move(5, 3);
    for (int entry = 1; entry <= TableSize(table); ++entry) {
        auto *swatch = new QFrame(this);
        swatch->setObjectName(QStringLiteral("swatch%1").arg(entry));
        swatch->setFrameShape(QFrame::NoFrame);
        swatch->setAutoFillBackground(true);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        swatch->setToolTip(QStringLiteral("Щелкните, чтобы выбрать другой цвет"));
        swatches.push_back(swatch);
        auto *label = new QLabel(QString::fromStdString(SwatchLabel(table, entry)), this);
        labels.push_back(label);
    }
}

QRect ColourSwatchPanel::SwatchRect(int swatchCount, int k, int panelWidth, int panelHeight)
{
    int width = 0;
    if (swatchCount == 8)
        width = (panelWidth - 45) / 8;
    else if (swatchCount == 5)
        width = (panelWidth - 30) / 5;
    else
        width = (panelWidth - 25) / 4;
    return QRect(5 + k * (width + 5), 22, std::max(width, 1), std::max(panelHeight - 42, 1));
}

void ColourSwatchPanel::LayOut()
{
    caption->adjustSize();
    const int count = static_cast<int>(swatches.size());
    for (int k = 0; k < count; ++k) {
        const QRect rect = SwatchRect(count, k, width(), height());
        swatches[static_cast<std::size_t>(k)]->setGeometry(rect);
        QLabel *label = labels[static_cast<std::size_t>(k)];
        label->adjustSize();
        label->move(rect.center().x() + 1 - 2, rect.bottom() + 1 + 3);
    }
}

void ColourSwatchPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

bool ColourSwatchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        for (std::size_t i = 0; i < swatches.size(); ++i) {
            if (watched == swatches[i] && mouse->button() == Qt::LeftButton) {
                emit SwatchClicked(table, static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ColourSwatchPanel::ShowColours(const ColourSet &colours)
{
    for (std::size_t i = 0; i < swatches.size(); ++i) {
        const ColourValue value = colours[static_cast<std::size_t>(ColourIndex(table, static_cast<int>(i) + 1))];
        QPalette palette = swatches[i]->palette();
        palette.setColor(QPalette::Window, ToQColor(value));
        swatches[i]->setPalette(palette);
        swatches[i]->update();
    }
}

QWidget *ColourSwatchPanel::Swatch(int entry) const
{
    if (entry < 1 || entry > static_cast<int>(swatches.size()))
        return nullptr;
    return swatches[static_cast<std::size_t>(entry - 1)];
}

QColor ColourSwatchPanel::SwatchColour(int entry) const
{
    const QWidget *swatch = Swatch(entry);
    return swatch ? swatch->palette().color(QPalette::Window) : QColor();
}

PreferencesPage::PreferencesPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreferencesPage"));

    // Users: groups and required fields.
    groupUsers = new QGroupBox(QStringLiteral("Пользователи"), this);
    memoUserGroups = new QPlainTextEdit(groupUsers);
    memoUserGroups->setObjectName(QStringLiteral("memoUserGroups"));
    memoUserGroups->installEventFilter(this);
    memoUserGroups->setMinimumHeight(70);
    auto *required = new QLabel(QStringLiteral("Обязательные поля"), groupUsers);
    const std::array<QString, 6> fieldCaptions{QStringLiteral("Фамилия"), QStringLiteral("Имя"),
                                               QStringLiteral("Отчество"), QStringLiteral("Группа"),
                                               QStringLiteral("Пол"),     QStringLiteral("Дата рождения")};
    auto *fields = new QGridLayout;
    for (std::size_t i = 0; i < checkUserField.size(); ++i) {
        checkUserField[i] = new QCheckBox(fieldCaptions[i], groupUsers);
        checkUserField[i]->setObjectName(QStringLiteral("checkUserField%1").arg(i + 1));
        fields->addWidget(checkUserField[i], static_cast<int>(i % 3), static_cast<int>(i / 3));
    }
    auto *usersLayout = new QVBoxLayout(groupUsers);
    usersLayout->addWidget(new QLabel(QStringLiteral("Группы пользователей"), groupUsers));
    usersLayout->addWidget(memoUserGroups, 1);
    usersLayout->addWidget(required);
    usersLayout->addLayout(fields);

    // Protection.
    groupProtection = new QGroupBox(QStringLiteral("Защита"), this);
    checkProtectAdminMode = new QCheckBox(QStringLiteral("Защитить режим администратора паролем"), groupProtection);
    checkProtectAdminMode->setObjectName(QStringLiteral("checkProtectAdminMode"));
    btnSetAdminPassword = new QPushButton(QStringLiteral("Установить пароль..."), groupProtection);
    btnSetAdminPassword->setObjectName(QStringLiteral("btnSetAdminPassword"));
    btnSetAdminPassword->setEnabled(false);
    auto *protectionLayout = new QVBoxLayout(groupProtection);
    protectionLayout->addWidget(checkProtectAdminMode);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnSetAdminPassword);
    buttonRow->addStretch();
    protectionLayout->addLayout(buttonRow);

    // Interface.
    groupInterface = new QGroupBox(QStringLiteral("Интерфейс"), this);
    cbTheme = new QComboBox(groupInterface);
    cbTheme->setObjectName(QStringLiteral("cbTheme"));
    teTrackBar1 = trackBar(ThemeBrightnessMin, ThemeBrightnessMax, QStringLiteral("teTrackBar1"), groupInterface);
    teTrackBar2 = trackBar(ThemeHueMin, ThemeHueMax, QStringLiteral("teTrackBar2"), groupInterface);
    labelBrightnessValue = new QLabel(groupInterface);
    labelHueValue = new QLabel(groupInterface);
    for (QLabel *value : {labelBrightnessValue, labelHueValue}) {
        value->setMinimumWidth(30);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    connect(teTrackBar1, &QSlider::valueChanged, labelBrightnessValue,
            [this](int v) { labelBrightnessValue->setNum(v); });
    connect(teTrackBar2, &QSlider::valueChanged, labelHueValue, [this](int v) { labelHueValue->setNum(v); });
    auto *interfaceLayout = new QGridLayout(groupInterface);
    interfaceLayout->addWidget(new QLabel(QStringLiteral("Тема"), groupInterface), 0, 0);
    interfaceLayout->addWidget(cbTheme, 0, 1, 1, 2);
    interfaceLayout->addWidget(new QLabel(QStringLiteral("Яркость"), groupInterface), 1, 0);
    interfaceLayout->addWidget(teTrackBar1, 1, 1);
    interfaceLayout->addWidget(labelBrightnessValue, 1, 2);
    interfaceLayout->addWidget(new QLabel(QStringLiteral("Насыщенность"), groupInterface), 2, 0);
    interfaceLayout->addWidget(teTrackBar2, 2, 1);
    interfaceLayout->addWidget(labelHueValue, 2, 2);
    interfaceLayout->setColumnStretch(1, 1);

    // Testing.
    groupTesting = new QGroupBox(QStringLiteral("Тестирование"), this);
    cbShowResultType = new QComboBox(groupTesting);
    cbShowResultType->setObjectName(QStringLiteral("cbShowResultType"));
    cbShowResultType->addItems(ShowResultTypeTexts());
    auto *testingLayout = new QVBoxLayout(groupTesting);
    testingLayout->addWidget(new QLabel(QStringLiteral("По завершении тестирования"), groupTesting));
    testingLayout->addWidget(cbShowResultType);

    // Colours.
    groupColours = new QGroupBox(QStringLiteral("Используемые цвета"), this);
    auto *coloursLayout = new QVBoxLayout(groupColours);
    coloursLayout->setSpacing(2);
    for (ColourTable table : pageOrder) {
        auto *panel = new ColourSwatchPanel(table, groupColours);
        panels[static_cast<std::size_t>(table)] = panel;
        coloursLayout->addWidget(panel, 1);
    }

    auto *left = new QVBoxLayout;
    left->addWidget(groupUsers, 1);
    left->addWidget(groupProtection);
    left->addWidget(groupInterface);
    left->addWidget(groupTesting);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addWidget(groupColours, 3);

    labelBrightnessValue->setNum(teTrackBar1->value());
    labelHueValue->setNum(teTrackBar2->value());
}

void PreferencesPage::FillThemes(const QStringList &themeFiles)
{
    const QSignalBlocker block(cbTheme);
    cbTheme->clear();
    for (const QString &name : ThemeEngine::BuiltInNames())
        cbTheme->addItem(name, QString());
    for (const QString &path : themeFiles)
        AddThemeFileItem(path);
}

int PreferencesPage::ThemeFileItem(const QString &path) const
{
    for (int i = 0; i < cbTheme->count(); ++i) {
        const QString file = cbTheme->itemData(i).toString();
        if (!file.isEmpty() && QFileInfo(file) == QFileInfo(path))
            return i;
    }
    return -1;
}

int PreferencesPage::AddThemeFileItem(const QString &path)
{
    const QSignalBlocker block(cbTheme);
    cbTheme->addItem(QStringLiteral("Файл темы: ") + QFileInfo(path).completeBaseName(), path);
    return cbTheme->count() - 1;
}

QString PreferencesPage::ThemeFileOf(int item) const { return cbTheme->itemData(item).toString(); }

void PreferencesPage::ShowColours(const ColourSet &colours)
{
    for (ColourSwatchPanel *panel : panels)
        panel->ShowColours(colours);
}

ColourSwatchPanel *PreferencesPage::Panel(ColourTable table) const
{
    return panels[static_cast<std::size_t>(table)];
}

bool PreferencesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memoUserGroups && event->type() == QEvent::FocusOut)
        emit UserGroupsLeft();
    return QWidget::eventFilter(watched, event);
}
