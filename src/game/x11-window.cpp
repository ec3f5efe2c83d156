#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "window-identity.h"

// GLFW's own access to the X11 window, which raylib links but does not
// expose the same way in every version: the window is the one whose OpenGL
// context is current.
extern "C" void* glfwGetCurrentContext(void);
extern "C" Display* glfwGetX11Display(void);
extern "C" ::Window glfwGetX11Window(void* window);

void setWindowClass() {
    Display* const display = glfwGetX11Display();
    void* const glfwWindow = glfwGetCurrentContext();
    if (display == nullptr || glfwWindow == nullptr) return;
    ::Window const window = glfwGetX11Window(glfwWindow);
    XClassHint hint;
    hint.res_name = const_cast<char*>(APPLICATION_ID);
    hint.res_class = const_cast<char*>(APPLICATION_ID);
    XSetClassHint(display, window, &hint);
}
