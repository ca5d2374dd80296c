#pragma once

// The arithmetic of the exercise area that needs no widget: scores, result times, the
// progress bars' averages, the cloze answer check and the cloze layout.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

#include "base/rounding.h"
#include "testfiles.h"

namespace vellora {

// The kind of test in progress; the numbers are the screen's.
enum class RunKind { None = 0, SelfCheck = 1, MultipleChoice = 2, Cloze = 3 };

RunKind runKindOf(TestKind kind);

// Right / Total x 100, halves to even (1 of 8 gives 12, 3 of 8 gives 38); Total 0 counts 0.
int resultPercent(int32_t right, int32_t total);

// What a progress bar gets: Max 0 (an empty bar) without results, else Max 100 and the mean.
struct BarSetting
{
    int Max = 0;
    int Pos = 0;
    bool operator==(const BarSetting &) const = default;
};

BarSetting averageOfPercents(const QList<int> &percents);

// The overall bar of one kind letter ('S', 'M', 'L'): the results whose ID begins with it.
template <class Result> BarSetting kindBar(const QList<Result> &results, char letter)
{
    QList<int> percents;
    for (const Result &r : results)
        if (!r.TestID.isEmpty() && r.TestID.at(0) == letter)
            percents.append(resultPercent(r.Right, r.Total));
    return averageOfPercents(percents);
}

// The list bar of one test: the results whose 16-byte ID equals it.
template <class Result> BarSetting testBar(const QList<Result> &results, const QByteArray &id)
{
    QList<int> percents;
    for (const Result &r : results)
        if (r.TestID == id)
            percents.append(resultPercent(r.Right, r.Total));
    return averageOfPercents(percents);
}

// Whole seconds from 1970-01-01 01:00:00 to the given local wall-clock time, both read as
// plain calendar times (no zone or summer-time shift between them), rounded to the nearest.
int32_t resultTime(const QDateTime &localNow);
int32_t resultTimeNow();

// The ticked boxes as a mask: bit k for box k, k = 0 to 15.
uint16_t tickedMask(const QList<bool> &ticked);

// A cloze answer is right when the typed text, without blanks before and after it, equals an
// accepted answer ignoring letter case (umlauts too); every other character must match.
bool clozeAnswerMatches(const QString &typed, const QByteArray &accepted);
bool clozeGapRight(const QString &typed, const TWord &accepted);

// The cloze text laid out for a text panel of a given width, words measured by the caller in
// the panel's font. Lines are 22 pixels apart; a gap is a run of 2W blanks covered by a box.
struct ClozePiece
{
    int Line = 0;
    int X = 0;
    QByteArray Bytes; // a word with its trailing blank, or a gap's blanks
};

struct ClozeBox
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    bool operator==(const ClozeBox &) const = default;
};

struct ClozeLayout
{
    QList<QByteArray> Lines;
    QList<ClozePiece> Pieces;
    QList<ClozeBox> Boxes; // one per gap, in text order
};

constexpr int kClozeLineHeight = 22;

// roomAfterGap[k], when given, is kept free right after gap k's box on its line (a correction
// shown beside the box): the words behind it move on, and wrap when the line is full.
ClozeLayout layOutCloze(const QByteArray &text, int panelWidth,
                        const std::function<int(const QByteArray &)> &textWidth,
                        const QList<int> &roomAfterGap = {});

} // namespace vellora
