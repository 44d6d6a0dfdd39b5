/* Writes the release libvelor carries into the device on one port, printing the progress.
 * Usage: write_one PORT [BAUD]. Exit code: 0 done, 1 refused or failed, 3 port error, 4 stopped,
 * 2 usage or a library error. */
#include <stdio.h>
#include <stdlib.h>

#include <velor/velor.h>

static void on_event(const velor_event* event, void* user) {
    int* last = (int*)user;
    if (event->type == VELOR_EVENT_PROGRESS && event->percent != *last) {
        *last = event->percent;
        printf("progress %d%% (%lld of %lld bytes)\n", event->percent, (long long)event->bytes,
               (long long)event->bytes_total);
        fflush(stdout);
    }
}

static int exit_code_of(int kind) {
    switch (kind) {
        case VELOR_OUTCOME_DONE:
            return 0;
        case VELOR_OUTCOME_STOPPED:
            return 4;
        case VELOR_OUTCOME_PORT_ERROR:
            return 3;
        default:
            return 1;
    }
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s PORT [BAUD]\n", argv[0]);
        return 2;
    }
    velor_image* image = NULL;
    velor_session* session = NULL;
    int status = velor_image_embedded(&image);
    if (status == VELOR_OK) {
        status = velor_session_open(argv[1], argc > 2 ? (uint32_t)atol(argv[2]) : 0, &session);
    }
    int last = -1;
    if (status == VELOR_OK) {
        status = velor_session_set_events(session, on_event, &last);
    }
    if (status == VELOR_OK) {
        status = velor_session_write(session, image);
    }
    velor_outcome outcome;
    if (status == VELOR_OK) {
        status = velor_session_outcome(session, &outcome);
    }
    int code = 2;
    if (status == VELOR_OK) {
        printf("%s (%s): %s\n", velor_outcome_name(outcome.kind), velor_reason_name(outcome.reason),
               velor_session_message(session));
        code = exit_code_of(outcome.kind);
    } else {
        fprintf(stderr, "libvelor: %s\n", velor_status_text(status));
    }
    velor_session_free(session);
    velor_image_free(image);
    return code;
}
