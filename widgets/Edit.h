#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;

// A framed single-line edit: a painted rectangle with a borderless edit field inside it.
class ZEdit : public QWidget
{
    Q_OBJECT

  public:
    explicit ZEdit(QWidget *parent = nullptr);
    ~ZEdit() override;

    QColor Border() const { return m_border; }
    void SetBorder(const QColor &color);

    // Face of the control and of the embedded field.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    // Top of the embedded field inside the frame.
    int EditTop() const { return m_editTop; }
    void SetEditTop(int top);

    // Also the embedded field's font.
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    QString Text() const;
    void SetText(const QString &text);

    // Frame shown over the edge while the embedded field has the keyboard focus: two pixels of
    // this colour and one white pixel inside them. An invalid colour (the default) shows none.
    QColor FocusBorder() const { return m_focusBorder; }
    void SetFocusBorder(const QColor &color);
    // Whether that frame is on screen now.
    bool FocusShown() const;

    // The embedded field (owned), e.g. for a maximum length or the focus.
    QLineEdit *Edit() const { return m_edit; }

    // Every change of the text, typed or set by the program; the sender is the embedded field.
    std::function<void(QLineEdit *)> OnChange;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void placeEdit();
    void styleEdit();
    void showFocus();

    QColor m_border = QColor(128, 128, 128);
    QColor m_color = QColor(255, 255, 255);
    int m_editTop = 4;
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    QLineEdit *m_edit = nullptr;
    QColor m_focusBorder;
    QWidget *m_focusFrame = nullptr;
};
