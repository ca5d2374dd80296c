#pragma once

// vellora-ergebnisse: the class overview for teachers. Reads exported profile files and
// tabulates every pupil's results per test as a CSV file that German spreadsheet programs open
// directly (UTF-8 with byte order mark, semicolons, CR LF).

#include "profilefiles.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vellora::ergebnisse {

// One exported profile file.
struct Pupil
{
    QString file;               // the path as given
    QByteArray name;            // cp1252, as stored in the file
    QString label;              // the name shown in the table (the file name is added when two differ)
    QList<TTestResult> results; // oldest first
};

// Reads one profile file through the profile format reader and checks that it is one the
// program wrote: a valid name and digest, and results of a known kind with sane numbers.
// On failure returns nothing and sets reason to a German sentence without the file name.
std::optional<Pupil> readPupil(const QString &path, QString &reason);

// Two files of one name: when one file's results begin with all of the other's, both are exports
// of one profile and only the longer counts (notes names the one left out); otherwise both stay,
// each labelled with its file name.
QList<Pupil> mergeSameNames(QList<Pupil> pupils, QStringList *notes);

// A built-in test as the overview names it.
struct TestName
{
    QByteArray title; // cp1252
    int number = -1;  // N of "tests/testN.ext"
};

// The titles of the built-in tests in folder + "tests/", by ID. A damaged test file is passed
// over with a note.
QHash<QByteArray, TestName> builtInTests(const QString &programFolder, QStringList *notes);

// The local date and time of a result's Time field: seconds after 01.01.1970 01:00:00, both
// plain wall-clock readings. "dd.MM.yyyy hh:mm".
QString resultDate(int32_t time);

struct Row
{
    QString name;
    QString test;
    QString kind;
    int attempts = 0;
    int best = 0; // percent
    int last = 0; // percent
    QString lastDate;
    bool summary = false;

    bool operator==(const Row &) const = default;
};

// Per test (self-check, multiple choice, cloze; built-in tests in their order, then the others by
// ID): one row per pupil who took it, in German alphabetical order, then the class row with the
// number of pupils, all attempts, the averages of the best and of the last percentages and the
// latest date.
QList<Row> classOverview(const QList<Pupil> &pupils, const QHash<QByteArray, TestName> &tests);

// The table with its header line.
QByteArray toCsv(const QList<Row> &rows);

// A field quoted when it holds a semicolon, a quote or a line break; quotes are doubled.
QByteArray csvField(const QString &text);

} // namespace vellora::ergebnisse
