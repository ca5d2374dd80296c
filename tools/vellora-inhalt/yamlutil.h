#pragma once

// Small helpers over yaml-cpp for the source readers: every problem goes to Diagnostics with
// the file and line, and a missing or mistyped key never throws out of a reader.

#include "inhalt.h"

#include <yaml-cpp/yaml.h>

#include <initializer_list>
#include <optional>

namespace vellora::inhalt {

QString fromStd(const std::string &s);
std::string toStd(const QString &s);

int lineOf(const YAML::Node &node); // 1-based, -1 unknown

// Reads and parses a UTF-8 YAML file; std::nullopt after reporting the problem.
std::optional<YAML::Node> loadYamlFile(const QString &file, Diagnostics &diag);
// Reads a UTF-8 text file with LF line ends (CR LF and lone CR become LF).
std::optional<QString> loadTextFile(const QString &file, Diagnostics &diag);

// The top node must be a map whose keys are all listed.
bool checkMap(const YAML::Node &node, std::initializer_list<const char *> allowed, const QString &file,
              const QString &what, Diagnostics &diag);

// A scalar as text; reports a missing (when required) or non-scalar value.
std::optional<QString> scalarText(const YAML::Node &map, const char *key, const QString &file,
                                  Diagnostics &diag, bool required = true);
// True when the scalar was written with the !exact tag: its bytes are taken as they stand.
bool isExact(const YAML::Node &node);

} // namespace vellora::inhalt
