#pragma once

// Moodle's GIFT question format turned into Vellora's test sources. Multiple-choice and
// true/false questions become a multiple-choice test, short-answer questions a self-check test,
// and questions whose short-answer gaps stand inside the sentence ("missing word") one cloze
// text. What Vellora cannot ask (matching, numeric ranges, essays, descriptions) is named by
// line and left out.

#include "testfiles.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>

namespace vellora::inhalt {

struct GiftMessage
{
    int line = 0; // first line of the question, 1-based
    QString text; // German
};

struct GiftImport
{
    QList<TSLFQuestion> selfCheck; // cp1252 texts
    QList<TMPCQuestion> multipleChoice;
    QByteArray clozeText; // the sentences joined, gaps written "#" + width
    QList<TWord> clozeGaps;
    QString category;           // the last "$CATEGORY:" segment, if any
    QList<GiftMessage> refused; // questions left out
    QList<GiftMessage> notes;   // questions carried over with something left out
    int questions = 0;          // questions found, refused ones included
};

// text: the file's text (UTF-8 decoded); line ends LF or CR LF.
GiftImport parseGift(const QString &text);

// The ID of an imported test: the kind letter, the stem in capitals (letters and digits, at most
// 11), dashes, and "GIFT" at the end: "klasse" gives "MKLASSE-----GIFT".
QByteArray giftTestId(TestKind kind, const QString &stem);

// One readable test source per kind that has questions, in the order self-check, multiple
// choice, cloze; the IDs come from idStem.
struct GiftSource
{
    TestKind kind = TestKind::Unknown;
    QByteArray id;
    int questions = 0; // questions, or gaps of the cloze text
    std::string yaml;
};
QList<GiftSource> giftSources(const GiftImport &import, const QString &title, const QString &idStem);

// "vellora-inhalt import-gift FILE.gift [-o FOLDER] [--titel TEXT] [--id STEM]": writes the sources
// beside the file (or into FOLDER) as STEM.slf.yaml, .mpc.yaml, .lkt.yaml, checks each by compiling
// it, and names every question left out on standard error. 0: all carried over, 1: some left
// out or nothing to write, 2: wrong call.
int importGiftCommand(const QStringList &positional, const QHash<QString, QString> &options);

} // namespace vellora::inhalt
