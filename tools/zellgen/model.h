#pragma once

#include "geometry.h"
#include "modelfiles.h"

#include <yaml-cpp/yaml.h>

#include <string>
#include <vector>

namespace zellgen {

// An organelle's own body, in its object's coordinates: what must not overlap another's.
struct Body
{
    enum Kind { Ellipsoid, Capsule, Super } kind = Ellipsoid;
    V3 centre, radii;     // ellipsoid
    V3 a, b;              // capsule axis end points
    double radius = 0;    // capsule
    SuperEllipsoid super; // shells
    Dent dent;            // shells: the hollow another organelle presses in
    std::string role;     // shells: "container" (organelles inside), "excluder" (outside), "wall"

    bool inside(const V3 &p, double margin = 0) const;
    std::vector<V3> samples() const;
};

struct MeshEntry
{
    int index = 0;
    std::string key, name;
    Builder geometry;
    zelle::Image texture;
};

struct ObjectEntry
{
    int index = 0;
    std::string name;
    Body body;
    bool cut = false; // shown cut open at the cell's cut plane; everything else stays below it
    zelle::Object object;
};

struct PlacedBody
{
    int objectIndex = 0;
    Frame cell; // object -> cell frame
};

struct Model
{
    std::vector<MeshEntry> meshes;
    std::vector<ObjectEntry> objects;
    std::vector<zelle::Placement> placements;
    std::vector<PlacedBody> placedBodies; // in table order
    Frame cellToModel;
};

// Reads meshes.yaml, objects.yaml and scene.yaml from dir and builds everything.
// Throws std::runtime_error with a reason on a bad source or an impossible placement.
Model buildModel(const std::string &dir);

Body parseBody(const YAML::Node &n);
// Share of the space inside the plasma membrane that the vacuole fills (sampled).
double vacuoleShare(const Model &model);
bool bodiesOverlap(const Body &a, const Frame &fa, const Body &b, const Frame &fb, double margin);

} // namespace zellgen
