#include "app/ConsoleOutput.h"

namespace tessaro {

void connectStandardOutput() {}

} // namespace tessaro
