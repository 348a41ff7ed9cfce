// The diagnostics set-up: the dev.* settings switch on developer aids of the message
// log (a UDP copy of every message, QLOG_LAST.txt, a command run first, two flags).
#pragma once

class QInfo;

void qdbg_setup(QInfo& settings);

bool qdbg_opengl_checks();
bool qdbg_argument_tracing();

// Longest part of a message sent as one datagram.
constexpr int QDBG_UDP_MAX = 1400;
