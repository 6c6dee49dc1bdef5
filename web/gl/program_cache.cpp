#include "program_cache.h"

#include <cstdio>
#include <unordered_map>
#include <vector>

#include "shader_source.h"

namespace vantor::webgl {
namespace {

std::unordered_map<std::uint64_t, Program>& cache() {
    static std::unordered_map<std::uint64_t, Program> programs;
    return programs;
}

GLuint compile(GLenum type, const std::string& source) {
    const GLuint shader = emscripten_glCreateShader(type);
    const GLchar* text = source.c_str();
    emscripten_glShaderSource(shader, 1, &text, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        std::vector<GLchar> log(4096);
        emscripten_glGetShaderInfoLog(shader, GLsizei(log.size()), nullptr, log.data());
        std::fprintf(stderr, "GL layer: shader does not compile: %s\n%s\n", log.data(), source.c_str());
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

Program link(const ProgramKey& key) {
    Program p;
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexShaderSource(key));
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentShaderSource(key));
    if (!vertex || !fragment) return p;
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(vertex);
    emscripten_glDeleteShader(fragment);
    GLint ok = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        std::vector<GLchar> log(4096);
        emscripten_glGetProgramInfoLog(program, GLsizei(log.size()), nullptr, log.data());
        std::fprintf(stderr, "GL layer: program does not link: %s\n", log.data());
        return p;
    }
    p.name = program;
    auto at = [&](const char* name) { return emscripten_glGetUniformLocation(program, name); };
    p.modelview = at("uModelview");
    p.projection = at("uProjection");
    p.normalMatrix = at("uNormalMatrix");
    p.lightAmbient = at("uLightAmbient");
    p.lightDiffuse = at("uLightDiffuse");
    p.lightSpecular = at("uLightSpecular");
    p.lightPosition = at("uLightPosition");
    p.lightAttenuation = at("uLightAttenuation");
    p.material = at("uMaterial");
    p.sceneAmbient = at("uSceneAmbient");
    p.alphaRef = at("uAlphaRef");
    p.texture[0] = at("uTexture0");
    p.texture[1] = at("uTexture1");
    p.textureSize[0] = at("uTextureSize0");
    p.textureSize[1] = at("uTextureSize1");
    emscripten_glUseProgram(program);
    for (int u = 0; u < kTextureUnits; ++u)
        if (p.texture[u] >= 0) emscripten_glUniform1i(p.texture[u], u);
    return p;
}

}  // namespace

const Program& programFor(const ProgramKey& key) {
    const std::uint64_t packed = key.packed();
    auto found = cache().find(packed);
    if (found == cache().end()) found = cache().emplace(packed, link(key)).first;
    return found->second;
}

std::size_t programCount() { return cache().size(); }

}  // namespace vantor::webgl
