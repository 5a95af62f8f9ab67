// Linked into every program and library that ships. An exception that escapes ends the program at
// once, as it would anyway; the runtime's own handler would first demangle the exception's type
// name to print it on a console that our programs mostly lack, and its demangler alone adds about
// 50 KB to each of them.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
