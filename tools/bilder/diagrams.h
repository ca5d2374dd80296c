#pragma once

#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

// The glossary's drawn figures. Each figure has a name and takes its German texts from the
// picture sources (labels by key), so wording is changed in content/, not here.
namespace vellora::bilder {

using Labels = QMap<QString, QString>;

// Every figure name, in a fixed order.
QStringList diagramNames();
// The label keys a figure uses.
QStringList diagramLabelKeys(const QString &name);
// Draws figure `name`; std::runtime_error (German) for an unknown name or a missing label.
QImage drawDiagram(const QString &name, const Labels &labels);

} // namespace vellora::bilder
