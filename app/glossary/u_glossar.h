#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QWidget>

#include <array>

#include "glossaryfile.h"

class QLabel;
class TImage;
class TLabel;
class ZEdit;
class ZListBox;
class ZShadowPanel;

// The glossary screen: a search box and the list of matching titles on the left, the chosen
// entry's card (heading, text, picture) and its "Siehe auch:" row on the right, and "Zurück"
// while the pupil came from a link in the cell screen's text.
class TGlossar : public QWidget
{
    Q_OBJECT

  public:
    explicit TGlossar(QWidget *parent = nullptr);

    // Loads "inhalt/glossar.dat" once.
    void Initialize();
    // The entries to show (start-up loads them; tests give their own).
    void SetEntries(const QList<vellora::TGlossarEntry> &entries);
    const QList<vellora::TGlossarEntry> &Entries() const { return entries_; }

    void ShowGlossary();
    void ShowEntry(int n, bool withBack);
    void SearchChange();
    void SelectionChange();
    void LinkClick(TLabel *link);
    void BackClick();
    void FormKeyDown(int key); // Qt key code, forwarded by the main window
    void FrameMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);
    void ContentResize();
    void Container_SelectionResize();

    // Title match of the search: a prefix match in German dictionary folding (case ignored,
    // umlauts as their base letter, ß as ss) on both sides; the empty search matches everything.
    static bool TitleMatches(const QByteArray &search, const QByteArray &title);
    // The list a search shows: the entry number of its first row (-1 when nothing matches) and
    // how many entries from there on match in a row.
    struct SearchRun
    {
        int first = -1;
        int count = 0;
    };
    static SearchRun FindRun(const QList<vellora::TGlossarEntry> &entries, const QByteArray &search);

    // The five dark red shadow pictures of the cards.
    static QList<QImage> ShadowPictures();

    // The smallest font size of the see-also row; below it the row overflows to the right.
    static constexpr int kMinLinkPoints = 6;
    static constexpr int kMaxLinkPoints = 12;

    int First() const { return first_; }
    int ShownEntry() const { return shown_; } // -1: the card is empty
    bool BackShown() const;
    bool PictureShown() const { return pictureShown_; }
    int LinkPoints() const { return linkPoints_; }

    // Components, named as the form names them.
    ZShadowPanel *Container_Selection = nullptr;
    ZEdit *Search = nullptr;
    ZListBox *Selection = nullptr;
    QWidget *Container_Content = nullptr;
    ZShadowPanel *Content = nullptr;
    QLabel *Caption = nullptr;
    QWidget *Line = nullptr;
    TImage *Image = nullptr;
    QLabel *Text = nullptr;
    ZShadowPanel *Linkage = nullptr;
    QLabel *Label_Linkage = nullptr;
    std::array<TLabel *, vellora::kGlossarLinkCount> Link{};
    TLabel *Back = nullptr;

  signals:
    void barRequested(bool lernprofil, bool hilfe); // prepare the bar for this screen
    void areaRequested(int area);                   // "Zurück": switcher tag 1, the cell screen

  private:
    bool validEntry(int n) const { return n >= 0 && n < entries_.size(); }
    void clearPicture();
    // The picture of an entry, or a null image after telling standard error (once per file).
    QImage loadPicture(const vellora::TGlossarEntry &entry);
    void fitLinks();

    QList<vellora::TGlossarEntry> entries_;
    bool initialized_ = false;
    int first_ = -1;
    int shown_ = -1;
    bool pictureShown_ = false;
    int linkPoints_ = kMaxLinkPoints;
    QSet<QString> reportedPictures_;
};
