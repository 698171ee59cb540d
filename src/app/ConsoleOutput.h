#pragma once

namespace tessaro {

// Makes standard output and standard error reach whoever started the
// program. A POSIX program has them already. A Windows program built for the
// window system has none of its own: output redirected to a file or a pipe
// arrives as is, and otherwise it borrows the console of the command prompt
// or script that started it, when there is one.
void connectStandardOutput();

} // namespace tessaro
