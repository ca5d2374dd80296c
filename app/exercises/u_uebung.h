#pragma once

#include <QByteArray>
#include <QPoint>
#include <QWidget>

// The exercise screen: loads the area's introduction text.
class TUebung : public QWidget
{
    Q_OBJECT
public:
    explicit TUebung(QWidget *parent = nullptr);

    void Initialize(); // loads "inhalt/uebung.dat" (once)
    void ShowScreen(); // show operation: "Lernprofil" appears in the bar
    void FrameMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);

    QByteArray IntroductionText() const { return introduction_; }

signals:
    void barRequested(bool lernprofil, bool hilfe); // prepare the bar for this screen

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QByteArray introduction_;
    bool initialized_ = false;
};
