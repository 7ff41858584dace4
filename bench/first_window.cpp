// Times a program from its exec to its first top-level window being mapped on the X display:
//   first_window [--title TEXT] PROGRAM [ARGS...]
// prints the milliseconds, then ends the program. With --title, the first mapped window whose
// title holds TEXT counts (a program may show its main window under its first dialog). It
// watches the root window's children, so it needs no help from the program it times.
#include <xcb/xcb.h>

#include <chrono>
#include <cstring>
#include <string>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
  std::string title;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--title") == 0) {
    title = argv[2];
    first = 3;
  }
  if (argc <= first) {
    std::fputs("usage: first_window [--title TEXT] PROGRAM [ARGS...]\n", stderr);
    return 2;
  }
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    std::fputs("first_window: no X display\n", stderr);
    return 1;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
  const xcb_window_t root = screens.data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  // Checked, so the watch is in place before the program starts.
  if (xcb_generic_error_t* error = xcb_request_check(
          connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK,
                                                           &mask))) {
    std::free(error);
    std::fputs("first_window: cannot watch the root window\n", stderr);
    return 1;
  }

  const auto started = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[first], argv + first);
    std::perror("first_window: exec");
    _exit(127);
  }
  const auto titleOf = [connection](xcb_window_t window) {
    const char name[] = "_NET_WM_NAME";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    std::string text;
    if (!atom) return text;
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr)) {
      text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                  xcb_get_property_value_length(reply));
      std::free(reply);
    }
    std::free(atom);
    return text;
  };
  double elapsed = -1;
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
    bool mapped = false;
    if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
      mapped = !map->override_redirect &&
               (title.empty() || titleOf(map->window).find(title) != std::string::npos);
    }
    std::free(event);
    if (mapped) {
      elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                          started).count();
      break;
    }
  }
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  xcb_disconnect(connection);
  if (elapsed < 0) return 1;
  std::printf("%.2f\n", elapsed);
  return 0;
}
