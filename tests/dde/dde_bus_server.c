/* A data-exchange server on the session bus for the ddeclient tests.
 *   dde_bus_server BUSNAME OBJECTPATH
 * Serves org.tallow.DdeServer1 at OBJECTPATH under BUSNAME and prints
 * "ready" once it owns the name; ends when the bus goes away.
 * Execute remembers its command. Request supplies the items "last" (the last
 * command), "count" (how many commands came) and "slow" (answered after 1.5
 * seconds, past the client's time-out), "flood" (answered after 20 signals
 * of 1 MiB sent to the client alone) and "handover" (a second connection of this program takes the
 * bus name over and answers every later request with "forged"); any other
 * item gives an error. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

static char lastCommand[4096];
static unsigned commandCount;
static const char* busName;
static const char* objectPath;
/* The second connection: the forger. */
static sd_bus* other;

enum { kFloodSignals = 20, kFloodBytes = 1 << 20 };

/* Unicast signals of 1 MiB to the client, before the reply. */
static int Flood(sd_bus_message* request) {
    const char* client = sd_bus_message_get_sender(request);
    char* big = malloc(kFloodBytes + 1);
    if (!big) return -1;
    memset(big, 'f', kFloodBytes);
    big[kFloodBytes] = 0;
    for (int i = 0; i < kFloodSignals; ++i) {
        sd_bus_message* signal = NULL;
        if (sd_bus_message_new_signal(other, &signal, "/org/tallow/Flood", "org.tallow.Flood", "Big") >= 0 &&
            sd_bus_message_set_destination(signal, client) >= 0 &&
            sd_bus_message_append(signal, "s", big) >= 0)
            sd_bus_send(other, signal, NULL);
        sd_bus_message_unref(signal);
    }
    free(big);
    sd_bus_flush(other);
    return sd_bus_reply_method_return(request, "s", "flooded");
}

static int OnForgedRequest(sd_bus_message* m, void* data, sd_bus_error* error) {
    (void)data;
    (void)error;
    return sd_bus_reply_method_return(m, "s", "forged");
}

static const sd_bus_vtable kForgedVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Request", "s", "s", OnForgedRequest, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

/* The second connection takes the bus name from the first. */
static int Handover(sd_bus_message* request) {
    if (sd_bus_add_object_vtable(other, NULL, objectPath, "org.tallow.DdeServer1", kForgedVtable, NULL) < 0 ||
        sd_bus_request_name(other, busName, SD_BUS_NAME_REPLACE_EXISTING) < 0)
        return sd_bus_reply_method_return(request, "s", "no handover");
    return sd_bus_reply_method_return(request, "s", "handed over");
}

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
    if (strcmp(item, "flood") == 0) return Flood(m);
    if (strcmp(item, "handover") == 0) return Handover(m);
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
    busName = argv[1];
    objectPath = argv[2];
    if (sd_bus_open_user(&bus) < 0 || sd_bus_open_user(&other) < 0 ||
        sd_bus_add_object_vtable(bus, NULL, argv[2], "org.tallow.DdeServer1", kVtable, NULL) < 0 ||
        sd_bus_request_name(bus, argv[1], SD_BUS_NAME_ALLOW_REPLACEMENT) < 0) {
        fprintf(stderr, "dde_bus_server: cannot offer %s\n", argv[1]);
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        int r = sd_bus_process(bus, NULL);
        if (r < 0) break;
        int s = sd_bus_process(other, NULL);
        if (r > 0 || s > 0) continue;
        /* Both connections are served: wait briefly on each in turn. */
        if (sd_bus_wait(bus, 20000) < 0 || sd_bus_wait(other, 20000) < 0) break;
    }
    sd_bus_flush_close_unref(other);
    sd_bus_flush_close_unref(bus);
    return 0;
}
