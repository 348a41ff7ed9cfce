// The integer expression evaluator of the settings tree: "0x10", "3*4", "640x480",
// "-1". Each evaluation keeps its state to itself, so evaluations may overlap on
// different threads.
#pragma once

#include <cstdint>

// Evaluates the text as a 32-bit integer expression; text that is no expression, and
// expressions past 41 numbers and operators or 40 levels deep, give 0.
std::int32_t QEvaluate(const char* text);
