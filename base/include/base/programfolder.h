#pragma once

#include <QString>

namespace vellora {

// The folder of the running executable with a trailing '/'. Content is always found beside the
// program, never through the working directory.
QString programFolder();

// programFolder() + relative, e.g. contentPath("inhalt/org0.organell").
QString contentPath(const QString &relative);

} // namespace vellora
