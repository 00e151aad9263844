// Out-of-memory and processor-fault handlers of the entry routine. Everything
// reached from a signal handler is async-signal-safe: no allocation, no stdio,
// only write(2) and _exit(2).
#include "framework/fault_guard.h"

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

#include <cerrno>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define KV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

const char* fault_name(int signo, int si_code)
{
    if (signo == SIGFPE) {
        switch (si_code) {
        case FPE_INTDIV: return "Integer divide by zero";
        case FPE_INTOVF: return "Integer overflow";
        case FPE_FLTDIV: return "Float divide by zero";
        case FPE_FLTOVF: return "Float overflow";
        case FPE_FLTINV: return "Invalid float operation";
        default: return "Arithmetic exception";
        }
    }
    return "Access violation";
}

// Writes the fault text into out, at most capacity characters, and returns
// the number written.
std::size_t format_fault(char* out, std::size_t capacity, int signo, int si_code,
                         std::uintptr_t address)
{
    std::size_t n = 0;
    auto put = [&](const char* s) {
        while (*s && n < capacity)
            out[n++] = *s++;
    };
    put(fault_name(signo, si_code));
    put("\nat location  0x");

    char digits[2 * sizeof(std::uintptr_t)];
    std::size_t count = 0;
    do {
        digits[count++] = "0123456789abcdef"[address & 0xF];
        address >>= 4;
    } while (address != 0 && count < sizeof digits);
    while (count < 8)
        digits[count++] = '0';
    while (count > 0 && n < capacity)
        out[n++] = digits[--count];
    return n;
}

void write_all(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void on_fault(int signo, siginfo_t* info, void*)
{
    char text[160];
    std::size_t n = format_fault(text, sizeof text - 1, signo, info ? info->si_code : 0,
                                 info ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0);
    text[n++] = '\n';
    write_all(STDERR_FILENO, text, n);
    _exit(FAULT_EXIT_CODE);
}

void on_out_of_memory()
{
    static const char text[] = "*** Out of memory ***\n";
    write_all(STDERR_FILENO, text, sizeof text - 1);
    _exit(OUT_OF_MEMORY_EXIT_CODE);
}

void install(int signo)
{
    struct sigaction action {};
    action.sa_sigaction = on_fault;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a fault inside the handler takes the default action.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigaction(signo, &action, nullptr);
}

#if !defined(KV_ADDRESS_SANITIZER)
// A stack overflow faults with no stack left to run the handler on; the
// handlers run on this alternate stack of the main thread.
void install_alternate_stack()
{
    static std::unique_ptr<char[]> stack;
    if (stack)
        return;
    const std::size_t size = std::max<std::size_t>(static_cast<std::size_t>(SIGSTKSZ), 64 * 1024);
    stack = std::make_unique<char[]>(size);
    stack_t alternate{};
    alternate.ss_sp = stack.get();
    alternate.ss_size = size;
    alternate.ss_flags = 0;
    if (sigaltstack(&alternate, nullptr) != 0)
        stack.reset();
}
#endif

}  // namespace

void install_out_of_memory_handler()
{
    std::set_new_handler(on_out_of_memory);
}

void install_fault_handlers()
{
    install(SIGFPE);
#if !defined(KV_ADDRESS_SANITIZER)
    install_alternate_stack();
    install(SIGSEGV);
    install(SIGBUS);
#endif
}

std::string fault_text(int signo, int si_code, std::uintptr_t address)
{
    char text[160];
    const std::size_t n = format_fault(text, sizeof text, signo, si_code, address);
    return std::string(text, n);
}
