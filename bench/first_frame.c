/* For bench/startup.sh: waits for the game's window to be mapped and then for a picture in
 * it, looking every 2 ms, and prints the two moments as seconds of the realtime clock.
 *
 * Usage: first_frame WINDOW_NAME [TIMEOUT_SECONDS]
 * Built by the script itself (cc ... -lX11); not part of the game. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return (double)t.tv_sec + t.tv_nsec / 1e9;
}

static void Nap(void) {
  struct timespec t = {0, 2000000};
  nanosleep(&t, NULL);
}

/* A viewable window of that name among the root's children (no window manager runs under
 * the virtual X server, so the game's window is one of them). */
static Window FindMapped(Display* display, const char* name) {
  Window root, parent, *children = NULL, found = 0;
  unsigned int count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    char* title = NULL;
    if (!XGetWindowAttributes(display, children[i], &attributes) ||
        attributes.map_state != IsViewable)
      continue;
    if (XFetchName(display, children[i], &title) && title != NULL) {
      if (strcmp(title, name) == 0) found = children[i];
      XFree(title);
    }
  }
  if (children) XFree(children);
  return found;
}

/* More than two colours along a row three quarters of the way down the window. */
static int PictureShown(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.width < 4) return 0;
  XImage* row = XGetImage(display, window, 0, attributes.height * 3 / 4, (unsigned)attributes.width,
                          1, AllPlanes, ZPixmap);
  if (!row) return 0;
  unsigned long seen[3];
  int distinct = 0;
  for (int x = 0; x < attributes.width && distinct < 3; ++x) {
    const unsigned long pixel = XGetPixel(row, x, 0);
    int known = 0;
    for (int i = 0; i < distinct; ++i)
      known |= seen[i] == pixel;
    if (!known) seen[distinct++] = pixel;
  }
  XDestroyImage(row);
  return distinct >= 3;
}

static int IgnoreErrors(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: first_frame WINDOW_NAME [TIMEOUT_SECONDS]\n");
    return 2;
  }
  const double deadline = Now() + (argc > 2 ? atof(argv[2]) : 30.0);
  Display* display = XOpenDisplay(NULL);
  if (!display) return 2;
  XSetErrorHandler(IgnoreErrors); /* the window may go away while it is looked at */
  Window window = 0;
  while (!(window = FindMapped(display, argv[1]))) {
    if (Now() > deadline) return 1;
    Nap();
  }
  printf("%.6f\n", Now());
  fflush(stdout);
  while (!PictureShown(display, window)) {
    if (Now() > deadline) return 1;
    Nap();
  }
  printf("%.6f\n", Now());
  XCloseDisplay(display);
  return 0;
}
