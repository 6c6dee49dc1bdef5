#!/usr/bin/env bash
# Run inside the Debian 11 build root, the checkout bound at /vantor/src:
# builds vantor and vantor-capture into /vantor/build for the release.
#
# What a desktop may lack is linked in or shipped beside the programs:
# GLU, libjpeg, libpng, zlib and the C++ runtime are linked statically
# (the system's GL driver loads the system's libstdc++, which an older one of
# ours beside the program would shadow); SDL and libmpg123 are shipped in
# lib/, found through the programs' RUNPATH $ORIGIN/lib. GL comes from the
# system's libGL.so.1, which every desktop has (libOpenGL.so.0 is not always
# installed), and EGL from its libEGL.so.1.
set -euo pipefail
libdir=/usr/lib/x86_64-linux-gnu
# The build folder is kept between releases; a compiler launcher a caller's
# environment once put in its cache is not in this root, so it is dropped.
/opt/host-cmake/bin/cmake -S /vantor/src -B /vantor/build \
    -UCMAKE_C_COMPILER_LAUNCHER -UCMAKE_CXX_COMPILER_LAUNCHER \
    -DCMAKE_BUILD_TYPE=Release \
    -DVANTOR_BUILD_TESTS=OFF -DVANTOR_BUILD_BENCH=OFF -DVANTOR_AUTHOR_TOOLS=OFF \
    -DOPENGL_opengl_LIBRARY=$libdir/libGL.so -DOPENGL_glx_LIBRARY=$libdir/libGL.so \
    -DOPENGL_glu_LIBRARY=$libdir/libGLU.a \
    -DJPEG_LIBRARY_RELEASE=$libdir/libjpeg.a \
    -DPNG_LIBRARY_RELEASE=$libdir/libpng16.a \
    -DZLIB_LIBRARY_RELEASE=$libdir/libz.a \
    "-DCMAKE_EXE_LINKER_FLAGS=-static-libstdc++ -static-libgcc" \
    -DCMAKE_BUILD_WITH_INSTALL_RPATH=ON '-DCMAKE_INSTALL_RPATH=$ORIGIN/lib'
/opt/host-cmake/bin/cmake --build /vantor/build --target vantor vantor_capture -j2
