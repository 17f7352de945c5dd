#include "app/preferences/PreferencesPage.h"

#include "app/preferences/PasswordDialogs.h"
#include "app/preferences/ScreenCheckPage.h"
#include "app/testing/ColourSwatchPanel.h"
#include "app/window/ThemeEngine.h"
#include "qtkit/QtColour.h"
#include "qtkit/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {
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

PreferencesPage::PreferencesPage(ThemeEngine &theme, QWidget *parent) : QWidget(parent), theme(theme)
{
    BuildPage();
    ConnectControls();
}

void PreferencesPage::BuildPage()
{
    setObjectName(QStringLiteral("PreferencesPage"));

    // Users: groups and required fields.
    auto *groupUsers = new QGroupBox(QStringLiteral("Пользователи"), this);
    memoUserGroups = new QPlainTextEdit(groupUsers);
    memoUserGroups->setObjectName(QStringLiteral("memoUserGroups"));
    memoUserGroups->installEventFilter(this);
    memoUserGroups->setMinimumHeight(70);
    auto *required = new QLabel(QStringLiteral("Обязательные поля"), groupUsers);
    const std::array<QString, 6> fieldCaptions{QStringLiteral("Фамилия"),  QStringLiteral("Имя"),
                                               QStringLiteral("Отчество"), QStringLiteral("Группа"),
                                               QStringLiteral("Пол"),      QStringLiteral("Дата рождения")};
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
    auto *groupProtection = new QGroupBox(QStringLiteral("Защита"), this);
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
    auto *groupInterface = new QGroupBox(QStringLiteral("Интерфейс"), this);
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
    auto *groupTesting = new QGroupBox(QStringLiteral("Тестирование"), this);
    cbShowResultType = new QComboBox(groupTesting);
    cbShowResultType->setObjectName(QStringLiteral("cbShowResultType"));
    cbShowResultType->addItems(ShowResultTypeTexts());
    auto *testingLayout = new QFormLayout(groupTesting);
    testingLayout->addRow(QStringLiteral("По завершении тестирования"), cbShowResultType);
    // The next person must not find the last one's result on the screen.
    seIdleClearMinutes = new QSpinBox(groupTesting);
    seIdleClearMinutes->setObjectName(QStringLiteral("seIdleClearMinutes"));
    seIdleClearMinutes->setRange(IdleClearMinutesMin, IdleClearMinutesMax);
    seIdleClearMinutes->setSuffix(QStringLiteral(" мин бездействия"));
    // The station's screen, checked before a day of testing.
    auto *btnScreenCheck = new QPushButton(QStringLiteral("Проверка экрана..."), groupTesting);
    btnScreenCheck->setObjectName(QStringLiteral("btnScreenCheck"));
    connect(btnScreenCheck, &QPushButton::clicked, this, [this] { ScreenCheckPage(colours, this).exec(); });
    auto *idleRow = new QHBoxLayout;
    idleRow->addWidget(seIdleClearMinutes, 1);
    idleRow->addWidget(btnScreenCheck);
    testingLayout->addRow(QStringLiteral("Убирать результат с экрана через"), idleRow);

    // The printed report.
    auto *groupReport = new QGroupBox(QStringLiteral("Печатный отчет"), this);
    editExaminer = new QLineEdit(groupReport);
    editExaminer->setObjectName(QStringLiteral("editExaminer"));
    editExaminer->setMaxLength(MaxSignerLength);
    editExaminer->setPlaceholderText(QStringLiteral("не указывать"));
    editOrganisation = new QLineEdit(groupReport);
    editOrganisation->setObjectName(QStringLiteral("editOrganisation"));
    editOrganisation->setMaxLength(MaxSignerLength);
    editOrganisation->setPlaceholderText(QStringLiteral("не указывать"));
    // Each caption over its field, the two fields sharing the column's width.
    auto *reportLayout = new QGridLayout(groupReport);
    reportLayout->addWidget(new QLabel(QStringLiteral("Специалист (Ф.И.О.)"), groupReport), 0, 0);
    reportLayout->addWidget(editExaminer, 1, 0);
    reportLayout->addWidget(new QLabel(QStringLiteral("Организация"), groupReport), 0, 1);
    reportLayout->addWidget(editOrganisation, 1, 1);
    reportLayout->setColumnStretch(0, 2);
    reportLayout->setColumnStretch(1, 3);

    // Colours.
    auto *groupColours = new QGroupBox(QStringLiteral("Используемые цвета"), this);
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
    // One above the other, each the column's width: side by side the
    // testing group left the report's fields too narrow for a name. The
    // group memo gives up the height.
    left->addWidget(groupTesting);
    left->addWidget(groupReport);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addWidget(groupColours, 3);

    labelBrightnessValue->setNum(teTrackBar1->value());
    labelHueValue->setNum(teTrackBar2->value());
}

void PreferencesPage::ConnectControls()
{
    connect(cbTheme, &QComboBox::currentIndexChanged, this, &PreferencesPage::ThemeChosen);
    connect(teTrackBar1, &QSlider::valueChanged, this, [this](int value) {
        theme.SetBrightness(value);
        theme.Apply();
        emit Changed(PreferencesChange::Theme);
    });
    connect(teTrackBar2, &QSlider::valueChanged, this, [this](int value) {
        theme.SetSaturation(value);
        theme.Apply();
        emit Changed(PreferencesChange::Theme);
    });
    connect(checkProtectAdminMode, &QCheckBox::toggled, this, [this](bool checked) {
        btnSetAdminPassword->setEnabled(checked);
        emit Changed(PreferencesChange::Protection);
    });
    connect(btnSetAdminPassword, &QPushButton::clicked, this, &PreferencesPage::SetAdminPassword);
    for (QCheckBox *box : checkUserField)
        connect(box, &QCheckBox::toggled, this, [this] { emit Changed(PreferencesChange::RequiredFields); });
    connect(cbShowResultType, &QComboBox::currentIndexChanged, this,
            [this] { emit Changed(PreferencesChange::ResultType); });
    connect(seIdleClearMinutes, &QSpinBox::valueChanged, this, [this] { emit Changed(PreferencesChange::ResultType); });
    for (ColourSwatchPanel *panel : panels)
        connect(panel, &ColourSwatchPanel::SwatchClicked, this, &PreferencesPage::EditColour);
    for (QLineEdit *edit : {editExaminer, editOrganisation})
        connect(edit, &QLineEdit::textEdited, this, [this] { emit Changed(PreferencesChange::Signer); });
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

void PreferencesPage::Show(const Preferences &prefs)
{
    if (prefs.SetThemeByIndex || !theme.LoadThemeFile(prefs.ThemeFile))
        theme.SetThemeByIndex(prefs.ThemeIndex);
    theme.SetBrightness(prefs.ThemeBrightness);
    theme.SetSaturation(prefs.ThemeHue);
    theme.Apply();
    ShowTheme();

    // A box checked without a password would lock the administrator out at
    // the next start, so it shows as unchecked.
    adminPassword = prefs.AdminPassword;
    {
        const QSignalBlocker block(checkProtectAdminMode);
        checkProtectAdminMode->setChecked(ProtectionInEffect(prefs));
    }
    btnSetAdminPassword->setEnabled(checkProtectAdminMode->isChecked());

    {
        const QSignalBlocker block(memoUserGroups);
        memoUserGroups->setPlainText(UserGroupLines(prefs.UserGroups).join(QLatin1Char('\n')));
    }
    for (std::size_t i = 0; i < checkUserField.size(); ++i) {
        const QSignalBlocker block(checkUserField[i]);
        checkUserField[i]->setChecked(prefs.UserField[i]);
    }
    {
        const QSignalBlocker block(cbShowResultType);
        cbShowResultType->setCurrentIndex(prefs.ShowResultType);
    }
    {
        const QSignalBlocker block(seIdleClearMinutes);
        seIdleClearMinutes->setValue(prefs.IdleClearMinutes);
    }
    colours = prefs.Colours;
    for (ColourSwatchPanel *panel : panels)
        panel->ShowColours(colours);
    editExaminer->setText(prefs.Examiner);
    editOrganisation->setText(prefs.Organisation);
}

void PreferencesPage::ShowTheme()
{
    const QSignalBlocker b1(teTrackBar1);
    const QSignalBlocker b2(teTrackBar2);
    const QSignalBlocker b3(cbTheme);
    teTrackBar1->setValue(theme.Brightness());
    teTrackBar2->setValue(theme.Saturation());
    labelBrightnessValue->setNum(theme.Brightness());
    labelHueValue->setNum(theme.Saturation());
    int item = theme.Index();
    if (theme.FromFile()) {
        item = ThemeFileItem(theme.File());
        if (item < 0)
            item = AddThemeFileItem(theme.File());
    }
    cbTheme->setCurrentIndex(item);
}

void PreferencesPage::Collect(Preferences &prefs)
{
    prefs.SetThemeByIndex = !theme.FromFile();
    if (theme.FromFile())
        prefs.ThemeFile = theme.File();
    else
        prefs.ThemeIndex = std::max(theme.Index(), 0);
    prefs.ThemeBrightness = theme.Brightness();
    prefs.ThemeHue = theme.Saturation();

    prefs.AskAdminPassword = checkProtectAdminMode->isChecked();
    prefs.AdminPassword = adminPassword;

    if (memoUserGroups->toPlainText().trimmed().isEmpty()) {
        const QSignalBlocker block(memoUserGroups);
        memoUserGroups->setPlainText(DefaultUserGroup);
    }
    prefs.UserGroups = UserGroupsText(memoUserGroups->toPlainText());

    for (std::size_t i = 0; i < checkUserField.size(); ++i)
        prefs.UserField[i] = checkUserField[i]->isChecked();
    if (cbShowResultType->currentIndex() >= 0)
        prefs.ShowResultType = cbShowResultType->currentIndex();
    prefs.IdleClearMinutes = seIdleClearMinutes->value();
    prefs.Colours = colours;
    prefs.Examiner = editExaminer->text().trimmed();
    prefs.Organisation = editOrganisation->text().trimmed();
}

void PreferencesPage::ThemeChosen(int item)
{
    const QString file = cbTheme->itemData(item).toString();
    if (file.isEmpty()) {
        theme.SetThemeByIndex(item);
    } else if (!theme.LoadThemeFile(file)) {
        UserDialogs::Current().ShowWarning(this, QStringLiteral("Не удалось прочитать файл темы %1.").arg(file));
        const QSignalBlocker block(cbTheme);
        cbTheme->setCurrentIndex(theme.FromFile() ? ThemeFileItem(theme.File()) : theme.Index());
        return;
    }
    theme.Apply();
    emit Changed(PreferencesChange::Theme);
}

void PreferencesPage::SetAdminPassword()
{
    SetPassword(this, adminPassword);
    if (checkProtectAdminMode->isChecked() && adminPassword.isEmpty())
        checkProtectAdminMode->setChecked(false);
    emit Changed(PreferencesChange::Protection);
}

void PreferencesPage::EditColour(ColourTable table, int entry)
{
    const auto index = static_cast<std::size_t>(ColourIndex(table, entry));
    const auto chosen = UserDialogs::Current().AskColour(this, ToQColor(colours[index]));
    if (!chosen)
        return;
    colours[index] = FromQColor(*chosen);
    panels[static_cast<std::size_t>(table)]->ShowColours(colours);
    emit Changed(PreferencesChange::Colours);
}

bool PreferencesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memoUserGroups && event->type() == QEvent::FocusOut)
        emit Changed(PreferencesChange::UserGroups);
    return QWidget::eventFilter(watched, event);
}
