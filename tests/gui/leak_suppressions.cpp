// The leak checker of the sanitizer build reads this list at start-up. Qt's
// D-Bus thread leaves the system's libdbus allocations until the process ends;
// they are not the program's leaks and would fail every GUI test under Xvfb.
// One definition per executable.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
