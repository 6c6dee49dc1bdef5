#include "draw.h"

#include <cstddef>

#include "program_cache.h"
#include "shader_source.h"

namespace vantor::webgl {
namespace {

struct Buffers {
    GLuint array = 0, buffer = 0;
};

Buffers& buffers() {
    static Buffers b;
    if (!b.array) {
        emscripten_glGenVertexArrays(1, &b.array);
        emscripten_glBindVertexArray(b.array);
        emscripten_glGenBuffers(1, &b.buffer);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
        const GLsizei stride = sizeof(Vertex);
        auto attribute = [&](Attribute slot, GLint size, std::size_t offset) {
            emscripten_glEnableVertexAttribArray(slot);
            emscripten_glVertexAttribPointer(slot, size, GL_FLOAT, GL_FALSE, stride,
                                             reinterpret_cast<const void*>(offset));
        };
        attribute(kPosition, 4, offsetof(Vertex, position));
        attribute(kColor, 4, offsetof(Vertex, color));
        attribute(kNormal, 3, offsetof(Vertex, normal));
        attribute(kTexCoord0, 2, offsetof(Vertex, texCoord0));
        attribute(kTexCoord1, 2, offsetof(Vertex, texCoord1));
    }
    return b;
}

void setLightingUniforms(const Context& c, const Program& p) {
    float ambient[kMaxLights * 4], diffuse[kMaxLights * 4], specular[kMaxLights * 4], position[kMaxLights * 4],
        attenuation[kMaxLights * 4];
    for (int i = 0; i < kMaxLights; ++i) {
        const Light& l = c.lights[i];
        for (int k = 0; k < 4; ++k) {
            ambient[i * 4 + k] = l.ambient[k];
            diffuse[i * 4 + k] = l.diffuse[k];
            specular[i * 4 + k] = l.specular[k];
            position[i * 4 + k] = l.eyePosition[k];
        }
        attenuation[i * 4 + 0] = l.constant;
        attenuation[i * 4 + 1] = l.linear;
        attenuation[i * 4 + 2] = l.quadratic;
        attenuation[i * 4 + 3] = 0;
    }
    emscripten_glUniform4fv(p.lightAmbient, kMaxLights, ambient);
    emscripten_glUniform4fv(p.lightDiffuse, kMaxLights, diffuse);
    emscripten_glUniform4fv(p.lightSpecular, kMaxLights, specular);
    emscripten_glUniform4fv(p.lightPosition, kMaxLights, position);
    emscripten_glUniform4fv(p.lightAttenuation, kMaxLights, attenuation);
    float material[40];
    const Material* sides[2] = {&c.front, &c.back};
    for (int s = 0; s < 2; ++s) {
        float* m = material + s * 20;
        for (int k = 0; k < 4; ++k) {
            m[k] = sides[s]->ambient[k];
            m[4 + k] = sides[s]->diffuse[k];
            m[8 + k] = sides[s]->specular[k];
            m[12 + k] = sides[s]->emission[k];
            m[16 + k] = 0;
        }
        m[16] = sides[s]->shininess;
    }
    emscripten_glUniform4fv(p.material, 10, material);
    emscripten_glUniform4fv(p.sceneAmbient, 1, c.sceneAmbient.data());
    const auto normals = normalMatrix(const_cast<Context&>(c).modelview.top());
    emscripten_glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normals.data());
}

// Back faces drawn as outlines (polygon mode GL_LINE with the front faces
// culled): WebGL has no polygon mode, so the triangles become their edges.
bool outlinesOnly(const Context& c) { return c.culling && c.cullFace == GL_FRONT && c.backPolygonMode == GL_LINE; }

std::vector<Vertex> triangleEdges(const Context& context, GLenum mode, const std::vector<Vertex>& v) {
    const Mat4 toClip =
        multiply(const_cast<Context&>(context).projection.top(), const_cast<Context&>(context).modelview.top());
    std::vector<Vec4> clip;
    clip.reserve(v.size());
    for (const Vertex& vertex : v)
        clip.push_back(
            transform(toClip, {vertex.position[0], vertex.position[1], vertex.position[2], vertex.position[3]}));
    std::vector<Vertex> lines;
    auto triangle = [&](std::size_t a, std::size_t b, std::size_t c) {
        // Only the back faces are outlined: the sign of the window-space area tells.
        const Vec4 &p = clip[a], &q = clip[b], &r = clip[c];
        if (p[3] > 0 && q[3] > 0 && r[3] > 0) {
            const float area = (q[0] / q[3] - p[0] / p[3]) * (r[1] / r[3] - p[1] / p[3]) -
                               (r[0] / r[3] - p[0] / p[3]) * (q[1] / q[3] - p[1] / p[3]);
            const bool counterClockwise = area > 0;
            if (counterClockwise == (context.frontFace == GL_CCW)) return;
        }
        for (auto [from, to] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}}) {
            lines.push_back(v[from]);
            lines.push_back(v[to]);
        }
    };
    if (mode == GL_TRIANGLES)
        for (std::size_t i = 0; i + 2 < v.size(); i += 3) triangle(i, i + 1, i + 2);
    else if (mode == GL_TRIANGLE_STRIP)
        for (std::size_t i = 0; i + 2 < v.size(); ++i) {
            if (i % 2)
                triangle(i + 1, i, i + 2);
            else
                triangle(i, i + 1, i + 2);
        }
    else if (mode == GL_TRIANGLE_FAN)
        for (std::size_t i = 1; i + 1 < v.size(); ++i) triangle(0, i, i + 1);
    return lines;
}

}  // namespace

GLuint bindForEdit(GLenum target) {
    Context& c = context();
    const TextureUnit& unit = c.units[c.activeUnit];
    const GLuint ours = target == GL_TEXTURE_1D ? unit.bound1D : unit.bound2D;
    emscripten_glActiveTexture(GL_TEXTURE0 + c.activeUnit);
    const auto found = c.textures.find(ours);
    const GLuint browser = found == c.textures.end() ? 0 : found->second.browserName;
    emscripten_glBindTexture(GL_TEXTURE_2D, browser);
    return ours;
}

void drawVertices(GLenum mode, const std::vector<Vertex>& vertices) {
    if (vertices.empty()) return;
    Context& c = context();
    const ProgramKey key = currentProgramKey(c);
    const Program& p = programFor(key);
    if (!p.name) return;
    emscripten_glUseProgram(p.name);
    emscripten_glUniformMatrix4fv(p.modelview, 1, GL_FALSE, c.modelview.top().data());
    emscripten_glUniformMatrix4fv(p.projection, 1, GL_FALSE, c.projection.top().data());
    if (key.lighting) setLightingUniforms(c, p);
    if (key.alphaFunc != GL_ALWAYS) emscripten_glUniform1f(p.alphaRef, c.alphaRef);
    for (int u = 0; u < kTextureUnits; ++u) {
        if (key.target[u] == UnitTarget::None) continue;
        UnitTarget target;
        const GLuint ours = unitTexture(c, u, &target);
        emscripten_glActiveTexture(GL_TEXTURE0 + u);
        const TextureInfo& info = c.textures[ours];
        emscripten_glBindTexture(GL_TEXTURE_2D, info.browserName);
        if (key.borderS[u] || key.borderT[u])
            emscripten_glUniform2f(p.textureSize[u], float(info.width), float(info.height));
    }
    emscripten_glActiveTexture(GL_TEXTURE0 + c.activeUnit);

    const Buffers& b = buffers();
    emscripten_glBindVertexArray(b.array);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
    const std::vector<Vertex>* batch = &vertices;
    std::vector<Vertex> edges;
    if (outlinesOnly(c) && mode != GL_LINES && mode != GL_LINE_STRIP && mode != GL_LINE_LOOP && mode != GL_POINTS) {
        edges = triangleEdges(c, mode, vertices);
        batch = &edges;
        mode = GL_LINES;
        // Lines have no faces to cull; they are the back faces already.
        emscripten_glDisable(GL_CULL_FACE);
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(batch->size() * sizeof(Vertex)), batch->data(), GL_STREAM_DRAW);
    emscripten_glDrawArrays(mode, 0, GLsizei(batch->size()));
    if (batch == &edges) emscripten_glEnable(GL_CULL_FACE);
}

}  // namespace vantor::webgl
