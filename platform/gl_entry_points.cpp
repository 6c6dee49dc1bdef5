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

}  // namespace vantor::gl
