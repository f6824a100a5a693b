/* A data-exchange server on the session bus for the ddeclient tests.
 *   dde_bus_server BUSNAME OBJECTPATH
 * Serves org.tallow.DdeServer1 at OBJECTPATH under BUSNAME and prints
 * "ready" once it owns the name; ends when the bus goes away.
 * Execute remembers its command. Request supplies the items "last" (the last
 * command), "count" (how many commands came) and "slow" (answered after 1.5
 * seconds, past the client's time-out); any other item gives an error. */
#include <stdio.h>
#include <string.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

static char lastCommand[4096];
static unsigned commandCount;

static int OnExecute(sd_bus_message* m, void* data, sd_bus_error* error) {
    const char* command = NULL;
    (void)data;
    (void)error;
    int r = sd_bus_message_read(m, "s", &command);
    if (r < 0) return r;
    snprintf(lastCommand, sizeof lastCommand, "%s", command);
    ++commandCount;
    return sd_bus_reply_method_return(m, "");
}

static int OnRequest(sd_bus_message* m, void* data, sd_bus_error* error) {
    const char* item = NULL;
    char count[32];
    (void)data;
    int r = sd_bus_message_read(m, "s", &item);
    if (r < 0) return r;
    if (strcmp(item, "last") == 0) return sd_bus_reply_method_return(m, "s", lastCommand);
    if (strcmp(item, "count") == 0) {
        snprintf(count, sizeof count, "%u", commandCount);
        return sd_bus_reply_method_return(m, "s", count);
    }
    if (strcmp(item, "slow") == 0) {
        usleep(1500000);
        return sd_bus_reply_method_return(m, "s", "too late");
    }
    return sd_bus_error_set(error, "org.tallow.DdeServer1.Error.NoItem", "item not supplied");
}

static const sd_bus_vtable kVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Execute", "s", "", OnExecute, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Request", "s", "s", OnRequest, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

int main(int argc, char** argv) {
    sd_bus* bus = NULL;
    if (argc != 3) {
        fprintf(stderr, "usage: dde_bus_server BUSNAME OBJECTPATH\n");
        return 2;
    }
    if (sd_bus_open_user(&bus) < 0 ||
        sd_bus_add_object_vtable(bus, NULL, argv[2], "org.tallow.DdeServer1", kVtable, NULL) < 0 ||
        sd_bus_request_name(bus, argv[1], 0) < 0) {
        fprintf(stderr, "dde_bus_server: cannot offer %s\n", argv[1]);
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        int r = sd_bus_process(bus, NULL);
        if (r < 0) break;
        if (r > 0) continue;
        if (sd_bus_wait(bus, (uint64_t)-1) < 0) break;
    }
    sd_bus_flush_close_unref(bus);
    return 0;
}
