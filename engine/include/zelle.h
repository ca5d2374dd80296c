#pragma once

/*
 * Zelle: draws the 3D plant-cell model with OpenGL into a window the caller owns, runs the
 * view-state cycle whole cell -> fade -> flight -> detail view -> back, and answers picking.
 *
 * One model and one GL context per process. Every function must be called from the thread
 * that called Zelle_Init: the context is made current there and stays current. No function
 * reports failure and no C++ exception leaves the library; a missing or damaged model file
 * is reported once on standard error and skipped, the rest of the model works.
 *
 * Each function is also exported under its lower-case name (zelle_init, zelle_viewport,
 * zelle_render, zelle_action, zelle_destroy), with the same signature.
 */

#include <stdbool.h>
#include <stdint.h>

#if defined(__GNUC__)
#define ZELLE_API __attribute__((visibility("default")))
#else
#define ZELLE_API
#endif

/* Action codes: the first argument of Zelle_Action. */
#define ZELLE_ACTION_ROTATE 0       /* begin rotating at (a, b) */
#define ZELLE_ACTION_MOVE 1         /* begin moving at (a, b) */
#define ZELLE_ACTION_END_DRAG 2     /* end the drag at (a, b) */
#define ZELLE_ACTION_ZOOM 3         /* zoom by wheel delta a */
#define ZELLE_ACTION_GO_TO 4        /* go to placement id a */
#define ZELLE_ACTION_BACK 5         /* back to the whole cell */
#define ZELLE_ACTION_PLACEMENT_OF 6 /* placement id of object index a */
#define ZELLE_ACTION_OBJECT_OF 7    /* object index of placement id a */
#define ZELLE_ACTION_HIGHLIGHT 8    /* highlight object id a (ZELLE_NONE: none); b, see below */
#define ZELLE_ACTION_PICK 9         /* pick at (a, b), returns the placement id */
#define ZELLE_ACTION_START_VIEW 10  /* the whole cell as at start: at once there, or flying back */

/* b of ZELLE_ACTION_HIGHLIGHT: 0 draws the object a little lighter; ZELLE_HIGHLIGHT_STRONG marks
 * it in the whole cell so that every placement of it stands out: those placements lit and
 * opaque, everything else faint and see-through. The strong mark ends with the next highlight
 * action and when ZELLE_ACTION_GO_TO leaves the whole cell. */
#define ZELLE_HIGHLIGHT_STRONG 1

/* View states, in the order of the one cycle 0 -> 1 -> ... -> 7 -> 0. */
#define ZELLE_STATE_WHOLE_CELL 0      /* until ZELLE_ACTION_GO_TO */
#define ZELLE_STATE_LEAVING_CELL 1    /* the other placements fade out */
#define ZELLE_STATE_FLYING_IN 2       /* flight to the organelle */
#define ZELLE_STATE_ENTERING_DETAIL 3 /* the organelle's outside fades out over its detail */
#define ZELLE_STATE_DETAIL 4          /* until ZELLE_ACTION_BACK */
#define ZELLE_STATE_LEAVING_DETAIL 5  /* the outside fades back in */
#define ZELLE_STATE_FLYING_BACK 6     /* flight back */
#define ZELLE_STATE_RETURNING 7       /* the other placements fade in */

/* Zelle_Render's result when view state s was entered; a result r <= -2 means state -2 - r. */
#define ZELLE_STATE_ENTERED(s) (-2 - (s))

/* "Nothing": no hit under the pointer, no highlight, an action refused during an animation. */
#define ZELLE_NONE (-1)

/* The vesicles: their object index, and the object id their object file carries. They are
 * drawn in the whole cell only. */
#define ZELLE_OBJECT_VESICLES 10

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Creates the GL context and loads the model from base_folder + "zelle/mesh0.mesh" and so on;
 * base_folder is used as a plain prefix and must end with '/'.
 *
 * window: an X11 window id. The library opens its own display connection and binds an EGL
 * window surface (RGB 8 bits each, no alpha, depth 16, double-buffered, config matching the
 * window's visual) with a desktop-OpenGL compatibility context, swap interval 1.
 * window == 0: an offscreen surface of 1024 x 768 pixels on Mesa's surfaceless EGL platform;
 * needs no display at all.
 *
 * A second call releases the first context and model and starts afresh: afterwards the library
 * behaves exactly as after a single call (view state 0, initial camera, viewports 1 x 1 at 1, 1).
 */
ZELLE_API void Zelle_Init(uintptr_t window, const char *base_folder);

/*
 * Sets the overview (overview = true) or the detail viewport, in GL window coordinates
 * (origin bottom left), and re-applies the projection at once. A blended viewport of height 0
 * keeps the previous projection.
 */
ZELLE_API void Zelle_Viewport(bool overview, int32_t x, int32_t y, int32_t width, int32_t height);

/*
 * Draws and shows one frame; (x, y) is the mouse position in window pixels, origin top left.
 * Returns ZELLE_STATE_ENTERED(s) = -2 - s when the view state changed to s at the start of this
 * frame (-2 .. -9), otherwise the hover id: in the whole cell the placement id under (x, y), in
 * the detail view the mesh index of the detail part under it, ZELLE_NONE for nothing; in the
 * other states the last pick.
 *
 * The library's context stays current on the calling thread after the call. With window == 0
 * the frame is finished (glFinish) before the call returns and stays in the offscreen surface:
 * glReadPixels on the default read buffer right after this call returns the frame just drawn
 * (a pbuffer has a single colour buffer, which the swap leaves as drawn).
 */
ZELLE_API int32_t Zelle_Render(int32_t x, int32_t y);

/*
 * Runs action `code` (ZELLE_ACTION_*) with arguments a and b; ZELLE_NONE while an animation
 * runs (view states other than ZELLE_STATE_WHOLE_CELL and ZELLE_STATE_DETAIL), 0 for unknown
 * codes.
 */
ZELLE_API int32_t Zelle_Action(int32_t code, int32_t a, int32_t b);

/* Deletes the display lists and releases the context and surface. Call at most once, last. */
ZELLE_API void Zelle_Destroy(void);

#ifdef __cplusplus
}
#endif
