#include "content/scenes/kit/tessellate.h"

#include "platform/gl_api.h"

#include <cmath>
#include <cstdint>
#include <deque>
#include <stdexcept>

namespace scenekit {
namespace {

// What the GLU callbacks fill. Vertex data pointers carry point indices.
struct TessState {
    FlatTriangles* out;
    std::deque<std::array<GLdouble, 3>> coords;  // stable addresses for gluTessVertex
    std::vector<unsigned> pending;
    bool failed = false;
};

void GLAPIENTRY onBegin(GLenum, void*) {}
void GLAPIENTRY onEdgeFlag(GLboolean, void*) {}  // forces separate triangles
void GLAPIENTRY onEnd(void*) {}

void GLAPIENTRY onVertex(void* vertex, void* data) {
    auto* state = static_cast<TessState*>(data);
    state->pending.push_back(unsigned(reinterpret_cast<std::uintptr_t>(vertex)));
    if (state->pending.size() == 3) {
        state->out->triangles.push_back({state->pending[0], state->pending[1], state->pending[2]});
        state->pending.clear();
    }
}

void GLAPIENTRY onCombine(GLdouble coords[3], void* [4], GLfloat[4], void** result, void* data) {
    auto* state = static_cast<TessState*>(data);
    state->out->points.push_back(Vec2(float(coords[0]), float(coords[1])));
    *result = reinterpret_cast<void*>(std::uintptr_t(state->out->points.size() - 1));
}

void GLAPIENTRY onError(GLenum, void* data) { static_cast<TessState*>(data)->failed = true; }

}  // namespace

float signedArea2(const std::vector<Vec2>& contour) {
    float sum = 0;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const Vec2& a = contour[i];
        const Vec2& b = contour[(i + 1) % contour.size()];
        sum += a.u * b.v - b.u * a.v;
    }
    return sum;
}

bool insideContour(const Vec2& point, const std::vector<Vec2>& contour) {
    bool inside = false;
    for (std::size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++) {
        const Vec2& a = contour[i];
        const Vec2& b = contour[j];
        if ((a.v > point.v) != (b.v > point.v) && point.u < (b.u - a.u) * (point.v - a.v) / (b.v - a.v) + a.u)
            inside = !inside;
    }
    return inside;
}

FlatTriangles tessellate(const std::vector<std::vector<Vec2>>& contours) {
    FlatTriangles out;
    TessState state{&out, {}, {}};
    GLUtesselator* tess = gluNewTess();
    if (!tess) throw std::runtime_error("no GLU tessellator");
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(onBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(onEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(onVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(onEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(onCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(onError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0, 0, 1);

    gluTessBeginPolygon(tess, &state);
    for (const auto& contour : contours) {
        gluTessBeginContour(tess);
        for (const Vec2& p : contour) {
            out.points.push_back(p);
            state.coords.push_back({p.u, p.v, 0.0});
            gluTessVertex(tess, state.coords.back().data(),
                          reinterpret_cast<void*>(std::uintptr_t(out.points.size() - 1)));
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (state.failed) throw std::runtime_error("the tessellator refused an outline");

    // The tessellator's winding follows its normal; make every triangle
    // counter-clockwise and drop slivers that would give no normal.
    std::vector<std::array<unsigned, 3>> kept;
    for (auto t : out.triangles) {
        const float area = signedArea2({out.points[t[0]], out.points[t[1]], out.points[t[2]]});
        if (std::fabs(area) < 1e-4f) continue;
        if (area < 0) std::swap(t[1], t[2]);
        kept.push_back(t);
    }
    out.triangles = kept;
    return out;
}

}  // namespace scenekit
