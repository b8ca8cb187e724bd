/* Stands in for a desktop's tray under Xvfb: it takes the tray's selection, so that the program sees a
 * tray and hides its window into it as it does on a real desktop, and then ignores the icons docked. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "tray_owner: no display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  const Window owner = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  char name[32];
  snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", screen);
  const Atom selection = XInternAtom(display, name, False);
  XSetSelectionOwner(display, selection, owner, CurrentTime);
  if (XGetSelectionOwner(display, selection) != owner) {
    fprintf(stderr, "tray_owner: another tray owns %s\n", name);
    return 1;
  }
  /* Programs that started before the tray learn of it from this announcement. */
  XEvent manager;
  memset(&manager, 0, sizeof manager);
  manager.xclient.type = ClientMessage;
  manager.xclient.window = root;
  manager.xclient.message_type = XInternAtom(display, "MANAGER", False);
  manager.xclient.format = 32;
  manager.xclient.data.l[0] = CurrentTime;
  manager.xclient.data.l[1] = (long)selection;
  manager.xclient.data.l[2] = (long)owner;
  XSendEvent(display, root, False, StructureNotifyMask, &manager);
  XFlush(display);
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}
