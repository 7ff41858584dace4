// Times a program from its exec to its first top-level window being mapped on the X display:
//   first_window [--title TEXT] [--drawn] PROGRAM [ARGS...]
// prints the milliseconds, then ends the program. With --title, the first mapped window whose
// title holds TEXT counts (a program may show its main window under its first dialog). With
// --drawn, the clock runs on until that window shows what a person reads: the window is read
// back until it holds more than a few pixels unlike its corner (an unpainted window is one
// colour; a painted one holds text). It watches the root window's children, so it needs no
// help from the program it times.
#include <xcb/xcb.h>

#include <thread>

#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
  std::string title;
  bool drawn = false;
  int first = 1;
  if (argc > first + 1 && std::strcmp(argv[first], "--title") == 0) {
    title = argv[first + 1];
    first += 2;
  }
  if (argc > first && std::strcmp(argv[first], "--drawn") == 0) {
    drawn = true;
    ++first;
  }
  if (argc <= first) {
    std::fputs("usage: first_window [--title TEXT] [--drawn] PROGRAM [ARGS...]\n", stderr);
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
          connection,
          xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask))) {
    std::free(error);
    std::fputs("first_window: cannot watch the root window\n", stderr);
    return 1;
  }

  const auto started = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // What the program prints is not the figure: this program's output is.
    if (FILE* quiet = std::freopen("/dev/null", "w", stdout); !quiet) _exit(127);
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
  // Whether the window holds more than a few pixels unlike its top-left one.
  const auto painted = [connection](xcb_window_t window) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry) return false;
    xcb_get_image_reply_t* image =
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          geometry->width, geometry->height, ~0u),
                            nullptr);
    std::free(geometry);
    if (!image) return false;
    const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    const int count = xcb_get_image_data_length(image) / 4;
    int unlike = 0;
    for (int i = 1; i < count && unlike <= 20; ++i)
      unlike += (pixels[i] & 0xffffff) != (pixels[0] & 0xffffff);
    std::free(image);
    return unlike > 20;
  };
  double elapsed = -1;
  xcb_window_t shown = XCB_NONE;
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
    if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
      if (!map->override_redirect &&
          (title.empty() || titleOf(map->window).find(title) != std::string::npos))
        shown = map->window;
    }
    std::free(event);
    if (shown != XCB_NONE) break;
  }
  if (shown != XCB_NONE) {
    // A window that never shows text (or a program that ends) gives no figure after 10 s.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (drawn && !painted(shown) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(250));
    if (drawn && std::chrono::steady_clock::now() >= deadline) shown = XCB_NONE;
  }
  if (shown != XCB_NONE) {
    elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                  .count();
  }
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  xcb_disconnect(connection);
  if (elapsed < 0) return 1;
  std::printf("%.2f\n", elapsed);
  return 0;
}
