#include "results/ResultDetailPanels.h"

#include "interpretation/ShownText.h"
#include "qtkit/DateTimeText.h"
#include "results/ChoiceSwatches.h"
#include "results/CollapsiblePanel.h"
#include "results/SwatchPanel.h"
#include "testing/TestKinds.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int EightColourPanelHeight = 100;
constexpr int FullChoicesPanelHeight = 320;
constexpr int NoticePanelHeight = 30;
// Leaves the list and the conclusion tabs room for all their columns and tabs
// at the window's first size.
constexpr int SideBarWidth = 260;

// Wraps rather than widen the side bar past its width.
QLabel *heading(const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setWordWrap(true);
    return label;
}

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // Names and groups come from session files: never read as markup.
    label->setTextFormat(Qt::PlainText);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(0, 0, 0, 4);
    return label;
}

QPlainTextEdit *memo(const char *name, QWidget *parent)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The memo's own menu offers copying only, under the program's caption.
    auto *copy = new QAction(QStringLiteral("Копировать"), edit);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, edit, &QPlainTextEdit::copy);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [edit, copy](const QPoint &at) {
        copy->setEnabled(edit->textCursor().hasSelection());
        QMenu menu(edit);
        menu.addAction(copy);
        menu.exec(edit->viewport()->mapToGlobal(at));
    });
    return edit;
}
} // namespace

ResultDetailPanels::ResultDetailPanels(QWidget *parent) : QObject(parent)
{
    tabs = buildTabs(parent);
    sideBar = buildSideBar(parent);
    TeHeaderPanel2->SetRolled(true);
    TeHeaderPanel3->SetRolled(true);
}

QWidget *ResultDetailPanels::buildSideBar(QWidget *parent)
{
    auto *scroll = new QScrollArea(parent);
    scroll->setObjectName(QStringLiteral("sideBar"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedWidth(SideBarWidth);
    scroll->setFrameShape(QFrame::StyledPanel);

    auto *inner = new QWidget(scroll);
    auto *layout = new QVBoxLayout(inner);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);

    auto panel = [inner, layout](const char *name, const QString &caption) {
        auto *p = new CollapsiblePanel(caption, inner);
        p->setObjectName(QString::fromLatin1(name));
        // A long caption is cut at the side bar's edge (its tool tip holds it
        // whole) rather than push the swatches out of view.
        if (auto *header = p->findChild<QToolButton *>(QStringLiteral("header"))) {
            header->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            header->setToolTip(caption);
        }
        layout->addWidget(p);
        return p;
    };

    TeHeaderPanel2 = panel("TeHeaderPanel2", QStringLiteral("Тестируемый"));
    {
        QWidget *c = TeHeaderPanel2->Content();
        QVBoxLayout *l = TeHeaderPanel2->ContentLayout();
        labelResultsUserName = valueLabel("labelResultsUserName", c);
        labelResultsUserSexAge = valueLabel("labelResultsUserSexAge", c);
        labelResultsUserGroup = valueLabel("labelResultsUserGroup", c);
        l->addWidget(heading(QStringLiteral("Ф.И.О."), c));
        l->addWidget(labelResultsUserName);
        l->addWidget(heading(QStringLiteral("Пол, возраст"), c));
        l->addWidget(labelResultsUserSexAge);
        l->addWidget(heading(QStringLiteral("Группа"), c));
        l->addWidget(labelResultsUserGroup);
    }

    TeHeaderPanel3 = panel("TeHeaderPanel3", QStringLiteral("Сеанс тестирования"));
    {
        QWidget *c = TeHeaderPanel3->Content();
        QVBoxLayout *l = TeHeaderPanel3->ContentLayout();
        labelResultsSessionStarted = valueLabel("labelResultsSessionStarted", c);
        labelResultsSessionDuration = valueLabel("labelResultsSessionDuration", c);
        l->addWidget(heading(QStringLiteral("Сеанс тестирования начат"), c));
        l->addWidget(labelResultsSessionStarted);
        l->addWidget(heading(QStringLiteral("Продолжительность тестирования"), c));
        l->addWidget(labelResultsSessionDuration);
    }

    TeHeaderPanel4 = panel("TeHeaderPanel4", QStringLiteral("Выборы - 8-цветный субтест"));
    {
        QWidget *c = TeHeaderPanel4->Content();
        QVBoxLayout *l = TeHeaderPanel4->ContentLayout();
        auto swatches = [c](const char *name) {
            auto *p = new SwatchPanel(c);
            p->setObjectName(QString::fromLatin1(name));
            p->setFixedHeight(EightColourPanelHeight);
            return p;
        };
        panel8CChoices1 = swatches("panel8CChoices1");
        panel8CChoices2 = swatches("panel8CChoices2");
        l->addWidget(heading(QStringLiteral("Первый выбор"), c));
        l->addWidget(panel8CChoices1);
        l->addWidget(heading(QStringLiteral("Второй выбор"), c));
        l->addWidget(panel8CChoices2);
    }

    TeHeaderPanel5 = panel("TeHeaderPanel5", QStringLiteral("Выборы - Дополнительные субтесты"));
    {
        QWidget *c = TeHeaderPanel5->Content();
        panelFullChoices = new SwatchPanel(c);
        panelFullChoices->setObjectName(QStringLiteral("panelFullChoices"));
        panelFullChoices->setFixedHeight(FullChoicesPanelHeight);
        TeLabel28 = new QLabel(QStringLiteral("Исключительно для полного теста"), panelFullChoices);
        TeLabel28->setObjectName(QStringLiteral("TeLabel28"));
        QFont bold = TeLabel28->font();
        bold.setBold(true);
        TeLabel28->setFont(bold);
        TeLabel28->move(4, 7);
        TeLabel28->adjustSize();
        TeHeaderPanel5->ContentLayout()->addWidget(panelFullChoices);
    }
    layout->addStretch(1);

    // Wider than designed where the font needs it, so no heading is cut.
    int widest = 0;
    for (const QToolButton *header : inner->findChildren<QToolButton *>(QStringLiteral("header")))
        widest = std::max(widest, header->sizeHint().width());
    const QMargins margins = layout->contentsMargins();
    scroll->setFixedWidth(std::max(SideBarWidth,
                                   widest + margins.left() + margins.right() + 2 * scroll->frameWidth()
                                       + scroll->verticalScrollBar()->sizeHint().width()));

    connect(TeHeaderPanel4, &CollapsiblePanel::Rollup, this, &ResultDetailPanels::choicesPanelToggled);
    connect(TeHeaderPanel5, &CollapsiblePanel::Rollup, this, &ResultDetailPanels::choicesPanelToggled);
    connect(panel8CChoices1, &SwatchPanel::widthChanged, this, &ResultDetailPanels::choicesResized);
    connect(panelFullChoices, &SwatchPanel::widthChanged, this, &ResultDetailPanels::choicesResized);

    scroll->setWidget(inner);
    return scroll;
}

QTabWidget *ResultDetailPanels::buildTabs(QWidget *parent)
{
    auto *pages = new QTabWidget(parent);
    pages->setObjectName(QStringLiteral("TeSPageControl1"));
    memoResultsBriefSummary = memo("memoResultsBriefSummary", pages);
    memoResultsTotalSummary = memo("memoResultsTotalSummary", pages);
    memoResultsFactorSummary = memo("memoResultsFactorSummary", pages);
    pages->addTab(memoResultsBriefSummary, QStringLiteral("Краткое заключение"));
    pages->addTab(memoResultsTotalSummary, QStringLiteral("Подробное заключение"));
    pages->addTab(memoResultsFactorSummary, QStringLiteral("Дополнительные выводы"));
    pages->setMinimumHeight(80);
    return pages;
}

SwatchPanel *ResultDetailPanels::EightColourPanel(int choice) const
{
    return choice == 1 ? panel8CChoices1 : choice == 2 ? panel8CChoices2 : nullptr;
}

void ResultDetailPanels::AddPersonAction(QAction *action)
{
    auto *button = new QToolButton(TeHeaderPanel2->Content());
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    TeHeaderPanel2->ContentLayout()->addWidget(button, 0, Qt::AlignLeft);
}

void ResultDetailPanels::Show(TCLTSession &session)
{
    labelResultsUserName->setText(QString::fromStdString(session.FullName()));
    labelResultsUserSexAge->setText(QString::fromStdString(session.SexAgeText()));
    labelResultsUserGroup->setText(QString::fromStdString(session.Group));
    labelResultsSessionStarted->setText(FormatOleDateTime(session.StartedAt, dateTimeFormat));
    labelResultsSessionDuration->setText(DurationQText(session.DurationSeconds));
    DrawChoices(session);
    memoResultsBriefSummary->setPlainText(QString::fromStdString(ShownText(session.BriefConclusion)));
    memoResultsTotalSummary->setPlainText(QString::fromStdString(ShownText(session.DetailedConclusion)));
    memoResultsFactorSummary->setPlainText(QString::fromStdString(ShownText(session.AdditionalFindings)));
}

void ResultDetailPanels::ShowUnreadable(TCLTSession &session, const QString &why)
{
    Clear();
    labelResultsUserName->setText(QString::fromStdString(session.FullName()));
    labelResultsUserSexAge->setText(QString::fromStdString(session.SexAgeText()));
    labelResultsUserGroup->setText(QString::fromStdString(session.Group));
    labelResultsSessionStarted->setText(FormatOleDateTime(session.StartedAt, dateTimeFormat));
    labelResultsSessionDuration->setText(DurationQText(session.DurationSeconds));
    memoResultsBriefSummary->setPlainText(why);
    // Nothing is known of the choices, not even that they were of another test.
    TeLabel28->hide();
}

void ResultDetailPanels::DrawChoices(const TCLTSession &session)
{
    // A rolled-up panel is skipped; opening it asks for a redraw.
    if (!TeHeaderPanel4->Rolled()) {
        DrawEightColourChoice(*panel8CChoices1, session, 1, colours);
        DrawEightColourChoice(*panel8CChoices2, session, 2, colours);
    }
    if (!TeHeaderPanel5->Rolled())
        drawFullTest(session);
}

void ResultDetailPanels::drawFullTest(const TCLTSession &session)
{
    // Only the notice for other kinds: the panel shrinks to it rather than
    // leave the grid's height empty.
    if (session.TestKind != KindFull) {
        panelFullChoices->ClearDrawing();
        TeLabel28->show();
        panelFullChoices->setFixedHeight(NoticePanelHeight);
        return;
    }
    TeLabel28->hide();
    panelFullChoices->setFixedHeight(FullChoicesPanelHeight);
    DrawFullTestGrid(*panelFullChoices, session, colours);
}

void ResultDetailPanels::Clear()
{
    for (QLabel *label : {labelResultsUserName, labelResultsUserSexAge, labelResultsUserGroup,
                          labelResultsSessionStarted, labelResultsSessionDuration})
        label->clear();
    memoResultsBriefSummary->clear();
    memoResultsTotalSummary->clear();
    memoResultsFactorSummary->clear();
    panel8CChoices1->ClearDrawing();
    panel8CChoices2->ClearDrawing();
    panelFullChoices->ClearDrawing();
}

void ResultDetailPanels::RestorePlacement(QSettings &store)
{
    TeHeaderPanel2->SetRolled(store.value(QStringLiteral("TeHeaderPanel2.Rolled"), true).toBool());
    TeHeaderPanel3->SetRolled(store.value(QStringLiteral("TeHeaderPanel3.Rolled"), true).toBool());
    TeHeaderPanel4->SetRolled(store.value(QStringLiteral("TeHeaderPanel4.Rolled"), false).toBool());
    TeHeaderPanel5->SetRolled(store.value(QStringLiteral("TeHeaderPanel5.Rolled"), false).toBool());
}

void ResultDetailPanels::SavePlacement(QSettings &store) const
{
    store.setValue(QStringLiteral("TeHeaderPanel2.Rolled"), TeHeaderPanel2->Rolled());
    store.setValue(QStringLiteral("TeHeaderPanel3.Rolled"), TeHeaderPanel3->Rolled());
    store.setValue(QStringLiteral("TeHeaderPanel4.Rolled"), TeHeaderPanel4->Rolled());
    store.setValue(QStringLiteral("TeHeaderPanel5.Rolled"), TeHeaderPanel5->Rolled());
}
