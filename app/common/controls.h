#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

// Small form controls of the shell windows that the widget library does not paint.

// A picture box: draws its picture stretched to its size or centred, and reports clicks.
class TImage : public QWidget
{
  public:
    explicit TImage(QWidget *parent = nullptr);

    const QPixmap &Picture() const { return picture_; }
    void SetPicture(const QPixmap &picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    void SetColor(const QColor &color);
    // A 1-pixel frame drawn over the picture's edge; invalid (the default) draws none.
    void SetBorder(const QColor &color);

    std::function<void(TImage *)> OnClick;
    std::function<void(TImage *, int, int)> OnMouseMove;
    std::function<void(TImage *, int, int)> OnMouseDown;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

  private:
    QPixmap picture_;
    QColor color_;
    QColor border_;
    bool stretch_ = false;
};

// A caption with click, mouse-enter and mouse-leave events and a free integer tag.
class TLabel : public QLabel
{
  public:
    explicit TLabel(const QString &caption = {}, QWidget *parent = nullptr);

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    // Font and text colour in one go; pixel size as the forms give it.
    void SetFontColor(const QColor &color);

    std::function<void(TLabel *)> OnClick;
    std::function<void(TLabel *)> OnMouseEnter;
    std::function<void(TLabel *)> OnMouseLeave;

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    int tag_ = 0;
};

// A plain multi-line text box that cannot be edited, focused or scrolled: the text wraps at
// word boundaries and every line is centred. LineCount() counts the wrapped lines at the
// current width, as the windows' height rules need it.
class TPlainMemo : public QWidget
{
  public:
    explicit TPlainMemo(QWidget *parent = nullptr);

    QString Text() const { return text_; }
    void SetText(const QString &text);
    QFont Font() const { return font_; }
    void SetFont(const QFont &font);
    void SetColor(const QColor &color);
    void SetFontColor(const QColor &color);
    // Distance between line tops; 0 uses the font's line spacing.
    void SetLineHeight(int pixels);
    int LineHeight() const;

    int LineCount() const;
    // The wrapped lines themselves (tests and layout checks).
    QStringList Lines() const;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString text_;
    QFont font_;
    QColor color_{255, 255, 255};
    QColor fontColor_{0, 0, 0};
    int lineHeight_ = 0;
};

namespace vellora {
// Trebuchet MS (substituted) at a pixel size, as the forms give their fonts.
QFont formFont(int pixelSize, bool bold = false, const QString &family = QStringLiteral("Trebuchet MS"));
// Text with CR LF line breaks as plain-text paragraphs.
QString plainLines(const QString &text);
} // namespace vellora
