#pragma once

#include "diagrams.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// The picture sources of the glossary (content/bilder/bilder.yaml) and how each becomes a BMP
// file for "inhalt/bilder": a drawn figure, or a rendering of the cell model cut to shape.
namespace vellora::bilder {

struct PictureSource
{
    enum class Kind { Whole, Detail, Part, Diagram };
    QString file; // stem of <file>.bmp, as the glossary names it
    Kind kind = Kind::Diagram;
    int detail = -1; // organelle whose detail view is shown (Detail), or the fallback (Part)
    int part = -1;   // mesh index of the close-up (Part)
    QString diagram; // figure name (Diagram)
    Labels labels;   // figure texts (Diagram)
    int line = 0;    // line in the source file, for messages
};

// The background the library clears to; what differs from it is the model.
inline const QColor kModelBackground(207, 235, 189);

// Reads and checks the source list; std::runtime_error with a German message naming the file
// and line for any fault (a bad stem, a stem twice, an unknown figure, missing or unknown labels).
QList<PictureSource> readSources(const QString &path);

// Cuts a rendering to what is drawn in it, with some room around, widened to the size's aspect
// and scaled smoothly to `size`; a picture with nothing drawn is only scaled.
QImage cutRendering(const QImage &shot, const QSize &size);

// The picture of one source. Renderings come from zelle-shot's files in shotsDir (whole.png,
// detailN.png, partM.png); a close-up that was not found falls back to its detail view.
// std::runtime_error when a needed file is missing.
QImage makePicture(const PictureSource &source, const QString &shotsDir);

// 24-bit BMP; false when the file cannot be written.
bool writeBmp(const QImage &image, const QString &path);

} // namespace vellora::bilder
