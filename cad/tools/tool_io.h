#pragma once
// The tools' side of the process: fault injection for tests, and text-mode output.

#include <cstdio>
#include <string_view>

namespace velmora::cad {

// True when the environment variable names the option (a comma-separated list, e.g.
// VELMORA_CAD_FAIL=-change_name,ugpc).
bool Injected(const char* variable, std::string_view option);

// Sleeps for VELMORA_CAD_DELAY_MS milliseconds (unset, empty or not a number: not at all), so
// that tests can make a run as slow as one with a real CAD system.
void InjectedDelay();
// The whole number of milliseconds a variable holds; 0 when it is unset, empty or not a number.
int InjectedMilliseconds(const char* variable);

// VELMORA_CAD_HANG=option: the tool never ends, as one waiting for a licence or a dialog nobody
// sees. VELMORA_CAD_CRASH=option: it dies as a crashing program does (a signal, or an exception
// code on Windows) once its output is written.
void InjectedHang(std::string_view option);
void InjectedCrash(std::string_view option);

// Writes text to a stream as a Windows program in text mode does: "\n" becomes CR LF.
// False when the stream failed.
bool WriteText(std::FILE* stream, std::string_view text);

// "<tool>: <message>" on standard error; returns the exit status for a failure.
int Fail(std::string_view tool, std::string_view message);

}  // namespace velmora::cad
