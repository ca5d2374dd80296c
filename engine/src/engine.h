#pragma once

// The engine behind the five exported functions: one instance per process.

#include "camera.h"
#include "context.h"
#include "modelfiles.h"
#include "zelle.h"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelle {

class Engine
{
  public:
    void Init(uintptr_t window, const char *base_folder);
    void Viewport(bool overview, int32_t x, int32_t y, int32_t width, int32_t height);
    int32_t Render(int32_t x, int32_t y);
    int32_t Action(int32_t code, int32_t a, int32_t b);
    void Destroy();

  private:
    using Rect = std::array<int32_t, 4>;

    // Everything a fresh Init starts from.
    struct State
    {
        int view_state = ZELLE_STATE_WHOLE_CELL;
        int pending_state = ZELLE_NONE;
        int hover_id = ZELLE_NONE;
        int highlight_object_id = ZELLE_NONE;
        bool highlight_strong = false; // the whole cell marks the highlighted object's placements
        int selected_id = ZELLE_NONE;
        int selected_index = ZELLE_NONE;
        uint32_t phase_start_ms = 0;
        int drag_mode = ZELLE_ACTION_END_DRAG; // no drag; otherwise the action that began it
        int last_x = 0, last_y = 0;
        Rect viewport_overview{1, 1, 1, 1};
        Rect viewport_detail{1, 1, 1, 1};
        float viewport_blend = 0;
        Matrix camera = initialCamera();
        Matrix3 camera_inverse{};
        Matrix overview_matrix = identityMatrix();
        Flight flight;
    };

    void setContextState();
    void loadModel(const std::string &base);
    void loadMesh(int i, const std::string &path);
    void loadTexture(int i, const std::string &path);
    void releaseModel();

    Matrix viewWithDrag(int x, int y) const;
    float detailZoomLimit(float z) const;
    void applyProjection();
    void pick(const Matrix &modelview, int x, int y);
    void enterState(int state, uint32_t now);
    void drawState(uint32_t now);
    float progress(uint32_t now, float duration_ms, int next_state);
    void sortByDepth();
    int findPlacement(int id) const;
    void setBlending(bool on);

    void drawMarkedCell();
    void placementDraw(const Placement &e, float alpha);
    void inPlaceDraw(const Placement &e);
    void objectDraw(const Object &o, float fade);
    void partDraw(const Part &part);
    const Placement *selectedPlacement() const;
    const Object *selectedObject() const;

    GlContext context_;
    bool ready_ = false;
    State s_;
    GLuint list_base_ = 0;
    std::array<GLuint, kMeshCount> textures_{};
    std::vector<Object> objects_ = std::vector<Object>(kObjectCount);
    std::vector<Placement> scene_table_; // 140 entries, or none when the file is damaged
};

uint32_t tickMs();

} // namespace zelle
