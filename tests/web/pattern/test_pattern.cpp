#include "test_pattern.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/gl_api.h"

namespace vantor::test {
namespace {

constexpr int kCell = 80;  // 4 x 3 cells

// Selects cell (column, row), row 0 at the top, with a unit-square projection.
void cell(int column, int row) {
    const int x = column * kCell, y = kPatternHeight - (row + 1) * kCell;
    glViewport(x, y, kCell, kCell);
    glScissor(x, y, kCell, kCell);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Selects cell (column, row) seen through a perspective projection; the
// modelview is the identity.
void perspectiveCell(int column, int row, double fovy, double zNear, double zFar) {
    cell(column, row);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, 1, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
}

void quad(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(1, 0);
    glVertex2f(x1, y0);
    glTexCoord2f(1, 1);
    glVertex2f(x1, y1);
    glTexCoord2f(0, 1);
    glVertex2f(x0, y1);
    glEnd();
}

GLuint texture(int width, int height, GLenum format, const std::vector<std::uint8_t>& pixels, GLint filter) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, format == GL_RGB ? 3 : 4, width, height, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return name;
}

// Draws the bound 2D texture `name` on a quad, then deletes it.
void drawAndDelete(GLuint name, float x0, float y0, float x1, float y1) {
    glEnable(GL_TEXTURE_2D);
    quad(x0, y0, x1, y1);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &name);
}

// Row 0: colours, an odd-width RGB texture, the 1D ramp, blending.
void firstRow() {
    cell(0, 0);
    glBegin(GL_TRIANGLE_STRIP);
    glColor3f(1, 0, 0);
    glVertex2f(0, 0);
    glColor3f(0, 1, 0);
    glVertex2f(1, 0);
    glColor3f(0, 0, 1);
    glVertex2f(0, 1);
    glColor3f(1, 1, 1);
    glVertex2f(1, 1);
    glEnd();

    // 3 x 3 RGB texels, rows of 9 bytes read with alignment 1.
    cell(1, 0);
    std::vector<std::uint8_t> odd;
    for (int i = 0; i < 9; ++i) {
        odd.push_back(std::uint8_t(i * 28));
        odd.push_back(std::uint8_t(255 - i * 28));
        odd.push_back(std::uint8_t(i % 2 ? 255 : 0));
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLuint oddTexture = texture(3, 3, GL_RGB, odd, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glColor4f(1, 0.5f, 1, 1);
    drawAndDelete(oddTexture, 0, 0, 1, 1);

    // A four-step ramp across the cell.
    cell(2, 0);
    const std::uint8_t ramp[16] = {40, 0, 0, 255, 120, 60, 0, 255, 200, 160, 40, 255, 255, 255, 220, 255};
    GLuint rampTexture = 0;
    glGenTextures(1, &rampTexture);
    glBindTexture(GL_TEXTURE_1D, rampTexture);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexImage1D(GL_TEXTURE_1D, 0, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, ramp);
    glEnable(GL_TEXTURE_1D);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord1f(0);
    glVertex2f(0, 0);
    glTexCoord1f(1);
    glVertex2f(1, 0);
    glTexCoord1f(1);
    glVertex2f(1, 1);
    glTexCoord1f(0);
    glVertex2f(0, 1);
    glEnd();
    glDisable(GL_TEXTURE_1D);
    glDeleteTextures(1, &rampTexture);

    cell(3, 0);
    glColor3f(0.2f, 0.2f, 0.6f);
    quad(0, 0, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 0, 0.5f);
    quad(0.1f, 0.1f, 0.6f, 0.9f);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(0.5f, 0, 0.3f, 1);
    quad(0.4f, 0.3f, 0.9f, 0.7f);
    glDisable(GL_BLEND);
}

// Row 1: alpha test, scissor and masks with destination alpha, depth, culling.
void secondRow() {
    cell(0, 1);
    std::vector<std::uint8_t> fade;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            fade.insert(fade.end(), {std::uint8_t(x * 16), 255, std::uint8_t(y * 16), std::uint8_t(x * 16 + 8)});
        }
    const GLuint fadeTexture = texture(16, 16, GL_RGBA, fade, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    drawAndDelete(fadeTexture, 0, 0, 1, 1);
    glDisable(GL_ALPHA_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // Destination alpha written through a mask, then used as the blend weight.
    cell(1, 1);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.1f, 0.3f, 0.1f, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(kCell + 10, kPatternHeight - 2 * kCell + 10, 40, 40);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA);
    glColor3f(1, 0.5f, 0);
    quad(0, 0, 1, 1);
    glDisable(GL_BLEND);

    // Two quads crossing in depth under a perspective view.
    perspectiveCell(2, 1, 60, 0.5, 10);
    gluLookAt(0, 0, 3, 0, 0, 0, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBegin(GL_QUADS);
    glColor3f(0.9f, 0.2f, 0.2f);
    glVertex3f(-1, -0.5f, -1);
    glVertex3f(1, -0.5f, 1);
    glVertex3f(1, 0.5f, 1);
    glVertex3f(-1, 0.5f, -1);
    glColor3f(0.2f, 0.9f, 0.2f);
    glVertex3f(-1, -0.8f, 1);
    glVertex3f(1, -0.8f, -1);
    glVertex3f(1, 0.2f, -1);
    glVertex3f(-1, 0.2f, 1);
    glEnd();
    glDisable(GL_DEPTH_TEST);

    // A clockwise quad is culled, a counter-clockwise one kept; a fan and a quad strip.
    cell(3, 1);
    glEnable(GL_CULL_FACE);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glVertex2f(0, 0.5f);
    glVertex2f(0, 1);
    glVertex2f(0.5f, 1);
    glVertex2f(0.5f, 0.5f);
    glEnd();
    glColor3f(0.3f, 0.6f, 1);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(0.75f, 0.75f);
    for (int i = 0; i <= 12; ++i) {
        const float a = float(i) / 12 * 6.2831853f;
        glVertex2f(0.75f + 0.2f * std::cos(a), 0.75f + 0.2f * std::sin(a));
    }
    glEnd();
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= 4; ++i) {
        glColor3f(float(i) / 4, 0.4f, 0.2f);
        glVertex2f(0.1f + i * 0.2f, 0.1f);
        glVertex2f(0.1f + i * 0.2f, 0.4f);
    }
    glEnd();
    glDisable(GL_CULL_FACE);
}

void sphere(float radius, int slices, int stacks) {
    for (int j = 0; j < stacks; ++j) {
        const float a0 = 3.14159265f * (float(j) / stacks - 0.5f), a1 = 3.14159265f * (float(j + 1) / stacks - 0.5f);
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            const float b = 6.2831853f * float(i) / slices;
            for (float a : {a1, a0}) {
                const float x = std::cos(a) * std::cos(b), y = std::sin(a), z = std::cos(a) * std::sin(b);
                glNormal3f(x, y, z);
                glVertex3f(radius * x, radius * y, radius * z);
            }
        }
        glEnd();
    }
}

// Row 2: lighting, two-sided faces, two texture units, frame-buffer copies.
void thirdRow() {
    perspectiveCell(0, 2, 45, 1, 10);
    glTranslatef(0, 0, -4);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    const GLfloat noAmbient[4] = {0.05f, 0.05f, 0.05f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    const GLfloat direction[4] = {-1, 1, 1, 0}, red[4] = {0.8f, 0.2f, 0.2f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, red);
    const GLfloat point[4] = {1.5f, -0.5f, 1.5f, 1}, blue[4] = {0.3f, 0.5f, 1, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, point);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, blue);
    glLightfv(GL_LIGHT1, GL_SPECULAR, blue);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.2f);
    const GLfloat white[4] = {1, 1, 1, 1}, grey[4] = {0.8f, 0.8f, 0.8f, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, grey);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 30);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glRotatef(30, 1, 0, 0);
    glScalef(1, 1, 1);
    sphere(1, 24, 16);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
    glDisable(GL_LIGHT1);

    // A quad turned away from the viewer shows its back material.
    perspectiveCell(1, 2, 45, 1, 10);
    glTranslatef(0, 0, -3);
    glRotatef(140, 0, 1, 0);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    const GLfloat green[4] = {0.2f, 0.9f, 0.3f, 1};
    glMaterialfv(GL_BACK, GL_DIFFUSE, green);
    glMaterialfv(GL_BACK, GL_AMBIENT, green);
    glNormal3f(0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-0.8f, -0.8f, 0);
    glVertex3f(0.8f, -0.8f, 0);
    glVertex3f(0.8f, 0.8f, 0);
    glVertex3f(-0.8f, 0.8f, 0);
    glEnd();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_DEPTH_TEST);

    // Unit 0 modulates a checker, unit 1 adds a gradient with add-signed combine.
    cell(2, 2);
    std::vector<std::uint8_t> checker, gradient;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint8_t v = (x + y) % 2 ? 220 : 60;
            checker.insert(checker.end(), {v, v, v, 255});
            gradient.insert(gradient.end(), {std::uint8_t(x * 32), 128, std::uint8_t(y * 32), 255});
        }
    const GLuint checkerTexture = texture(8, 8, GL_RGBA, checker, GL_NEAREST);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    const GLuint gradientTexture = texture(8, 8, GL_RGBA, gradient, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD_SIGNED_ARB);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 0.8f, 0.6f);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners) {
        glMultiTexCoord2fARB(GL_TEXTURE0_ARB, c[0], c[1]);
        glMultiTexCoord2fvARB(GL_TEXTURE1_ARB, c);
        glVertex2f(c[0], c[1] * 0.5f);
    }
    glEnd();
    // The upper half adds the gradient as it is.
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        glMultiTexCoord2fARB(GL_TEXTURE0_ARB, c[0], c[1]);
        glMultiTexCoord2fARB(GL_TEXTURE1_ARB, c[0], c[1]);
        glVertex2f(c[0], 0.5f + c[1] * 0.5f);
    }
    glEnd();
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &checkerTexture);
    glDeleteTextures(1, &gradientTexture);

    // The first cell copied into a texture twice (a whole copy, then a
    // quarter over it), an alpha-only mask written into an RGBA texture, drawn here.
    cell(3, 2);
    GLuint copy = 0;
    glGenTextures(1, &copy);
    glBindTexture(GL_TEXTURE_2D, copy);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, kPatternHeight - kCell, 64, 64, 0);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2 * kCell, kPatternHeight - kCell, 32, 32);
    std::vector<std::uint8_t> mask(16 * 16);
    for (int i = 0; i < 256; ++i) mask[i] = std::uint8_t((i % 16) * 17);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 32, 32, 16, 16, GL_ALPHA, GL_UNSIGNED_BYTE, mask.data());
    glColor3f(1, 1, 1);
    drawAndDelete(copy, 0.1f, 0.1f, 0.9f, 0.9f);
}

}  // namespace

void drawTestPattern() {
    glViewport(0, 0, kPatternWidth, kPatternHeight);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    firstRow();
    secondRow();
    thirdRow();
    glViewport(0, 0, kPatternWidth, kPatternHeight);
    glFlush();
}

}  // namespace vantor::test
