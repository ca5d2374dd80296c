#include "testrun.h"

#include "base/cp1252.h"

#include <QTimeZone>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vellora {

RunKind runKindOf(TestKind kind)
{
    switch (kind) {
    case TestKind::SelfCheck:
        return RunKind::SelfCheck;
    case TestKind::MultipleChoice:
        return RunKind::MultipleChoice;
    case TestKind::Cloze:
        return RunKind::Cloze;
    case TestKind::Unknown:
        break;
    }
    return RunKind::None;
}

int resultPercent(int32_t right, int32_t total)
{
    if (total == 0)
        return 0;
    return roundHalfEven(double(right) / double(total) * 100.0);
}

BarSetting averageOfPercents(const QList<int> &percents)
{
    if (percents.isEmpty())
        return {};
    qint64 sum = 0;
    for (int p : percents)
        sum += p;
    return {100, roundHalfEven(double(sum) / double(percents.size()))};
}

int32_t resultTime(const QDateTime &localNow)
{
    // The wall-clock reading itself counts, so both times are taken as if they were UTC.
    const QDateTime wall(localNow.date(), localNow.time(), Qt::UTC);
    const QDateTime origin(QDate(1970, 1, 1), QTime(1, 0, 0), Qt::UTC);
    const qint64 ms = std::llabs(origin.msecsTo(wall));
    const qint64 seconds = ms / 1000;
    const qint64 rest = ms % 1000;
    // Nearest second, halves to even.
    const qint64 rounded = (rest > 500 || (rest == 500 && seconds % 2 == 1)) ? seconds + 1 : seconds;
    if (rounded > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return int32_t(rounded);
}

int32_t resultTimeNow()
{
    return resultTime(QDateTime::currentDateTime());
}

uint16_t tickedMask(const QList<bool> &ticked)
{
    uint16_t mask = 0;
    for (int k = 0; k < ticked.size() && k < kMaxShownOptions; ++k)
        if (ticked[k])
            mask = uint16_t(mask | (1u << k));
    return mask;
}

bool clozeAnswerMatches(const QString &typed, const QByteArray &accepted)
{
    // A trailing blank is invisible in the box, so it must not make a right answer wrong.
    const QString word = typed.trimmed();
    const QString answer = fromCp1252(accepted);
    if (word.size() != answer.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i)
        if (word[i] != answer[i] && word[i].toLower() != answer[i].toLower())
            return false;
    return true;
}

bool clozeGapRight(const QString &typed, const TWord &accepted)
{
    for (const QByteArray &answer : accepted.Words)
        if (clozeAnswerMatches(typed, answer))
            return true;
    return false;
}

namespace {

class ClozeWriter
{
  public:
    ClozeWriter(int panelWidth, const std::function<int(const QByteArray &)> &textWidth)
        : m_panelWidth(panelWidth), m_textWidth(textWidth)
    {
    }

    // Returns whether the word began a new line; room is kept free behind it.
    bool word(const QByteArray &w, int room = 0)
    {
        const int width = m_textWidth(w) + room;
        bool newLine = false;
        if (m_out.Lines.isEmpty()) {
            // The first word opens the first line even when it is wider than the panel.
            m_out.Lines.append(w);
            m_out.Pieces.append({0, 0, w});
            m_x = width;
        } else if (m_panelWidth - m_x - 10 < width) {
            m_out.Lines.append(w);
            m_out.Pieces.append({int(m_out.Lines.size() - 1), 0, w});
            m_x = width;
            m_y += kClozeLineHeight;
            newLine = true;
        } else {
            m_out.Lines.last() += w;
            m_out.Pieces.append({int(m_out.Lines.size() - 1), m_x, w});
            m_x += width;
        }
        return newLine;
    }

    void gap(int size, int room)
    {
        const int start = m_x;
        const bool newLine = word(QByteArray(2 * size, ' '), room);
        if (newLine)
            m_out.Boxes.append({0, m_y, m_x - room});
        else
            m_out.Boxes.append({start, m_y, m_x - start - room});
    }

    ClozeLayout result() { return m_out; }

  private:
    int m_panelWidth;
    const std::function<int(const QByteArray &)> &m_textWidth;
    int m_x = 0;
    int m_y = 0;
    ClozeLayout m_out;
};

} // namespace

ClozeLayout layOutCloze(const QByteArray &text, int panelWidth,
                        const std::function<int(const QByteArray &)> &textWidth,
                        const QList<int> &roomAfterGap)
{
    qsizetype gaps = 0;
    ClozeWriter out(panelWidth, textWidth);
    QByteArray pending;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            pending += ' ';
            out.word(pending);
            pending.clear();
        } else if (c == '#') {
            if (!pending.isEmpty())
                out.word(pending);
            pending.clear();
            int size = 0;
            while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') {
                size = std::min(size * 10 + (text[i + 1] - '0'), 1000);
                ++i;
            }
            out.gap(size, gaps < roomAfterGap.size() ? std::max(roomAfterGap[gaps], 0) : 0);
            ++gaps;
        } else {
            pending += c;
        }
    }
    if (!pending.isEmpty())
        out.word(pending);
    return out.result();
}

} // namespace vellora
