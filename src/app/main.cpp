// QEL TE Recorder: records and charts telescope tracking error from a QEL unit on a serial line.
#include "app/Startup.h"

int main(int argc, char** argv) {
    return app::runRecorder(argc, argv);
}
