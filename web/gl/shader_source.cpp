#include "shader_source.h"

#include <string>

namespace vantor::webgl {
namespace {

const char* kVertexHead = R"(#version 300 es
precision highp float;
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec3 aNormal;
layout(location = 3) in vec2 aTexCoord0;
layout(location = 4) in vec2 aTexCoord1;
uniform mat4 uModelview;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform vec4 uLightAmbient[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightPosition[8];
uniform vec4 uLightAttenuation[8];
// Front material at 0..4, back at 5..9: ambient, diffuse, specular, emission, (shininess).
uniform vec4 uMaterial[10];
uniform vec4 uSceneAmbient;
out vec4 vColor;
out vec4 vSecondary;
out vec4 vBackColor;
out vec4 vBackSecondary;
out vec2 vTexCoord0;
out vec2 vTexCoord1;

void addLight(int i, int m, vec3 eye, vec3 n, inout vec3 colour, inout vec3 specular) {
    vec4 position = uLightPosition[i];
    vec3 toLight;
    float attenuation = 1.0;
    if (position.w != 0.0) {
        toLight = position.xyz / position.w - eye;
        float d = length(toLight);
        vec3 k = uLightAttenuation[i].xyz;
        attenuation = 1.0 / max(k.x + k.y * d + k.z * d * d, 1e-6);
        toLight = d > 0.0 ? toLight / d : vec3(0.0, 0.0, 1.0);
    } else {
        toLight = normalize(position.xyz);
    }
    float diffuse = max(dot(n, toLight), 0.0);
    colour += attenuation * (uLightAmbient[i].rgb * uMaterial[m].rgb +
                             diffuse * uLightDiffuse[i].rgb * uMaterial[m + 1].rgb);
    if (diffuse > 0.0) {
        vec3 halfway = normalize(toLight + vec3(0.0, 0.0, 1.0));
        float shininess = uMaterial[m + 4].x;
        float highlight = max(dot(n, halfway), 0.0);
        // GL takes 0 to the power 0 as 1.
        float power = shininess == 0.0 ? 1.0 : pow(highlight, shininess);
        specular += attenuation * power * uLightSpecular[i].rgb * uMaterial[m + 2].rgb;
    }
}
)";

std::string shadeFunction(const ProgramKey& key) {
    std::string s =
        "void shade(int m, vec3 eye, vec3 n, out vec4 primary, out vec4 secondary) {\n"
        "    vec3 colour = uMaterial[m + 3].rgb + uSceneAmbient.rgb * uMaterial[m].rgb;\n"
        "    vec3 specular = vec3(0.0);\n";
    for (int i = 0; i < kMaxLights; ++i)
        if (key.lightMask & (1u << i)) s += "    addLight(" + std::to_string(i) + ", m, eye, n, colour, specular);\n";
    if (key.separateSpecular)
        s += "    primary = vec4(clamp(colour, 0.0, 1.0), uMaterial[m + 1].a);\n"
             "    secondary = vec4(clamp(specular, 0.0, 1.0), 0.0);\n";
    else
        s += "    primary = vec4(clamp(colour + specular, 0.0, 1.0), uMaterial[m + 1].a);\n"
             "    secondary = vec4(0.0);\n";
    return s + "}\n";
}

std::string envExpression(EnvMode mode, bool alphaOnly, const std::string& t) {
    // c is the colour reaching the unit, t its texel.
    if (alphaOnly) {
        switch (mode) {
        case EnvMode::Replace: return "vec4(c.rgb, " + t + ".a)";
        case EnvMode::Decal: return "c";
        default: return "vec4(c.rgb, c.a * " + t + ".a)";
        }
    }
    switch (mode) {
    case EnvMode::Modulate: return "c * " + t;
    case EnvMode::Replace: return t;
    case EnvMode::Decal: return "vec4(mix(c.rgb, " + t + ".rgb, " + t + ".a), c.a)";
    case EnvMode::Add: return "vec4(c.rgb + " + t + ".rgb, c.a * " + t + ".a)";
    case EnvMode::Blend: return "vec4(c.rgb * (1.0 - " + t + ".rgb), c.a * " + t + ".a)";
    case EnvMode::AddSigned: return "vec4(" + t + ".rgb + c.rgb - 0.5, c.a * " + t + ".a)";
    }
    return "c";
}

const char* compareOperator(GLenum func) {
    switch (func) {
    case GL_LESS: return "<";
    case GL_EQUAL: return "==";
    case GL_LEQUAL: return "<=";
    case GL_GREATER: return ">";
    case GL_NOTEQUAL: return "!=";
    case GL_GEQUAL: return ">=";
    default: return nullptr;
    }
}

}  // namespace

std::string vertexShaderSource(const ProgramKey& key) {
    std::string s = kVertexHead;
    if (key.lighting) s += shadeFunction(key);
    s += "void main() {\n"
         "    vec4 eye = uModelview * aPosition;\n"
         "    gl_Position = uProjection * eye;\n"
         "    vTexCoord0 = aTexCoord0;\n"
         "    vTexCoord1 = aTexCoord1;\n";
    if (!key.lighting) {
        s += "    vColor = clamp(aColor, 0.0, 1.0);\n"
             "    vSecondary = vec4(0.0);\n"
             "    vBackColor = vColor;\n"
             "    vBackSecondary = vSecondary;\n";
    } else {
        s += std::string("    vec3 n = uNormalMatrix * aNormal;\n") + (key.normalize ? "    n = normalize(n);\n" : "") +
             "    vec3 p = eye.xyz / eye.w;\n"
             "    shade(0, p, n, vColor, vSecondary);\n";
        if (key.twoSide)
            s += "    shade(5, p, -n, vBackColor, vBackSecondary);\n";
        else
            s += "    vBackColor = vColor;\n    vBackSecondary = vSecondary;\n";
    }
    return s + "}\n";
}

std::string fragmentShaderSource(const ProgramKey& key) {
    std::string s =
        "#version 300 es\n"
        "precision highp float;\n"
        "in vec4 vColor;\nin vec4 vSecondary;\nin vec4 vBackColor;\nin vec4 vBackSecondary;\n"
        "in vec2 vTexCoord0;\nin vec2 vTexCoord1;\n"
        "uniform sampler2D uTexture0;\nuniform sampler2D uTexture1;\n"
        "uniform float uAlphaRef;\n"
        "uniform vec2 uTextureSize0;\nuniform vec2 uTextureSize1;\n"
        // The share of a linear sample that GL_CLAMP takes from the
        // border: up to half a texel outside the outer texel centres.
        "float border(float s, float size) {\n"
        "    float t = clamp(s, 0.0, 1.0) * size;\n"
        "    return clamp(max(0.5 - t, t - (size - 0.5)), 0.0, 0.5);\n"
        "}\n"
        "out vec4 fragColor;\n"
        "void main() {\n";
    if (key.lighting && key.twoSide)
        s += "    vec4 c = gl_FrontFacing ? vColor : vBackColor;\n"
             "    vec4 secondary = gl_FrontFacing ? vSecondary : vBackSecondary;\n";
    else
        s += "    vec4 c = vColor;\n    vec4 secondary = vSecondary;\n";
    for (int u = 0; u < kTextureUnits; ++u) {
        if (key.target[u] == UnitTarget::None) continue;
        const std::string unit = std::to_string(u);
        const std::string coord =
            key.target[u] == UnitTarget::Ramp1D ? "vec2(vTexCoord" + unit + ".x, 0.5)" : "vTexCoord" + unit;
        s += "    vec4 t" + unit + " = texture(uTexture" + unit + ", " + coord + ");\n";
        if (key.borderS[u])
            s += "    t" + unit + " *= 1.0 - border(vTexCoord" + unit + ".x, uTextureSize" + unit + ".x);\n";
        if (key.borderT[u])
            s += "    t" + unit + " *= 1.0 - border(vTexCoord" + unit + ".y, uTextureSize" + unit + ".y);\n";
        s += "    c = clamp(" + envExpression(key.mode[u], key.alphaOnly[u], "t" + unit) + ", 0.0, 1.0);\n";
    }
    if (key.lighting && key.separateSpecular) s += "    c.rgb = min(c.rgb + secondary.rgb, 1.0);\n";
    if (key.alphaFunc == GL_NEVER)
        s += "    discard;\n";
    else if (const char* op = compareOperator(key.alphaFunc))
        s += std::string("    if (!(c.a ") + op + " uAlphaRef)) discard;\n";
    return s + "    fragColor = c;\n}\n";
}

}  // namespace vantor::webgl
