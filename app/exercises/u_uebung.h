#pragma once

#include <QByteArray>
#include <QPoint>
#include <QWidget>

// The exercise screen's slot in the main window. For now it loads the area's introduction
// text; the test lists and the tests themselves come later.
class TUebung : public QWidget
{
public:
    explicit TUebung(QWidget *parent = nullptr);

    void Initialize(); // loads "inhalt/uebung.dat" (once)
    void ShowScreen(); // show operation: "Lernprofil" appears in the bar
    void FrameMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);

    QByteArray IntroductionText() const { return introduction_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QByteArray introduction_;
    bool initialized_ = false;
};
