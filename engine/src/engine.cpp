#include "engine.h"

#include "dibloader.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace zelle {

namespace {

constexpr float kFadeMs = 250;
constexpr float kFlightMs = 1500;
constexpr int kSelectBufferSize = 1024;
constexpr int kHiddenPart = 20; // the 21st overview part: drawn only in the cross-fades
// Under the strong mark the unmarked placements are this opaque: enough to keep the cell's
// shape in view, little enough that every marked placement shows through them.
constexpr float kUnmarkedAlpha = 0.22f;

void reportDamaged(const std::string &path, const std::string &reason)
{
    std::fprintf(stderr, "Zelle: Modelldatei übersprungen: %s (%s)\n", path.c_str(), reason.c_str());
}

} // namespace

uint32_t tickMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

// ---------------------------------------------------------------------------------------------
// Lifecycle

void Engine::Init(uintptr_t window, const char *base_folder)
{
    Destroy();
    s_ = State{};
    objects_.assign(kObjectCount, Object{});
    scene_table_.clear();
    if (!context_.create(window))
        return; // a library without context draws nothing and answers every call harmlessly
    setContextState();
    s_.camera_inverse = inverse3(s_.camera);
    loadModel(base_folder ? base_folder : "");
    ready_ = true;
}

void Engine::Destroy()
{
    if (ready_)
        releaseModel();
    context_.release();
    ready_ = false;
}

void Engine::setContextState()
{
    glClearColor(0.81176f, 0.92157f, 0.74118f, 0.0f);
    glClearDepth(1.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Given under the identity modelview: fixed relative to the viewer, a directional light
    // from the left.
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {-3.0f, 0.0f, 0.0f, 0.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glEnable(GL_LIGHT1);
}

// ---------------------------------------------------------------------------------------------
// Loading

void Engine::loadModel(const std::string &base)
{
    list_base_ = glGenLists(kMeshCount);
    glGenTextures(kMeshCount, textures_.data());
    for (int i = 0; i < kMeshCount; ++i) {
        loadMesh(i, base + "zelle/mesh" + std::to_string(i) + ".mesh");
        loadTexture(i, base + "zelle/tex" + std::to_string(i) + ".tex");
    }
    for (int j = 0; j < kObjectCount; ++j) {
        const std::string path = base + "zelle/object" + std::to_string(j) + ".obj";
        std::vector<uint8_t> bytes;
        std::string error;
        if (!readFileBytes(path, bytes))
            reportDamaged(path, "fehlt");
        else if (!parseObject(bytes, objects_[size_t(j)], &error))
            reportDamaged(path, error);
    }

    // The scene table is one block of fixed size, read in one go.
    const std::string path = base + "zelle/zelle.obj";
    std::vector<uint8_t> table(kSceneTableSize);
    size_t got = 0;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        got = std::fread(table.data(), 1, table.size(), f);
        std::fclose(f);
        table.resize(got);
        std::string error;
        if (!parseSceneTable(table, scene_table_, &error))
            reportDamaged(path, error);
    } else {
        reportDamaged(path, "fehlt");
    }
}

void Engine::loadMesh(int i, const std::string &path)
{
    Mesh mesh;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readFileBytes(path, bytes))
        reportDamaged(path, "fehlt");
    else if (!parseMesh(bytes, mesh, &error))
        reportDamaged(path, error);

    // A damaged mesh still gets its (empty) list, so every list call stays valid.
    glNewList(list_base_ + GLuint(i), GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const Face &f : mesh.faces)
        for (int k = 0; k < 3; ++k) {
            const Vec3 &n = mesh.normals[size_t(f.normal[size_t(k)] - 1)];
            const Vec2 &t = mesh.texcoords[size_t(f.texcoord[size_t(k)] - 1)];
            const Vec3 &v = mesh.vertices[size_t(f.vertex[size_t(k)] - 1)];
            glNormal3f(n.x, n.y, n.z);
            glTexCoord2f(t.s, t.t);
            glVertex3f(v.x, v.y, v.z);
        }
    glEnd();
    glEndList();
}

void Engine::loadTexture(int i, const std::string &path)
{
    Image image;
    glBindTexture(GL_TEXTURE_2D, textures_[size_t(i)]);
    if (loadDib(path, image)) {
        // Rows are tightly packed; the default alignment of 4 would read past odd widths.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     image.rgb.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void Engine::releaseModel()
{
    if (list_base_)
        glDeleteLists(list_base_, kMeshCount);
    list_base_ = 0;
    textures_.fill(0);
}

// ---------------------------------------------------------------------------------------------
// Viewports and projection

void Engine::Viewport(bool overview, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!ready_)
        return;
    (overview ? s_.viewport_overview : s_.viewport_detail) = Rect{x, y, width, height};
    applyProjection();
}

void Engine::applyProjection()
{
    const float t = s_.viewport_blend;
    float v[4];
    for (int k = 0; k < 4; ++k)
        v[k] = float(s_.viewport_overview[size_t(k)]) * (1 - t) + float(s_.viewport_detail[size_t(k)]) * t;
    // No aspect ratio without a height: keep the projection we have.
    if (!(v[3] > 0) || !(v[2] > 0))
        return;
    glViewport(GLint(v[0]), GLint(v[1]), GLsizei(v[2]), GLsizei(v[3]));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(v[2] / v[3]), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
}

// ---------------------------------------------------------------------------------------------
// Frames

Matrix Engine::viewWithDrag(int x, int y) const
{
    if (s_.drag_mode == ZELLE_ACTION_ROTATE)
        return rotateDrag(s_.camera, s_.camera_inverse, x - s_.last_x, y - s_.last_y);
    if (s_.drag_mode == ZELLE_ACTION_MOVE)
        return moveDrag(s_.camera, s_.camera_inverse, x - s_.last_x, y - s_.last_y);
    return s_.camera;
}

int32_t Engine::Render(int32_t x, int32_t y)
{
    if (!ready_)
        return ZELLE_NONE;
    context_.makeCurrent();
    const uint32_t now = tickMs();
    glLoadMatrixf(s_.camera.data());
    if (s_.view_state == ZELLE_STATE_WHOLE_CELL || s_.view_state == ZELLE_STATE_DETAIL) {
        const Matrix view = viewWithDrag(x, y);
        glLoadMatrixf(view.data());
        pick(view, x, y);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    int32_t result = s_.hover_id;
    if (s_.pending_state != ZELLE_NONE) {
        const int state = s_.pending_state;
        enterState(state, now);
        s_.view_state = state;
        s_.pending_state = ZELLE_NONE;
        result = ZELLE_STATE_ENTERED(state);
    }
    drawState(now);
    context_.swap();
    return result;
}

void Engine::enterState(int state, uint32_t now)
{
    switch (state) {
    case ZELLE_STATE_WHOLE_CELL:
        setBlending(false);
        break;
    case ZELLE_STATE_LEAVING_CELL: {
        const Placement *e = selectedPlacement();
        if (e && e->object_index >= 0 && e->object_index < kObjectCount) {
            s_.overview_matrix = s_.camera;
            s_.flight =
                computeFlight(multiply(s_.camera, e->matrix), objects_[size_t(e->object_index)].view_matrix);
        }
        setBlending(true);
        glLoadMatrixf(s_.camera.data());
        break;
    }
    case ZELLE_STATE_FLYING_IN:
        s_.phase_start_ms = now;
        setBlending(false);
        break;
    case ZELLE_STATE_ENTERING_DETAIL:
        s_.phase_start_ms = now;
        if (const Placement *e = selectedPlacement()) {
            s_.selected_index = e->object_index;
            s_.camera = objects_[size_t(e->object_index)].view_matrix;
        }
        s_.camera_inverse = inverse3(s_.camera);
        setBlending(true);
        break;
    case ZELLE_STATE_DETAIL:
        setBlending(false);
        break;
    case ZELLE_STATE_LEAVING_DETAIL: {
        const int index = findPlacement(s_.selected_id);
        const Matrix target = index >= 0 ? multiply(s_.overview_matrix, scene_table_[size_t(index)].matrix)
                                         : s_.overview_matrix;
        s_.flight = computeFlight(s_.camera, target);
        glLoadMatrixf(s_.camera.data());
        setBlending(true);
        break;
    }
    case ZELLE_STATE_FLYING_BACK:
        s_.phase_start_ms = now;
        s_.selected_index = findPlacement(s_.selected_id);
        setBlending(false);
        break;
    case ZELLE_STATE_RETURNING:
        s_.phase_start_ms = now;
        s_.camera = s_.overview_matrix;
        s_.camera_inverse = inverse3(s_.camera);
        glLoadMatrixf(s_.camera.data());
        setBlending(true);
        break;
    }
}

float Engine::progress(uint32_t now, float duration_ms, int next_state)
{
    // Unsigned difference: a wrap of the 32-bit tick does not stop the animation.
    float p = float(uint32_t(now - s_.phase_start_ms)) / duration_ms;
    if (p >= 1) {
        p = 1;
        s_.pending_state = next_state;
    }
    return p;
}

void Engine::drawState(uint32_t now)
{
    switch (s_.view_state) {
    case ZELLE_STATE_WHOLE_CELL:
        if (s_.highlight_strong) {
            drawMarkedCell();
            break;
        }
        for (const Placement &e : scene_table_)
            placementDraw(e, 1);
        break;
    case ZELLE_STATE_LEAVING_CELL:
    case ZELLE_STATE_RETURNING: {
        const bool leaving = s_.view_state == ZELLE_STATE_LEAVING_CELL;
        const float p = progress(now, kFadeMs, leaving ? ZELLE_STATE_FLYING_IN : ZELLE_STATE_WHOLE_CELL);
        const float alpha = leaving ? 1 - p : p;
        sortByDepth();
        if (const Placement *selected = selectedPlacement())
            placementDraw(*selected, 1);
        for (size_t i = 0; i < scene_table_.size(); ++i)
            if (int(i) != s_.selected_index)
                placementDraw(scene_table_[i], alpha);
        break;
    }
    case ZELLE_STATE_FLYING_IN:
    case ZELLE_STATE_FLYING_BACK: {
        const float p = progress(now, kFlightMs, s_.view_state + 1);
        s_.camera = flightAt(s_.flight, p);
        glLoadMatrixf(s_.camera.data());
        s_.viewport_blend = s_.view_state == ZELLE_STATE_FLYING_IN ? p : 1 - p;
        applyProjection();
        if (const Placement *selected = selectedPlacement())
            inPlaceDraw(*selected);
        break;
    }
    case ZELLE_STATE_ENTERING_DETAIL:
    case ZELLE_STATE_LEAVING_DETAIL: {
        const float p = progress(now, kFadeMs, s_.view_state + 1);
        if (const Object *o = selectedObject())
            objectDraw(*o, p);
        break;
    }
    case ZELLE_STATE_DETAIL:
        if (const Object *o = selectedObject())
            objectDraw(*o, 0);
        break;
    }
}

void Engine::sortByDepth()
{
    // The modelview holds the camera here; the key is the squared eye distance of each origin.
    for (Placement &e : scene_table_) {
        const Matrix m = multiply(s_.camera, e.matrix);
        e.depth_key = m[12] * m[12] + m[13] * m[13] + m[14] * m[14];
    }
    // Farthest first; stable, so entries at equal distance keep their order.
    for (size_t i = 1; i < scene_table_.size(); ++i) {
        const Placement moving = scene_table_[i];
        size_t j = i;
        while (j > 0 && scene_table_[j - 1].depth_key < moving.depth_key) {
            scene_table_[j] = scene_table_[j - 1];
            --j;
        }
        scene_table_[j] = moving;
    }
    s_.selected_index = findPlacement(s_.selected_id);
}

int Engine::findPlacement(int id) const
{
    const size_t n = std::min<size_t>(scene_table_.size(), kPlacementCount);
    for (size_t i = 0; i < n; ++i)
        if (scene_table_[i].id == id)
            return int(i);
    return ZELLE_NONE;
}

void Engine::setBlending(bool on)
{
    if (on)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
}

const Placement *Engine::selectedPlacement() const
{
    const int i = s_.selected_index;
    if (i < 0 || size_t(i) >= scene_table_.size())
        return nullptr;
    return &scene_table_[size_t(i)];
}

const Object *Engine::selectedObject() const
{
    const int i = s_.selected_index;
    if (i < 0 || i >= kObjectCount)
        return nullptr;
    return &objects_[size_t(i)];
}

// ---------------------------------------------------------------------------------------------
// Drawing

// The marked placements first, opaque and lit as any highlight; then the rest see-through and
// without depth writes, so that a marked placement behind them still shows and the faint ones
// do not hide one another.
void Engine::drawMarkedCell()
{
    auto marked = [&](const Placement &e) {
        return objects_[size_t(e.object_index)].id == s_.highlight_object_id;
    };
    setBlending(true);
    for (const Placement &e : scene_table_)
        if (marked(e))
            placementDraw(e, 1);
    glDepthMask(GL_FALSE);
    for (const Placement &e : scene_table_)
        if (!marked(e))
            placementDraw(e, kUnmarkedAlpha);
    glDepthMask(GL_TRUE);
    setBlending(false);
}

void Engine::placementDraw(const Placement &e, float alpha)
{
    glPushMatrix();
    glMultMatrixf(e.matrix.data());
    const float g = e.id == s_.hover_id ? 1.2f : 0.8f;
    glColor4f(g, g, g, alpha);
    objectDraw(objects_[size_t(e.object_index)], 0);
    glPopMatrix();
}

void Engine::inPlaceDraw(const Placement &e)
{
    const float g = e.id == s_.hover_id ? 1.2f : 0.8f;
    glColor4f(g, g, g, 1);
    objectDraw(objects_[size_t(e.object_index)], 0);
}

void Engine::objectDraw(const Object &o, float fade)
{
    const int state = s_.view_state;
    if (state != ZELLE_STATE_WHOLE_CELL && o.id == ZELLE_OBJECT_VESICLES)
        return;
    if (state == ZELLE_STATE_ENTERING_DETAIL || state == ZELLE_STATE_LEAVING_DETAIL) {
        glColor4f(1, 1, 1, 1);
        for (const Part &part : o.detail_parts)
            partDraw(part);
        glColor4f(1, 1, 1, state == ZELLE_STATE_ENTERING_DETAIL ? 1 - fade : fade);
        for (const Part &part : o.overview_parts)
            partDraw(part);
    } else if (state == ZELLE_STATE_DETAIL) {
        for (const Part &part : o.detail_parts) {
            glPushName(GLuint(part.mesh_index));
            partDraw(part);
            glPopName();
        }
    } else {
        for (size_t i = 0; i < o.overview_parts.size(); ++i) {
            if (i == kHiddenPart)
                continue;
            if (o.id == s_.highlight_object_id)
                glColor4f(1.2f, 1.2f, 1.2f, 1);
            partDraw(o.overview_parts[i]);
        }
    }
}

void Engine::partDraw(const Part &part)
{
    glPushMatrix();
    glMultMatrixf(part.matrix.data());
    glBindTexture(GL_TEXTURE_2D, textures_[size_t(part.mesh_index)]);
    glCallList(list_base_ + GLuint(part.mesh_index));
    glPopMatrix();
}

// ---------------------------------------------------------------------------------------------
// Picking

void Engine::pick(const Matrix &modelview, int x, int y)
{
    s_.hover_id = ZELLE_NONE;
    if (s_.view_state != ZELLE_STATE_WHOLE_CELL && s_.view_state != ZELLE_STATE_DETAIL)
        return;
    std::vector<GLuint> buffer(kSelectBufferSize);
    glSelectBuffer(kSelectBufferSize, buffer.data());
    glRenderMode(GL_SELECT);

    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int window_height = s_.viewport_overview[3];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(double(x), double(window_height - y), 1.0, 1.0, viewport);
    gluPerspective(45.0, viewport[3] > 0 ? double(viewport[2]) / double(viewport[3]) : 1.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview.data());
    glInitNames();

    if (s_.view_state == ZELLE_STATE_WHOLE_CELL) {
        for (const Placement &e : scene_table_) {
            glPushMatrix();
            glPushName(GLuint(e.id));
            glMultMatrixf(e.matrix.data());
            objectDraw(objects_[size_t(e.object_index)], 0);
            glPopName();
            glPopMatrix();
        }
    } else if (const Object *o = selectedObject()) {
        objectDraw(*o, 0);
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    const GLint hits = glRenderMode(GL_RENDER);

    // Negative: the buffer overflowed, and nothing counts as hit.
    size_t pos = 0;
    bool found = false;
    GLuint best_depth = 0;
    for (GLint i = 0; i < hits; ++i) {
        if (pos + 3 > buffer.size())
            break;
        const GLuint names = buffer[pos];
        const GLuint min_depth = buffer[pos + 1];
        pos += 3;
        if (names > buffer.size() - pos)
            break;
        if (names > 0 && (!found || min_depth < best_depth)) {
            found = true;
            best_depth = min_depth;
            s_.hover_id = int32_t(buffer[pos + names - 1]);
        }
        pos += names;
    }
}

// ---------------------------------------------------------------------------------------------
// Actions

// In the detail view the organelle comes no nearer than four fifths of its distance (closer, it
// overfills its viewport and the near plane cuts into it) and goes no farther than twice it.
float Engine::detailZoomLimit(float z) const
{
    if (s_.selected_index < 0 || s_.selected_index >= kObjectCount)
        return z;
    const float home = objects_[size_t(s_.selected_index)].view_matrix[14];
    if (home >= 0)
        return z;
    return std::clamp(z, 2.0f * home, 0.8f * home);
}

int32_t Engine::Action(int32_t code, int32_t a, int32_t b)
{
    if (!ready_)
        return ZELLE_NONE;
    if (s_.view_state != ZELLE_STATE_WHOLE_CELL && s_.view_state != ZELLE_STATE_DETAIL)
        return ZELLE_NONE;
    switch (code) {
    case ZELLE_ACTION_ROTATE:
    case ZELLE_ACTION_MOVE:
        s_.drag_mode = code;
        s_.last_x = a;
        s_.last_y = b;
        return 0;
    case ZELLE_ACTION_END_DRAG:
        if (s_.drag_mode == ZELLE_ACTION_ROTATE) {
            s_.camera = rotateDrag(s_.camera, s_.camera_inverse, a - s_.last_x, b - s_.last_y);
            s_.camera_inverse = inverse3(s_.camera);
        } else if (s_.drag_mode == ZELLE_ACTION_MOVE) {
            s_.camera = moveDrag(s_.camera, s_.camera_inverse, a - s_.last_x, b - s_.last_y);
        }
        s_.drag_mode = ZELLE_ACTION_END_DRAG;
        return 0;
    case ZELLE_ACTION_ZOOM:
        s_.camera[14] += float(a) / 400.0f;
        if (s_.view_state == ZELLE_STATE_DETAIL)
            s_.camera[14] = detailZoomLimit(s_.camera[14]);
        return 0;
    case ZELLE_ACTION_START_VIEW:
        s_.drag_mode = ZELLE_ACTION_END_DRAG;
        if (s_.view_state == ZELLE_STATE_WHOLE_CELL) {
            s_.camera = initialCamera();
            s_.camera_inverse = inverse3(s_.camera);
            return 0;
        }
        // The flight back ends where the whole cell started, not where it was left.
        s_.overview_matrix = initialCamera();
        return Action(ZELLE_ACTION_BACK, 0, 0);
    case ZELLE_ACTION_GO_TO: {
        if (a == ZELLE_NONE)
            return ZELLE_NONE;
        const int index = findPlacement(a);
        if (index < 0)
            return 0; // an id no entry has: ignored
        if (s_.view_state == ZELLE_STATE_WHOLE_CELL) {
            s_.highlight_strong = false; // the mark belongs to this view of the whole cell
            s_.pending_state = ZELLE_STATE_LEAVING_CELL;
            s_.selected_id = a;
            s_.selected_index = index;
            s_.phase_start_ms = tickMs();
        } else {
            s_.selected_id = a;
            s_.selected_index = scene_table_[size_t(index)].object_index;
            s_.camera = objects_[size_t(s_.selected_index)].view_matrix;
            s_.camera_inverse = inverse3(s_.camera);
        }
        return 0;
    }
    case ZELLE_ACTION_BACK:
        if (s_.view_state != ZELLE_STATE_DETAIL)
            return ZELLE_NONE;
        context_.makeCurrent();
        s_.pending_state = ZELLE_STATE_LEAVING_DETAIL;
        s_.phase_start_ms = tickMs();
        setBlending(true);
        return 0;
    case ZELLE_ACTION_PLACEMENT_OF:
        if (a < 0)
            return ZELLE_NONE;
        for (size_t i = scene_table_.size(); i-- > 0;)
            if (scene_table_[i].object_index == a)
                return scene_table_[i].id;
        return 0;
    case ZELLE_ACTION_OBJECT_OF: {
        if (a < 0)
            return ZELLE_NONE;
        const int index = findPlacement(a);
        return index >= 0 ? scene_table_[size_t(index)].object_index : 0;
    }
    case ZELLE_ACTION_HIGHLIGHT:
        s_.highlight_object_id = a;
        s_.highlight_strong = b == ZELLE_HIGHLIGHT_STRONG && a != ZELLE_NONE;
        return 0;
    case ZELLE_ACTION_PICK: {
        context_.makeCurrent();
        const Matrix view = viewWithDrag(a, b);
        pick(view, a, b);
        glLoadMatrixf(view.data());
        return s_.hover_id;
    }
    default:
        return 0;
    }
}

} // namespace zelle
