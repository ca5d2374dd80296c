#pragma once

// The content compiler: turns the readable UTF-8 sources under content/ into the binary content
// files beside the program, and any binary content file back into a readable source.

#include "cellfiles.h"
#include "glossaryfile.h"
#include "testfiles.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <string>
#include <vector>

namespace vellora::inhalt {

// Collects the problems of a run, each naming its source file (and line where known), so that
// an author sees all of them at once.
class Diagnostics
{
  public:
    void error(const QString &file, int line, const QString &message);
    void error(const QString &file, const QString &message) { error(file, -1, message); }
    // Problems that do not make the content wrong, only look worse; they never stop a build.
    void warning(const QString &file, int line, const QString &message);
    const QStringList &warnings() const { return m_warnings; }
    bool ok() const { return m_messages.isEmpty(); }
    const QStringList &messages() const { return m_messages; }
    // Throws CompileError with all messages when there is any.
    void check() const;

  private:
    QStringList m_messages;
    QStringList m_warnings;
};

class CompileError : public std::runtime_error
{
  public:
    explicit CompileError(const QStringList &messages);
    QStringList messages;
};

// ---- glossary ----

struct GlossarySource
{
    QString file;
    int line = -1;
    QString title;
    QByteArray text; // cp1252, CR LF line breaks
    QStringList seeAlso;
    QList<int> seeAlsoLines;
    QByteArray picture;
    QList<QByteArray> pieces; // exact Text1..3 as exported from a file that split otherwise
};

struct Glossary
{
    QList<TGlossarEntry> entries; // sorted
    QHash<QString, int> numberOfTitle;
    QStringList titles; // UTF-8 titles in entry order
};

GlossarySource readGlossarySource(const QString &file, Diagnostics &diag);
// Sorts, checks titles and links, numbers the entries.
Glossary buildGlossary(const QList<GlossarySource> &sources, Diagnostics &diag);
// The titles of a binary glossary, for resolving links the other way.
Glossary glossaryFromFile(const QList<TGlossarEntry> &entries);

// ---- memo texts ----

// One link of a source text: [[Titel]] or [[Wortform|Titel]].
struct SourceLink
{
    qsizetype start = 0, end = 0; // [start, end) of "[[...]]"
    QString caption, title;
};

// The links of a source text in order. On broken markup returns false with *problem set.
bool findSourceLinks(const QString &text, QList<SourceLink> &links, QString *problem);

// Joins a source text to memo text: within a paragraph a line break is one blank, a blank line
// between paragraphs becomes CR LF CR LF, runs of blanks become one, the ends are trimmed.
QString joinParagraphs(const QString &text);

struct Link
{
    QString caption;
    QString title;
};

// Replaces each [[Titel]] or [[Wortform|Titel]] by "#" number "#" caption "#" and converts to
// cp1252. A literal '#' is refused.
QByteArray compileLinkedText(const QString &text, const Glossary &glossary, const QString &file, int line,
                             Diagnostics &diag, QList<Link> *links = nullptr);

// A hyphen followed by a blank and a word that does not continue a suspended hyphen ("auf- und",
// "40- bis"): folded YAML turns a line break after "Glucose-" into "Glucose- Bausteinen". Returns
// the two words, or an empty string when the text has none.
QString brokenHyphen(const QString &text);
// Reports brokenHyphen's find as an error; false when there was one.
bool checkHyphens(const QString &text, const QString &file, int line, Diagnostics &diag);

// The text as spoken: links become their captions.
QString spokenText(const QString &text);

// cp1252 or an error naming the first character that cp1252 cannot hold.
QByteArray toCp1252Checked(const QString &text, const QString &file, int line, const QString &field,
                           Diagnostics &diag);

// ---- organelles ----

struct OrganellSource
{
    QString file;
    int index = -1;
    QString heading;
    QString text; // joined, still with [[links]]
    bool exactText = false;
    QString names, memCount, size, animalCell;
    int textLine = -1;
};

OrganellSource readOrganellSource(const QString &file, Diagnostics &diag);
TOrganell compileOrganell(const OrganellSource &source, const Glossary &glossary, Diagnostics &diag,
                          QList<Link> *links = nullptr);

// ---- manual pages, exercise introduction ----

QByteArray compileManualPage(const QString &file, Diagnostics &diag);
QByteArray compileIntroduction(const QString &file, Diagnostics &diag);

// ---- tests ----

struct CompiledTest
{
    TestKind kind = TestKind::Unknown;
    QByteArray id;
    QByteArray bytes;
};

// kindHint comes from the output file's extension (Unknown: none given). The ID's first letter,
// the "kind" key and the hint must agree.
CompiledTest compileTest(const QString &file, TestKind kindHint, Diagnostics &diag);
// Test IDs must be unique among all tests.
void checkUniqueIds(const QList<QPair<QString, QByteArray>> &fileAndId, Diagnostics &diag);

// ---- export (binary back to source) ----

std::string exportOrganell(const TOrganell &organell, int index, const Glossary &glossary);
std::string exportGlossaryEntry(const TGlossarEntry &entry, const Glossary &glossary);
std::string exportTest(TestKind kind, const QByteArray &bytes, const QString &fileName);
std::string exportManualPage(const QByteArray &bytes);
std::string exportIntroduction(const QByteArray &bytes);
// A file name for an exported glossary entry: ASCII letters and digits of the title.
QString glossaryFileStem(const QString &title);

// ---- speech ----

struct Pronunciation
{
    QList<QPair<QString, QString>> entries; // word -> respelling or [[phonemes]], longest first
};

Pronunciation readPronunciation(const QString &file, Diagnostics &diag);
// Whole words only, case-sensitive.
QString applyPronunciation(const QString &text, const Pronunciation &list);
// Heading and description as espeak-ng should read them.
QString speechText(const OrganellSource &source, const Pronunciation &list);

// ---- the whole content folder ----

struct BuildResult
{
    QStringList written; // files whose bytes changed
    QStringList unchanged;
    QStringList warnings;
};

// Compiles whatever is present under contentDir into distDir (inhalt/, tests/); writes a file
// only when its bytes differ. Throws CompileError listing every problem; writes nothing then.
BuildResult buildContent(const QString &contentDir, const QString &distDir);

// Writes bytes to path (creating folders), leaving the file alone when it already holds them.
bool writeIfChanged(const QString &path, const QByteArray &bytes);

} // namespace vellora::inhalt
