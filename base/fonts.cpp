#include "base/fonts.h"

#include <QFont>

namespace vellora {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("Open Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
}

} // namespace vellora
