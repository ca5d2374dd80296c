#pragma once

#include <QList>
#include <QPoint>
#include <QWidget>

#include "glossaryfile.h"

// The glossary screen: loads the glossary file and remembers which entry was asked for.
class TGlossar : public QWidget
{
    Q_OBJECT
public:
    explicit TGlossar(QWidget *parent = nullptr);

    void Initialize(); // loads "inhalt/glossar.dat" (once)
    void ShowGlossary(); // show operation (bar per screen rules)
    void ShowEntry(int number, bool backButton); // called by the cell screen for a text link
    void FormKeyDown(int key);
    void FrameMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);

    const QList<vellora::TGlossarEntry> &Entries() const { return entries_; }
    int ShownEntry() const { return shown_; }
    bool BackShown() const { return back_; }

signals:
    void barRequested(bool lernprofil, bool hilfe); // prepare the bar for this screen

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<vellora::TGlossarEntry> entries_;
    bool initialized_ = false;
    int shown_ = -1;
    bool back_ = false;
};
