#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

#include <cstddef>

class QLabel;
class HelpLauncher;

// What the about window tells of this installation.
struct AboutFacts {
    QString KnowledgeBaseFile;
    std::size_t EntriesLoaded = 0;
    QString DataFolder;
    QString KnowledgeBaseProblem; // why the file was not read whole; empty when it was or is missing
};

// "О программе": the program, its version and build date, the knowledge base
// in use, the data folder, the licence, the developer's site and mail.
class TformAbout : public QDialog {
    Q_OBJECT
public:
    // Over the main window (parent): the licence and the links open through
    // its help, which must outlive the dialog.
    TformAbout(const AboutFacts &facts, HelpLauncher &help, QWidget *parent);
    TformAbout(const AboutFacts &facts, QWidget *parent);

    // The text shown, without markup.
    QString Text() const;

signals:
    // "лицензионного соглашения" was clicked; the window has closed.
    void licenceRequested();
    // The site or the mail address was clicked.
    void linkRequested(const QUrl &url);

private:
    QLabel *text;
};
