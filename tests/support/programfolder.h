#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "base/programfolder.h"

namespace vellora::test {

// A temporary program folder for the lifetime of one test: the code under test reads its
// content from here, so suites need no shared folder beside their executable and can run side
// by side.
class ProgramFolder
{
  public:
    ProgramFolder() { setProgramFolder(dir_.path()); }
    ~ProgramFolder() { setProgramFolder(QString()); }
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString path(const QString &relative = QString()) const { return dir_.filePath(relative); }

    // Writes a file below the folder, creating its folders.
    void write(const QString &relative, const QByteArray &bytes) const
    {
        const QString file = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << file.toStdString();
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    void remove(const QString &relative) const { QFile::remove(dir_.filePath(relative)); }
    // Links a folder of the built program folder in (the real model, content or audio).
    void link(const QString &relative, const QString &target) const
    {
        QFile::link(target, dir_.filePath(relative));
    }

  private:
    QTemporaryDir dir_;
};

} // namespace vellora::test
