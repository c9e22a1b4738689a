// What runs before the window exists: fonts, the event log, and the message when the log cannot be created.
#pragma once

#include <QString>

namespace app {

// Registers the stand-in fonts: Wine's Tahoma for "Tahoma" and for "MS Sans Serif" (its metrics are close
// to the Windows dialog font). Arial and Courier New are mapped by fontconfig to Liberation Sans and Mono.
void installFonts();

// The operator's message when the event log cannot be created in directory `dir`.
QString eventLogFailureMessage(const QString& fileName, const QString& dir, const QString& reason);

// The whole program: returns the process exit status.
int runRecorder(int argc, char** argv);

} // namespace app
