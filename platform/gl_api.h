// The one GL header of the system: OpenGL 1.x, GLU, the three program-wide
// multitexture entry points and the framebuffer-object ones the show's own
// frame buffer is made with.
//
// Every drawing module calls glActiveTextureARB, glMultiTexCoord2fARB and
// glMultiTexCoord2fvARB. They are function pointers that are filled when a GL
// context is made current (by the demo window or by an offscreen context), not
// the library's own exports: a driver may only hand them out per context.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>

namespace vantor::gl {

extern PFNGLACTIVETEXTUREARBPROC activeTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2fARB;
extern PFNGLMULTITEXCOORD2FVARBPROC multiTexCoord2fvARB;

// Looks the three entry points up through the given proc-address function of the
// current context. Returns false (and leaves the pointers null) when one is missing.
using ProcLookup = void* (*)(const char* name);
bool loadMultitexture(ProcLookup lookup);

// Framebuffer objects with depth-stencil renderbuffers and the blit between
// frame buffers. Optional: a context without them draws the show straight into
// its window.
extern PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
extern PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
extern PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
extern PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
extern PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
extern PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
extern PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
extern PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
extern PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
extern PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;

// Looks the framebuffer-object entry points up; false (all left null) when the
// context lacks one of them.
bool loadFramebufferObjects(ProcLookup lookup);
bool framebufferObjectsLoaded();

}  // namespace vantor::gl

// Calls written with the usual names go through the program-wide pointers.
#define glActiveTextureARB vantor::gl::activeTextureARB
#define glMultiTexCoord2fARB vantor::gl::multiTexCoord2fARB
#define glMultiTexCoord2fvARB vantor::gl::multiTexCoord2fvARB
