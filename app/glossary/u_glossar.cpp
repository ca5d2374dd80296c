#include "u_glossar.h"

#include "Edit.h"
#include "ListBox.h"
#include "ShadowPanel.h"
#include "base/colorref.h"
#include "base/cp1252.h"
#include "base/germanorder.h"
#include "base/programfolder.h"
#include "base/rounding.h"
#include "controls.h"
#include "errorbox.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

#include <cstdio>

using vellora::colorRef;
using vellora::TGlossarEntry;

namespace {

constexpr int kInk = 4210752; // heading, text and links
constexpr int kHighlight = 13092807;

// The whole face in fixed colours, also while the card is disabled (its children take no input
// but must not look greyed).
void setColours(QWidget *w, const QColor &text, const QColor &background)
{
    QPalette pal = w->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::WindowText, text);
        pal.setColor(group, QPalette::Text, text);
        pal.setColor(group, QPalette::Window, background);
        pal.setColor(group, QPalette::Base, background);
    }
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// Link fonts are given in points; the program measures at 96 dpi.
QFont linkFont(int points)
{
    return vellora::formFont(vellora::roundHalfEven(points * 96.0 / 72.0));
}

// Text with CR LF line breaks as the label shows it.
QString plainText(const QByteArray &cp1252)
{
    QString s = vellora::fromCp1252(cp1252);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

} // namespace

TGlossar::TGlossar(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setColours(this, colorRef(kInk), colorRef(vellora::kMaroon));

    Container_Selection = new ZShadowPanel(this);
    Container_Selection->setGeometry(0, 0, 220, 580);
    Container_Selection->SetBackground(colorRef(vellora::kMaroon));
    Container_Selection->SetColor(colorRef(vellora::kSilver));
    Container_Selection->SetMarginLeft(5);
    Container_Selection->SetMarginTop(5);
    Container_Selection->SetMarginRight(0);
    Container_Selection->SetMarginBottom(2);
    Container_Selection->SetShadowImages(ShadowPictures());
    Container_Selection->OnResize = [this](ZShadowPanel *) { Container_SelectionResize(); };

    Search = new ZEdit(Container_Selection);
    Search->setGeometry(10, 10, 200, 30);
    Search->SetBorder(colorRef(vellora::kGrey));
    Search->SetColor(colorRef(vellora::kWhite));
    Search->SetFont(vellora::formFont(19));
    Search->SetEditTop(3);
    Search->OnChange = [this](QLineEdit *) { vellora::guarded([this] { SearchChange(); }); };

    Selection = new ZListBox(Container_Selection);
    Selection->setGeometry(10, 45, 200, 500);
    Selection->SetColor(colorRef(vellora::kGrey));
    Selection->SetHighlight(colorRef(kHighlight));
    Selection->SetFont(vellora::formFont(13));
    Selection->SetItemHeight(20);
    Selection->OnChange = [this](ZListBox *) { vellora::guarded([this] { SelectionChange(); }); };

    Container_Content = new QWidget(this);
    Container_Content->setGeometry(220, 0, 535, 580);
    setColours(Container_Content, colorRef(kInk), colorRef(vellora::kMaroon));

    Linkage = new ZShadowPanel(Container_Content);
    Linkage->setGeometry(0, 520, 535, 60);
    Linkage->SetBackground(colorRef(vellora::kMaroon));
    Linkage->SetColor(colorRef(vellora::kSilver));
    Linkage->SetMarginLeft(6);
    Linkage->SetMarginTop(3);
    Linkage->SetMarginRight(2);
    Linkage->SetMarginBottom(2);
    Linkage->SetShadowImages(ShadowPictures());

    Content = new ZShadowPanel(Container_Content);
    Content->setGeometry(0, 0, 535, 520);
    Content->SetBackground(colorRef(vellora::kMaroon));
    Content->SetColor(colorRef(vellora::kSilver));
    Content->SetMarginLeft(6);
    Content->SetMarginTop(5);
    Content->SetMarginRight(2);
    Content->SetMarginBottom(0);
    Content->SetShadowImages(ShadowPictures());
    Content->OnResize = [this](ZShadowPanel *) { ContentResize(); };

    Caption = new QLabel(Content);
    Caption->setGeometry(6, 15, 465, 37);
    Caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Caption->setTextFormat(Qt::PlainText);
    Caption->setFont(vellora::formFont(29));
    setColours(Caption, colorRef(kInk), colorRef(vellora::kSilver));

    Line = new QWidget(Content);
    Line->setGeometry(16, 56, 445, 1);
    setColours(Line, colorRef(kInk), colorRef(kInk));

    Image = new TImage(Content);
    Image->setGeometry(40, 92, 0, 0);
    Image->SetStretch(true);
    Image->SetColor(colorRef(vellora::kSilver));

    Text = new QLabel(Content);
    Text->setGeometry(200, 92, 249, 289);
    Text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text->setTextFormat(Qt::PlainText);
    Text->setWordWrap(true);
    Text->setFont(vellora::formFont(16));
    setColours(Text, colorRef(kInk), colorRef(vellora::kSilver));

    Label_Linkage = new QLabel(QStringLiteral("Siehe auch:"), Linkage);
    Label_Linkage->setFont(vellora::formFont(19));
    setColours(Label_Linkage, colorRef(kInk), colorRef(vellora::kSilver));
    Label_Linkage->adjustSize();
    Label_Linkage->move(12, 15);

    for (int i = 0; i < vellora::kGlossarLinkCount; ++i) {
        auto *l = new TLabel(QString(), Linkage);
        l->SetTag(-1);
        l->setCursor(Qt::PointingHandCursor);
        l->setFont(linkFont(kMaxLinkPoints));
        setColours(l, colorRef(kInk), colorRef(vellora::kSilver));
        l->setGeometry(0, 0, 0, QFontMetrics(l->font()).height());
        l->OnClick = [this](TLabel *label) { vellora::guarded([&] { LinkClick(label); }); };
        Link[i] = l;
    }

    // The back button lies over the card, not in it: the card takes no input.
    Back = new TLabel(QStringLiteral("Zur\u00FCck"), Container_Content);
    Back->setGeometry(460, 483, 57, 25);
    Back->setAlignment(Qt::AlignCenter);
    Back->setFont(vellora::formFont(16));
    Back->setCursor(Qt::PointingHandCursor);
    setColours(Back, colorRef(kInk), colorRef(vellora::kSilver));
    Back->OnClick = [this](TLabel *) { vellora::guarded([this] { BackClick(); }); };
    Back->hide();

    // Placed by the container: the see-also row at the bottom, the card above it.
    Linkage->SetAlign(ZAlign::Bottom);
    Content->SetAlign(ZAlign::Client);
    Content->SetEnabled(false);
    Container_Selection->SetAlign(ZAlign::Left);
    vellora::setControlAlign(Container_Content, ZAlign::Client);
    Back->raise();
}

void TGlossar::Initialize()
{
    if (initialized_)
        return;
    SetEntries(vellora::LoadGlossary(vellora::glossaryPath()));
    initialized_ = true;
}

void TGlossar::SetEntries(const QList<TGlossarEntry> &entries)
{
    entries_ = entries;
    first_ = -1;
}

bool TGlossar::TitleMatches(const QByteArray &search, const QByteArray &title)
{
    return vellora::germanStartsWith(title, search);
}

TGlossar::SearchRun TGlossar::FindRun(const QList<TGlossarEntry> &entries, const QByteArray &search)
{
    SearchRun run;
    for (int n = 0; n < entries.size(); ++n)
        if (TitleMatches(search, entries[n].Title)) {
            run.first = n;
            break;
        }
    if (run.first < 0)
        return run;
    // Only the run that starts at the first match: the entries are sorted so that titles
    // sharing a beginning stand together.
    for (int n = run.first; n < entries.size() && TitleMatches(search, entries[n].Title); ++n)
        ++run.count;
    return run;
}

void TGlossar::ShowGlossary()
{
    emit barRequested(false, false);
    show();
    const bool wasEmpty = Search->Text().isEmpty();
    Search->SetText(QString()); // runs SearchChange when the text changes
    if (wasEmpty)
        SearchChange();
    Back->hide();
    // The pupil can type at once.
    Search->Edit()->setFocus(Qt::OtherFocusReason);
}

void TGlossar::SearchChange()
{
    Selection->BeginUpdate();
    Selection->Items().clear();
    const SearchRun run = FindRun(entries_, vellora::toCp1252(Search->Text()));
    first_ = run.first;
    QStringList &rows = Selection->Items();
    for (int n = first_; n >= 0 && n < first_ + run.count; ++n)
        rows << vellora::fromCp1252(entries_[n].Title);
    Selection->SetItemIndex(rows.isEmpty() ? -1 : 0);
    Selection->ScrollToTop();
    Selection->EndUpdate();
    ShowEntry(first_, false);
}

void TGlossar::SelectionChange()
{
    const int row = Selection->ItemIndex();
    ShowEntry(row < 0 || first_ < 0 ? -1 : row + first_, false);
}

void TGlossar::LinkClick(TLabel *link)
{
    const int k = link ? link->Tag() : -1;
    if (validEntry(k))
        ShowEntry(k, false);
}

void TGlossar::BackClick()
{
    emit areaRequested(1);
}

bool TGlossar::BackShown() const
{
    return vellora::visibleFlag(Back);
}

void TGlossar::clearPicture()
{
    Image->SetPicture(QPixmap());
    Image->hide();
}

QImage TGlossar::loadPicture(const TGlossarEntry &entry)
{
    const QString relative =
        QStringLiteral("inhalt/bilder/") + vellora::fromCp1252(entry.Picture) + QStringLiteral(".bmp");
    const QImage img(vellora::contentPath(relative), "BMP");
    if (img.isNull() || img.width() <= 0 || img.height() <= 0) {
        // Said once per file, not on every click; the entry is shown without it.
        if (!reportedPictures_.contains(relative)) {
            reportedPictures_.insert(relative);
            std::fprintf(stderr,
                         "Vellora: Das Bild \u201E%s\u201C fehlt oder ist kein lesbares Bitmap; "
                         "der Eintrag \u201E%s\u201C erscheint ohne Bild.\n",
                         qPrintable(relative), qPrintable(vellora::fromCp1252(entry.Title)));
        }
        return {};
    }
    return img;
}

void TGlossar::ShowEntry(int n, bool withBack)
{
    shown_ = validEntry(n) ? n : -1;
    if (validEntry(n)) {
        const TGlossarEntry &e = entries_[n];
        Caption->setText(vellora::fromCp1252(e.Title));
        Text->setText(plainText(e.Text()));

        const int ml = Content->MarginLeft(), mr = Content->MarginRight();
        const QImage picture = e.Picture.isEmpty() ? QImage() : loadPicture(e);
        if (!picture.isNull()) {
            const int w = (Content->width() - ml - mr - 165) / 2;
            const int h = std::max(0, vellora::roundHalfEven(double(w) * picture.height() / picture.width()));
            Image->setGeometry(ml + 60, Image->y(), std::max(0, w), h);
            Image->SetPicture(QPixmap::fromImage(picture));
            Image->show();
            Text->setGeometry(w + ml + 100, Text->y(), std::max(0, w), Text->height());
            pictureShown_ = true;
        } else {
            if (pictureShown_ || !Image->isHidden())
                clearPicture();
            pictureShown_ = false;
            const int left = ml + 100;
            Text->setGeometry(left, Text->y(), std::max(0, Content->width() - left - mr - 105),
                              Text->height());
        }

        for (int i = 0; i < vellora::kGlossarLinkCount; ++i) {
            const int k = e.Links[i];
            // A number outside the file is shown like an empty slot.
            if (!validEntry(k)) {
                Link[i]->setText(QString());
                Link[i]->SetTag(-1);
                Link[i]->resize(0, Link[i]->height());
                continue;
            }
            QString caption = vellora::fromCp1252(entries_[k].Title);
            if (i < vellora::kGlossarLinkCount - 1 && validEntry(e.Links[i + 1]))
                caption += QStringLiteral(", ");
            Link[i]->setText(caption);
            Link[i]->SetTag(k);
        }
        fitLinks();
    } else {
        Caption->clear();
        Text->clear();
        clearPicture();
        for (TLabel *l : Link)
            l->setText(QString());
    }
    if (withBack) {
        Back->show();
        Back->raise();
    }
}

void TGlossar::fitLinks()
{
    const int room =
        Linkage->width() - Label_Linkage->x() - Linkage->MarginRight() - Label_Linkage->width() - 10;
    int points = kMaxLinkPoints;
    for (;; --points) {
        const QFont font = linkFont(points);
        const QFontMetrics fm(font);
        int sum = 0;
        for (TLabel *l : Link) {
            l->setFont(font);
            // Labels size themselves to their captions; an empty one has no width.
            l->resize(l->text().isEmpty() ? 0 : fm.horizontalAdvance(l->text()), fm.height());
            sum += l->width();
        }
        if (sum <= room || points <= kMinLinkPoints)
            break;
    }
    linkPoints_ = points;
    int x = Label_Linkage->x() + Label_Linkage->width() + 5;
    for (TLabel *l : Link) {
        const int top =
            (Linkage->height() - Linkage->MarginTop() - Linkage->MarginBottom() - 5 - l->height()) / 2 +
            Linkage->MarginTop();
        l->move(x, top);
        x += l->width();
    }
}

void TGlossar::FormKeyDown(int key)
{
    // The list scrolls; the chosen entry stays.
    if (key == Qt::Key_Up)
        Selection->Scroll(1);
    else if (key == Qt::Key_Down)
        Selection->Scroll(-1);
}

void TGlossar::FrameMouseWheel(Qt::KeyboardModifiers, int delta, const QPoint &)
{
    Selection->Scroll(delta);
}

void TGlossar::ContentResize()
{
    const int ml = Content->MarginLeft(), mr = Content->MarginRight();
    Caption->resize(Content->width() - ml - mr - 5, Caption->height());
    Line->resize(Content->width() - ml - mr - 20, Line->height());
    Back->move(Content->width() - Back->width() - 18, Content->height() - Back->height() - 12);
    // The text reaches down to the back button's row, so a long explanation is not cut early.
    Text->resize(Text->width(), std::max(0, Content->height() - Text->y() - 45));
}

void TGlossar::Container_SelectionResize()
{
    Selection->resize(Selection->width(), Container_Selection->height() - Selection->y() -
                                              Container_Selection->MarginBottom() - 10);
}

QList<QImage> TGlossar::ShadowPictures()
{
    // Red values row by row; green and blue are 0.
    static const int red[5][5][5] = {
        {{118, 119, 121, 123, 125},
         {108, 110, 114, 119, 122},
         {94, 99, 105, 112, 119},
         {77, 84, 93, 105, 114},
         {64, 73, 84, 99, 110}},
        {{47, 58, 73, 91, 106},
         {44, 55, 70, 90, 105},
         {44, 55, 70, 90, 105},
         {44, 55, 70, 90, 105},
         {44, 55, 70, 90, 105}},
        {{47, 58, 73, 91, 106},
         {54, 64, 77, 94, 108},
         {64, 73, 84, 99, 110},
         {77, 84, 93, 105, 114},
         {94, 99, 105, 112, 119}},
        {{36, 36, 36, 36, 36},
         {44, 44, 44, 44, 44},
         {55, 55, 55, 55, 55},
         {70, 70, 70, 70, 70},
         {90, 90, 90, 90, 90}},
        {{106, 91, 73, 58, 47},
         {108, 94, 77, 64, 54},
         {110, 99, 84, 73, 64},
         {114, 105, 93, 84, 77},
         {119, 112, 105, 99, 94}},
    };
    QList<QImage> pictures;
    for (const auto &pic : red) {
        QImage img(5, 5, QImage::Format_RGB32);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                img.setPixel(x, y, qRgb(pic[y][x], 0, 0));
        pictures << img;
    }
    return pictures;
}
