// The entry routine's last-resort guards: out-of-memory and processor faults.
//
// A processor fault (integer divide by zero, a floating-point trap, a bad
// memory access) cannot safely be turned into a thrown message text on Linux:
// the faulting code cannot be resumed and unwinding out of a signal handler is
// undefined. The handlers therefore write the fault's text to standard error
// with async-signal-safe calls only and end the process with FAULT_EXIT_CODE.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int FAULT_EXIT_CODE = 3;
inline constexpr int OUT_OF_MEMORY_EXIT_CODE = 1;

// Installs a new-handler that writes "*** Out of memory ***" to standard
// error and ends the process with exit code 1.
void install_out_of_memory_handler();

// Installs the handlers of SIGFPE, SIGSEGV and SIGBUS. In a build with
// AddressSanitizer the SIGSEGV and SIGBUS handlers are left to the sanitizer,
// whose report says far more than ours would.
void install_fault_handlers();

// The text written for a fault: "Integer divide by zero", "Float overflow",
// "Invalid float operation", "Integer overflow", "Float divide by zero" (SIGFPE
// by si_code; "Arithmetic exception" for other codes) or "Access violation"
// (SIGSEGV, SIGBUS), followed by "\nat location  0x" and the address in at
// least eight hexadecimal digits.
std::string fault_text(int signo, int si_code, std::uintptr_t address);
