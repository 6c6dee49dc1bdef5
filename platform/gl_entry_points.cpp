#include "platform/gl_api.h"

namespace vantor::gl {

PFNGLACTIVETEXTUREARBPROC activeTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC multiTexCoord2fvARB = nullptr;

bool loadMultitexture(ProcLookup lookup) {
    auto* active = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(lookup("glActiveTextureARB"));
    auto* coord = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(lookup("glMultiTexCoord2fARB"));
    auto* coordv = reinterpret_cast<PFNGLMULTITEXCOORD2FVARBPROC>(lookup("glMultiTexCoord2fvARB"));
    if (!active || !coord || !coordv) return false;
    activeTextureARB = active;
    multiTexCoord2fARB = coord;
    multiTexCoord2fvARB = coordv;
    return true;
}

PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

namespace {

template <typename T>
bool look(ProcLookup lookup, const char* name, T& entry) {
    entry = reinterpret_cast<T>(lookup(name));
    return entry != nullptr;
}

}  // namespace

bool loadFramebufferObjects(ProcLookup lookup) {
    const bool all = look(lookup, "glGenFramebuffers", genFramebuffers) &&
                     look(lookup, "glDeleteFramebuffers", deleteFramebuffers) &&
                     look(lookup, "glBindFramebuffer", bindFramebuffer) &&
                     look(lookup, "glFramebufferRenderbuffer", framebufferRenderbuffer) &&
                     look(lookup, "glCheckFramebufferStatus", checkFramebufferStatus) &&
                     look(lookup, "glGenRenderbuffers", genRenderbuffers) &&
                     look(lookup, "glDeleteRenderbuffers", deleteRenderbuffers) &&
                     look(lookup, "glBindRenderbuffer", bindRenderbuffer) &&
                     look(lookup, "glRenderbufferStorage", renderbufferStorage) &&
                     look(lookup, "glBlitFramebuffer", blitFramebuffer);
    if (!all) {
        genFramebuffers = nullptr;
        deleteFramebuffers = nullptr;
        bindFramebuffer = nullptr;
        framebufferRenderbuffer = nullptr;
        checkFramebufferStatus = nullptr;
        genRenderbuffers = nullptr;
        deleteRenderbuffers = nullptr;
        bindRenderbuffer = nullptr;
        renderbufferStorage = nullptr;
        blitFramebuffer = nullptr;
    }
    return all;
}

bool framebufferObjectsLoaded() { return blitFramebuffer != nullptr; }

}  // namespace vantor::gl
