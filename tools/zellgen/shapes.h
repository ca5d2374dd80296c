#pragma once

#include "geometry.h"

#include <yaml-cpp/yaml.h>

namespace zellgen {

// Builds one mesh from its entry in the mesh table ("shape" plus its parameters).
Builder buildShape(const YAML::Node &spec);

V3 v3(const YAML::Node &n, V3 fallback = {});
UvRect uvRect(const YAML::Node &n);

} // namespace zellgen
