#pragma once
// Window tests start from a known desktop. The window system's state is the
// process's (foreground, capture, key and button state, the pointer, input not
// yet taken), so whatever one test leaves would meet the next. Linking the
// "ostrel_test_desktop" library into a test program restores the desktop a
// fresh program starts with before every test; fixtures may call it again.

// Destroys the calling thread's top-level windows, releases the capture, every
// key and button still down and every toggled key, puts the pointer back at
// the origin over the bare desktop, shows the cursor, and takes (without
// dispatching) the input and messages that leaves queued.
void RestoreKnownDesktop();
