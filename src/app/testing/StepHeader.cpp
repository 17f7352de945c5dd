#include "app/testing/StepHeader.h"

#include "testing/TestProcedure.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

StepHeader::StepHeader(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("TePanel2"));
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(baseHeight);
    auto *header = new QVBoxLayout(this);
    header->setContentsMargins(8, 2, 8, 2);
    header->setSpacing(0);
    caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("TePanel2Caption"));
    caption->setTextFormat(Qt::PlainText);
    QFont captionFont = caption->font();
    captionFont.setBold(true);
    caption->setFont(captionFont);
    header->addWidget(caption);

    steps = new QWidget(this);
    steps->setObjectName(QStringLiteral("Panel100"));
    auto *lines = new QVBoxLayout(steps);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(1);
    stepNo = new QLabel(steps);
    stepNo->setObjectName(QStringLiteral("labelStepNo"));
    stepName = new QLabel(steps);
    stepName->setObjectName(QStringLiteral("labelStepName"));
    QFont nameFont = stepName->font();
    nameFont.setBold(true);
    stepName->setFont(nameFont);
    stepName->setStyleSheet(QStringLiteral("color: #c00000;"));
    stepDetails = new QLabel(steps);
    stepDetails->setObjectName(QStringLiteral("labelStepDetails"));
    stepDetails->setWordWrap(true);
    // Step texts carry the person's stimulus names: never read as markup.
    for (QLabel *label : {stepNo, stepName, stepDetails})
        label->setTextFormat(Qt::PlainText);
    stepDetails->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lines->addWidget(stepNo);
    lines->addWidget(stepName);
    lines->addWidget(stepDetails, 1);
    header->addWidget(steps, 1);
    steps->hide();
}

void StepHeader::SetCaption(const QString &text) { caption->setText(text); }

void StepHeader::SetBaseHeight(int pixels)
{
    baseHeight = pixels;
    Fit();
}

void StepHeader::ShowSteps(bool visible)
{
    steps->setVisible(visible);
    // The caption line gives way to the step labels while a test runs.
    caption->setVisible(!visible);
    Fit();
}

void StepHeader::SetStepTexts(const StepTexts &texts)
{
    stepNo->setText(QString::fromStdString(texts.Number));
    stepName->setText(QString::fromStdString(texts.Name));
    stepDetails->setText(QString::fromStdString(texts.Details));
    Fit();
}

void StepHeader::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Fit();
}

void StepHeader::Fit()
{
    // The header grows beyond its height when the details wrap to more lines
    // than fit, so no instruction is cut off on a narrow window. It is as
    // high as the longest instruction of the colour steps needs from the
    // start, so the tiles do not move when the repeat step's longer text comes.
    int height = baseHeight;
    if (!steps->isHidden()) {
        const QMargins m = layout()->contentsMargins();
        const int textWidth = std::max(width() - m.left() - m.right() - 2 * frameWidth(), 100);
        const QFontMetrics metrics(stepDetails->font());
        int detailsHeight = stepDetails->heightForWidth(textWidth);
        for (const std::string *text :
             {&StepCaptions::RepeatDetails, &StepCaptions::UnpleasantDetails, &StepCaptions::PleasantDetails})
            detailsHeight = std::max(
                detailsHeight,
                metrics.boundingRect(QRect(0, 0, textWidth, 100000), Qt::TextWordWrap, QString::fromStdString(*text))
                    .height());
        const int needed = m.top() + m.bottom() + 2 * frameWidth() + stepNo->sizeHint().height()
            + stepName->sizeHint().height() + detailsHeight + 2;
        height = std::max(height, needed);
    }
    setFixedHeight(height);
}
