#pragma once

#include "modelfiles.h"

#include <yaml-cpp/yaml.h>

namespace zellgen {

// Paints a texture from its description: regions of the image, each a base colour with
// layers (noise, spots, rings, stripes, bands, fibres, lattice, dot rows). Deterministic.
zelle::Image paintTexture(const YAML::Node &spec);

} // namespace zellgen
