// The threads other libraries start in this process, and whether they have finished starting.
//
// WinINet keeps a finished HTTP/1.1 keep-alive connection for reuse and starts a thread that
// looks after its pool when the request handle closes: in a program that makes one call, a few
// milliseconds before the process ends. A thread whose start-up (the loader's thread-attach
// step) is cut short by the end of the process is what Wine's 32-bit side does not always
// survive, so the program waits for such threads to get through their start-up first.
#pragma once

// Waits at most `timeoutMs` until every other thread of this process has passed its
// thread-attach step. True when they all have.
bool WaitForThreadStartups(unsigned timeoutMs);
