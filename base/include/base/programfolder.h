#pragma once

#include <QString>

namespace vellora {

// The folder of the running executable with a trailing '/'. Content is always found beside the
// program, never through the working directory.
QString programFolder();

// Puts another folder in the executable's place (tests: a temporary folder holding just the
// content a case needs); an empty folder goes back to the executable's own.
void setProgramFolder(const QString &folder);

// programFolder() + relative, e.g. contentPath("inhalt/org0.organell").
QString contentPath(const QString &relative);

// The content folders the program cannot start without ("inhalt" and the model's "zelle"), and
// the German message that says which of them is missing; empty when all are there.
QString missingContentMessage();

} // namespace vellora
