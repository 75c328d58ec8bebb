// Runs the test thread's messages (its windows live on it) until a condition holds.
#pragma once

#include <windows.h>

#include <functional>

// Returns false when the deadline passed first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);
