// The WebGL 2 calls this layer draws with. The browser's context is reached
// through the runtime's prefixed names, so the GL 1.x names stay free for the
// functions this layer defines itself.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

extern "C" {
void emscripten_glActiveTexture(GLenum unit);
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const GLchar* name);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glBindVertexArray(GLuint array);
void emscripten_glBlendFunc(GLenum source, GLenum destination);
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void emscripten_glClear(GLbitfield mask);
void emscripten_glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void emscripten_glClearDepthf(GLfloat depth);
void emscripten_glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a);
void emscripten_glCompileShader(GLuint shader);
void emscripten_glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                                 GLsizei height, GLint border);
void emscripten_glCopyTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y,
                                    GLsizei width, GLsizei height);
GLuint emscripten_glCreateProgram(void);
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glCullFace(GLenum mode);
void emscripten_glDeleteShader(GLuint shader);
void emscripten_glDeleteTextures(GLsizei n, const GLuint* textures);
void emscripten_glDepthFunc(GLenum func);
void emscripten_glDepthMask(GLboolean flag);
void emscripten_glDisable(GLenum cap);
void emscripten_glDisableVertexAttribArray(GLuint index);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void emscripten_glEnable(GLenum cap);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glFinish(void);
void emscripten_glFlush(void);
void emscripten_glFrontFace(GLenum mode);
void emscripten_glGenBuffers(GLsizei n, GLuint* buffers);
void emscripten_glGenTextures(GLsizei n, GLuint* textures);
void emscripten_glGenVertexArrays(GLsizei n, GLuint* arrays);
void emscripten_glGenerateMipmap(GLenum target);
void emscripten_glGetBooleanv(GLenum name, GLboolean* value);
GLenum emscripten_glGetError(void);
void emscripten_glGetFloatv(GLenum name, GLfloat* value);
void emscripten_glGetProgramInfoLog(GLuint program, GLsizei size, GLsizei* length, GLchar* log);
void emscripten_glGetProgramiv(GLuint program, GLenum name, GLint* value);
void emscripten_glGetShaderInfoLog(GLuint shader, GLsizei size, GLsizei* length, GLchar* log);
void emscripten_glGetShaderiv(GLuint shader, GLenum name, GLint* value);
GLint emscripten_glGetUniformLocation(GLuint program, const GLchar* name);
void emscripten_glLineWidth(GLfloat width);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glPixelStorei(GLenum name, GLint value);
void emscripten_glPolygonOffset(GLfloat factor, GLfloat units);
void emscripten_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);
void emscripten_glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const GLchar* const* source, const GLint* length);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const void* pixels);
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLsizei width, GLsizei height,
                                GLenum format, GLenum type, const void* pixels);
void emscripten_glUniform1f(GLint location, GLfloat value);
void emscripten_glUniform1i(GLint location, GLint value);
void emscripten_glUniform2f(GLint location, GLfloat x, GLfloat y);
void emscripten_glUniform4fv(GLint location, GLsizei count, const GLfloat* value);
void emscripten_glUniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* value);
void emscripten_glUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* value);
void emscripten_glUseProgram(GLuint program);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                                      const void* pointer);
void emscripten_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
}
