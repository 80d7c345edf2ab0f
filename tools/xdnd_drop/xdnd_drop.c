/* torvane_xdnd_drop: drops files (or a text) onto the X window at a point of
 * the screen, as a file manager would: an XDND drag source without a pointer.
 *
 *   torvane_xdnd_drop [--timeout-ms N] [--text] X Y ITEM...
 *
 * X Y are root coordinates. The items are file paths, offered as text/uri-list
 * (file:// URIs, UTF-8, percent-encoded); with --text they are lines of text,
 * offered as text/plain only. The target is the deepest window at X,Y that
 * carries XdndAware (or the window its XdndProxy names).
 *
 * Exit codes: 0 the target accepted the drop and reported it finished;
 * 2 bad arguments or no display; 3 no XDND target at that point; 4 the target
 * refused the drop (XdndStatus without the accept bit; a Leave was sent);
 * 5 the target accepted but its XdndFinished reported no success;
 * 6 time limit reached. What happened is written to stderr. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum {
  kExitDone = 0,
  kExitUsage = 2,
  kExitNoTarget = 3,
  kExitRefused = 4,
  kExitNotFinished = 5,
  kExitTimeout = 6,
};

enum { kOurVersion = 5 };

struct atoms {
  Atom aware, proxy, enter, position, status, drop, finished, leave, selection, type_list, action_copy, uri_list,
      text_plain, text_plain_utf8, utf8_string, targets;
};

struct drag {
  Display* display;
  Window source;
  Window target;
  long version;
  struct atoms a;
  Atom offered[3];
  int offered_count;
  char* payload; /* what every offered type converts to */
  size_t payload_size;
  long long deadline_ms;
};

static long long now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

/* The unreserved characters of RFC 3986 and the path separator stay as they are. */
static int keeps_as_is(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~' || c == '/';
}

static int append(char** buffer, size_t* size, size_t* capacity, const char* bytes, size_t count) {
  if (*size + count + 1 > *capacity) {
    size_t grown = (*capacity + count + 1) * 2;
    char* bigger = realloc(*buffer, grown);
    if (bigger == NULL) return 0;
    *buffer = bigger;
    *capacity = grown;
  }
  memcpy(*buffer + *size, bytes, count);
  *size += count;
  (*buffer)[*size] = '\0';
  return 1;
}

/* text/uri-list: one file:// URI per line, each line ended by CR LF. */
static int build_uri_list(char** items, int count, char** out, size_t* out_size) {
  static const char hex[] = "0123456789ABCDEF";
  char* list = NULL;
  size_t size = 0, capacity = 0;
  for (int i = 0; i < count; ++i) {
    const char* path = items[i];
    char* absolute = NULL;
    if (path[0] != '/') {
      absolute = realpath(path, NULL);
      if (absolute == NULL) {
        fprintf(stderr, "torvane_xdnd_drop: %s: %s\n", path, strerror(errno));
        free(list);
        return 0;
      }
      path = absolute;
    }
    int ok = append(&list, &size, &capacity, "file://", 7);
    for (const unsigned char* p = (const unsigned char*)path; ok && *p != '\0'; ++p) {
      if (keeps_as_is(*p)) {
        ok = append(&list, &size, &capacity, (const char*)p, 1);
      } else {
        const char escaped[3] = {'%', hex[*p >> 4], hex[*p & 15]};
        ok = append(&list, &size, &capacity, escaped, 3);
      }
    }
    ok = ok && append(&list, &size, &capacity, "\r\n", 2);
    free(absolute);
    if (!ok) {
      free(list);
      return 0;
    }
  }
  *out = list;
  *out_size = size;
  return 1;
}

static int build_text(char** items, int count, char** out, size_t* out_size) {
  char* text = NULL;
  size_t size = 0, capacity = 0;
  for (int i = 0; i < count; ++i) {
    if ((i > 0 && !append(&text, &size, &capacity, "\n", 1)) ||
        !append(&text, &size, &capacity, items[i], strlen(items[i]))) {
      free(text);
      return 0;
    }
  }
  if (text == NULL && !append(&text, &size, &capacity, "", 0)) return 0;
  *out = text;
  *out_size = size;
  return 1;
}

static long aware_version(Display* display, Window window, Atom aware) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = NULL;
  long version = -1;
  if (XGetWindowProperty(display, window, aware, 0, 1, False, XA_ATOM, &type, &format, &count, &after, &data) ==
          Success &&
      type == XA_ATOM && format == 32 && count == 1) {
    version = (long)((Atom*)data)[0];
  }
  if (data != NULL) XFree(data);
  return version;
}

static Window proxy_of(Display* display, Window window, Atom proxy) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = NULL;
  Window found = None;
  if (XGetWindowProperty(display, window, proxy, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
          Success &&
      type == XA_WINDOW && format == 32 && count == 1) {
    found = (Window)((Window*)data)[0];
  }
  if (data != NULL) XFree(data);
  return found;
}

/* Walks down from the root through the windows that contain the point and
 * keeps the deepest one that says it understands XDND. */
static Window find_target(Display* display, int x, int y, const struct atoms* a, long* version) {
  const Window root = DefaultRootWindow(display);
  Window current = root, found = None;
  *version = -1;
  for (int depth = 0; depth < 64; ++depth) {
    Window child = None;
    int nx = 0, ny = 0;
    if (!XTranslateCoordinates(display, root, current, x, y, &nx, &ny, &child)) break;
    const long v = aware_version(display, current, a->aware);
    if (v >= 0 && current != root) {
      found = current;
      *version = v;
    }
    if (child == None) break;
    current = child;
  }
  return found;
}

static void send_message(struct drag* d, Atom type, long l1, long l2, long l3, long l4) {
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.display = d->display;
  event.xclient.window = d->target;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)d->source;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  XSendEvent(d->display, d->target, False, NoEventMask, &event);
  XFlush(d->display);
}

static int offers(const struct drag* d, Atom type) {
  for (int i = 0; i < d->offered_count; ++i) {
    if (d->offered[i] == type) return 1;
  }
  return 0;
}

static void answer_selection_request(struct drag* d, const XSelectionRequestEvent* request) {
  XEvent reply;
  memset(&reply, 0, sizeof reply);
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = d->display;
  reply.xselection.requestor = request->requestor;
  reply.xselection.selection = request->selection;
  reply.xselection.target = request->target;
  reply.xselection.time = request->time;
  reply.xselection.property = None;
  const Atom property = request->property != None ? request->property : request->target;
  if (request->selection == d->a.selection) {
    if (request->target == d->a.targets) {
      Atom targets[4];
      int n = 0;
      targets[n++] = d->a.targets;
      for (int i = 0; i < d->offered_count; ++i) targets[n++] = d->offered[i];
      XChangeProperty(d->display, request->requestor, property, XA_ATOM, 32, PropModeReplace,
                      (unsigned char*)targets, n);
      reply.xselection.property = property;
    } else if (offers(d, request->target)) {
      XChangeProperty(d->display, request->requestor, property, request->target, 8, PropModeReplace,
                      (unsigned char*)d->payload, (int)d->payload_size);
      reply.xselection.property = property;
    }
  }
  char* name = XGetAtomName(d->display, request->target);
  fprintf(stderr, "torvane_xdnd_drop: selection request for %s: %s\n", name != NULL ? name : "?",
          reply.xselection.property != None ? "answered" : "refused");
  if (name != NULL) XFree(name);
  XSendEvent(d->display, request->requestor, False, NoEventMask, &reply);
  XFlush(d->display);
}

/* Handles events until a client message of `type` from the target arrives
 * (copied to *out) or the time is up. Selection requests are answered meanwhile. */
static int wait_for(struct drag* d, Atom type, XClientMessageEvent* out) {
  const int fd = ConnectionNumber(d->display);
  for (;;) {
    while (XPending(d->display) > 0) {
      XEvent event;
      XNextEvent(d->display, &event);
      if (event.type == SelectionRequest) {
        answer_selection_request(d, &event.xselectionrequest);
      } else if (event.type == ClientMessage && event.xclient.message_type == type) {
        *out = event.xclient;
        return 1;
      }
    }
    const long long left = d->deadline_ms - now_ms();
    if (left <= 0) return 0;
    struct pollfd wait = {fd, POLLIN, 0};
    poll(&wait, 1, (int)(left > 100 ? 100 : left));
  }
}

static void usage(void) {
  fputs("usage: torvane_xdnd_drop [--timeout-ms N] [--text] X Y ITEM...\n", stderr);
}

int main(int argc, char** argv) {
  long timeout_ms = 10000;
  int text_mode = 0;
  int i = 1;
  for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
    if (strcmp(argv[i], "--text") == 0) {
      text_mode = 1;
    } else if (strcmp(argv[i], "--timeout-ms") == 0 && i + 1 < argc) {
      timeout_ms = strtol(argv[++i], NULL, 10);
    } else {
      usage();
      return kExitUsage;
    }
  }
  if (argc - i < 3) {
    usage();
    return kExitUsage;
  }
  char* end = NULL;
  const long x = strtol(argv[i], &end, 10);
  if (*end != '\0') {
    usage();
    return kExitUsage;
  }
  const long y = strtol(argv[i + 1], &end, 10);
  if (*end != '\0' || x < 0 || y < 0 || x > 0x7FFF || y > 0x7FFF) {
    usage();
    return kExitUsage;
  }
  char** items = argv + i + 2;
  const int item_count = argc - i - 2;

  struct drag d;
  memset(&d, 0, sizeof d);
  d.deadline_ms = now_ms() + timeout_ms;
  d.display = XOpenDisplay(NULL);
  if (d.display == NULL) {
    fputs("torvane_xdnd_drop: cannot open the display\n", stderr);
    return kExitUsage;
  }
  Display* display = d.display;
  struct atoms* a = &d.a;
  a->aware = XInternAtom(display, "XdndAware", False);
  a->proxy = XInternAtom(display, "XdndProxy", False);
  a->enter = XInternAtom(display, "XdndEnter", False);
  a->position = XInternAtom(display, "XdndPosition", False);
  a->status = XInternAtom(display, "XdndStatus", False);
  a->drop = XInternAtom(display, "XdndDrop", False);
  a->finished = XInternAtom(display, "XdndFinished", False);
  a->leave = XInternAtom(display, "XdndLeave", False);
  a->selection = XInternAtom(display, "XdndSelection", False);
  a->type_list = XInternAtom(display, "XdndTypeList", False);
  a->action_copy = XInternAtom(display, "XdndActionCopy", False);
  a->uri_list = XInternAtom(display, "text/uri-list", False);
  a->text_plain = XInternAtom(display, "text/plain", False);
  a->text_plain_utf8 = XInternAtom(display, "text/plain;charset=utf-8", False);
  a->utf8_string = XInternAtom(display, "UTF8_STRING", False);
  a->targets = XInternAtom(display, "TARGETS", False);

  const int built = text_mode ? build_text(items, item_count, &d.payload, &d.payload_size)
                              : build_uri_list(items, item_count, &d.payload, &d.payload_size);
  if (!built) {
    XCloseDisplay(display);
    return kExitUsage;
  }
  if (text_mode) {
    d.offered[d.offered_count++] = a->text_plain;
  } else {
    d.offered[d.offered_count++] = a->uri_list;
  }

  long version = -1;
  const Window found = find_target(display, (int)x, (int)y, a, &version);
  if (found == None) {
    fprintf(stderr, "torvane_xdnd_drop: no XdndAware window at %ld,%ld\n", x, y);
    XCloseDisplay(display);
    return kExitNoTarget;
  }
  const Window proxy = proxy_of(display, found, a->proxy);
  d.target = proxy != None ? proxy : found;
  d.version = version < kOurVersion ? version : kOurVersion;
  fprintf(stderr, "torvane_xdnd_drop: target window 0x%lx (XDND version %ld)\n", (unsigned long)found, version);

  /* An unmapped window of our own owns the selection and receives the replies. */
  d.source = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, a->selection, d.source, CurrentTime);
  if (XGetSelectionOwner(display, a->selection) != d.source) {
    fputs("torvane_xdnd_drop: cannot own XdndSelection\n", stderr);
    XCloseDisplay(display);
    return kExitUsage;
  }
  XChangeProperty(display, d.source, a->type_list, XA_ATOM, 32, PropModeReplace, (unsigned char*)d.offered,
                  d.offered_count);

  send_message(&d, a->enter, d.version << 24, (long)d.offered[0], d.offered_count > 1 ? (long)d.offered[1] : None,
               d.offered_count > 2 ? (long)d.offered[2] : None);
  send_message(&d, a->position, 0, (x << 16) | y, CurrentTime, (long)a->action_copy);

  XClientMessageEvent status;
  if (!wait_for(&d, a->status, &status)) {
    fputs("torvane_xdnd_drop: no XdndStatus in time\n", stderr);
    send_message(&d, a->leave, 0, 0, 0, 0);
    XCloseDisplay(display);
    return kExitTimeout;
  }
  if (!(status.data.l[1] & 1)) {
    fputs("torvane_xdnd_drop: the target refused the drop\n", stderr);
    send_message(&d, a->leave, 0, 0, 0, 0);
    XSync(display, False);
    XCloseDisplay(display);
    return kExitRefused;
  }

  send_message(&d, a->drop, 0, CurrentTime, 0, 0);
  XClientMessageEvent finished;
  if (!wait_for(&d, a->finished, &finished)) {
    fputs("torvane_xdnd_drop: no XdndFinished in time\n", stderr);
    XCloseDisplay(display);
    return kExitTimeout;
  }
  /* Before version 5 the Finished message carries no result. */
  const int succeeded = d.version < 5 || (finished.data.l[1] & 1);
  fprintf(stderr, "torvane_xdnd_drop: finished, %s\n", succeeded ? "accepted" : "not accepted");
  free(d.payload);
  XCloseDisplay(display);
  return succeeded ? kExitDone : kExitNotFinished;
}
