// Network start-up and the one way network failures are reported.
#pragma once

#include "foundation/qmessage.h"

class QNAddress;

// Starts the network once per process: the local host's address, ENet, and the port
// offset and drop percentage reset to 0. True only for the call that started it.
bool qnInit();
bool qnStarted();

// Reports the caller's text with the last socket error as "[QN] %s (%d/%s)"; a call that
// would block and an unreachable host are not reported.
void qnError(const char* fmt, ...) QPRINTF(1, 2);

// Added to the port of every QNSocket::Open when positive (developers run several copies).
int qnPortOffset();
void qnSetPortOffset(int offset);
// Percentage of successful receives answered as if nothing came (to test lossy links).
int qnDropPercentage();
void qnSetDropPercentage(int percentage);

const QNAddress& qnLocalHost();
