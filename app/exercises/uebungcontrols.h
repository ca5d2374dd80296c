#pragma once

// Small parts of the exercise screen that the widget library does not paint: the plain text
// blocks of questions and answers, the tiles of the left-hand panel and the cloze text.

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

#include "testrun.h"

class QLabel;
class ZEdit;
class ZProgressBar;

// Plain text that wraps at word boundaries, left-aligned, at a fixed line pitch. The screen
// sizes its panel from LineCount().
class TTextBlock : public QWidget
{
  public:
    explicit TTextBlock(QWidget *parent = nullptr);

    QString Text() const { return text_; }
    void SetText(const QString &text);
    void SetFont(const QFont &font);
    QFont Font() const { return font_; }
    void SetColor(const QColor &color);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor &color);
    void SetLineHeight(int pixels);

    // Wrapped lines at the current width; an empty text is one empty line.
    QStringList Lines() const;
    int LineCount() const { return int(Lines().size()); }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString text_;
    QFont font_;
    QColor color_{255, 255, 255};
    QColor fontColor_{0, 0, 0};
    int lineHeight_ = 22;
};

// One test kind on the left-hand panel: grey frame, caption, description and the kind's bar.
// A click anywhere on it (caption and text included) opens its list.
class TTile : public QWidget
{
  public:
    TTile(const QString &caption, const QStringList &lines, QWidget *parent);

    QLabel *Caption = nullptr;
    QLabel *Text = nullptr;
    ZProgressBar *Bar = nullptr;

    std::function<void(TTile *)> OnClick;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    bool pressed_ = false;
};

// The cloze text as laid out: each word or gap run drawn where the layout put it, lines 22
// pixels apart, so that the gap boxes on top of it cover exactly their blanks.
class TClozeText : public QWidget
{
  public:
    explicit TClozeText(QWidget *parent = nullptr);

    void SetFont(const QFont &font);
    QFont Font() const { return font_; }
    void SetColor(const QColor &color);
    void SetFontColor(const QColor &color);

    void Clear();
    void SetLayout(const vellora::ClozeLayout &layout);
    // The lines of text as laid out (cp1252 bytes); empty after Clear().
    QList<QByteArray> Lines() const { return layout_.Lines; }
    const vellora::ClozeLayout &Layout() const { return layout_; }
    int TextWidth(const QByteArray &bytes) const;

    // The gap boxes on this text that the keyboard can reach, in reading order (line by line,
    // left to right): shown, enabled and not wholly cut off by the panel.
    QList<ZEdit *> ReachableGaps() const;

  protected:
    void paintEvent(QPaintEvent *event) override;
    // Tab and Shift+Tab in a gap box go to the next or previous reachable gap box and wrap
    // round at the ends, so the focus never leaves the gaps for a control out of sight.
    bool focusNextPrevChild(bool next) override;

  private:
    QFont font_;
    QColor color_{255, 255, 255};
    QColor fontColor_{0, 0, 0};
    vellora::ClozeLayout layout_;
};
