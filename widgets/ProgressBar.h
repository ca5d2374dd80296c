#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "zcontrol.h"

// Two-colour bar: ColorA for the part done, ColorB for the rest, a 1-pixel divider in Border
// between them; the percentage as tooltip.
class ZProgressBar : public QWidget
{
    Q_OBJECT

  public:
    explicit ZProgressBar(QWidget *parent = nullptr);
    ~ZProgressBar() override;

    QColor Border() const { return m_border; }
    void SetBorder(const QColor &color);

    // Face when Min = Max.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    QColor ColorA() const { return m_colorA; }
    void SetColorA(const QColor &color);

    QColor ColorB() const { return m_colorB; }
    void SetColorB(const QColor &color);

    int Max() const { return m_max; }
    void SetMax(int max);

    int Min() const { return m_min; }
    void SetMin(int min);

    int Pos() const { return m_pos; }
    void SetPos(int pos);

    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool show);

    // "50%"; empty when Min = Max.
    QString Hint() const { return m_hint; }

    // Column of the divider, or -1 when Min = Max.
    int DividerX() const;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    void changed();

    QColor m_border = QColor(0, 0, 0);
    QColor m_color = QColor(192, 192, 192);
    QColor m_colorA = QColor(0, 128, 0);
    QColor m_colorB = QColor(255, 255, 255);
    int m_max = 100;
    int m_min = 0;
    int m_pos = 0;
    bool m_showHint = false;
    QString m_hint = QStringLiteral("0%");
};
