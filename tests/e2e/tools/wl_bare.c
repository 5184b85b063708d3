/* A Wayland compositor with nothing to share: it offers a seat and none of the protocols that let a
 * program watch the clipboard or type, as GNOME's does to ordinary clients. It prints its socket's name
 * once it listens and runs until killed.
 *   wl_bare */
#include <wayland-server.h>

#include <stdio.h>

static void seat_release(struct wl_client* client, struct wl_resource* resource) {
    (void)client;
    wl_resource_destroy(resource);
}

/* Clients may ask for a pointer or a keyboard; this seat has neither and ignores the requests. */
static void seat_ignore(struct wl_client* client, struct wl_resource* resource, uint32_t id) {
    (void)client;
    (void)resource;
    (void)id;
}

static const struct wl_seat_interface seat_implementation = {seat_ignore, seat_ignore, seat_ignore, seat_release};

static void bind_seat(struct wl_client* client, void* data, uint32_t version, uint32_t id) {
    (void)data;
    struct wl_resource* resource = wl_resource_create(client, &wl_seat_interface, (int)version, id);
    wl_resource_set_implementation(resource, &seat_implementation, NULL, NULL);
    wl_seat_send_capabilities(resource, 0);
}

int main(void) {
    struct wl_display* display = wl_display_create();
    const char* socket = display ? wl_display_add_socket_auto(display) : NULL;
    if (!socket) {
        fprintf(stderr, "no Wayland socket (is XDG_RUNTIME_DIR set?)\n");
        return 1;
    }
    wl_global_create(display, &wl_seat_interface, 1, NULL, bind_seat);
    printf("%s\n", socket);
    fflush(stdout);
    wl_display_run(display);
    return 0;
}
