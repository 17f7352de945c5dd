#pragma once

#include <QWidget>

class QToolButton;
class QVBoxLayout;

// A header with a caption that rolls its content up or opens it.
class CollapsiblePanel : public QWidget {
    Q_OBJECT
public:
    explicit CollapsiblePanel(const QString &caption, QWidget *parent = nullptr);

    QVBoxLayout *ContentLayout() const { return contentLayout; }
    QWidget *Content() const { return content; }

    bool Rolled() const { return rolled; }
    // Emits Rollup only when the state changes.
    void SetRolled(bool value);

signals:
    void Rollup(bool rolled);

private:
    QToolButton *header;
    QWidget *content;
    QVBoxLayout *contentLayout;
    bool rolled = false;
};
