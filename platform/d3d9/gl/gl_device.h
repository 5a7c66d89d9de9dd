#pragma once
// The OpenGL 3.3 back end of the Direct3D-shaped device.
//
// The device renders into a back buffer of its own (a framebuffer object of
// BackBufferWidth x BackBufferHeight with the chosen depth format and
// multisample count) through shader programs that reproduce the
// fixed-function pipeline, each specialised to the state it draws
// (platform/d3d9/gl/gl_pipeline.h); Present copies it to the window's surface
// and swaps with the present interval (DEFAULT/ONE: wait for the vertical
// blank; IMMEDIATE: do not). The back buffer behaves like X8R8G8B8: what is
// shown is always opaque. Buffers and textures keep a CPU copy and upload
// what changed at the next draw that uses them; large static buffers then
// let go of their copy until a lock brings it back (GLBufferObject in
// gl_internal.h). Their GL storage is allocated when they are made, where
// GL_OUT_OF_MEMORY is answered as D3DERR_OUTOFVIDEOMEMORY; an upload that
// fails all the same fails its draw (docs/ARCHITECTURE.md, "When memory
// runs out").
//
// The shared front end (platform/d3d9/d3d9_front_end.h) keeps the state and
// checks every call, as for the recording device. GL never loses its device
// by itself: only a reset that cannot make its back buffer leaves it waiting
// for another reset (TestCooperativeLevel D3DERR_DEVICENOTRESET, Present
// D3DERR_DEVICELOST); Reset resizes the back buffer.
//
// Enumeration answers from a GL context: the depth formats it can make
// (D24S8, D24X8, D32, D16), multisample types 0, 1 and 2 ..
// GL_MAX_SAMPLES; the adapter identifier's Description is GL_RENDERER,
// Driver GL_VERSION and DeviceName GL_VENDOR (cut to fit); numbers are 0.
//
// Multisampling is reported unavailable (types 0 and 1 only) when the
// renderer is a software rasterizer (GL_RENDERER naming llvmpipe, softpipe or
// swrast): there every sample costs as much as a pixel, so 4 samples would
// take several times the frame. RAVELLE_GL_MULTISAMPLE=1 in the environment
// offers the driver's samples all the same.
//
// The focus window given to CreateDevice must be a GLSurfaceWindow
// (platform/d3d9/gl/gl_host.h): the hosting widget or, without a screen, a
// GLOffscreenWindow.
#include <QImage>
#include <string>

#include "platform/d3d9/d3d9.h"

// Null when no OpenGL 3.3 core context can be made (no display, old driver).
IDirect3D9* Direct3DCreate9GL();

// The back buffer as last drawn (top row first, opaque) into image; false
// when device is not a GL device or the context cannot be used.
bool GLReadBackBuffer(IDirect3DDevice9* device, QImage* image);

// The adapter's driver version from the GL version string: product = the GL
// major version, then the driver's own three numbers (those after the GL
// version, as in "4.5 (Core Profile) Mesa 22.3.6" or "4.6.0 NVIDIA
// 535.104.05") as version, subversion and build. Missing numbers are 0.
LARGE_INTEGER_PARTS GLDriverVersion(const std::string& glVersion);

// Draws every following call of a GL device through the generic program
// instead of the programs specialised to the state (the reference for
// comparisons); false when device is not a GL device.
bool GLUseGenericProgram(IDirect3DDevice9* device, bool on);
