// The test web server of the native tests serves the Win32 tests too.
#include "../../native/support/http_server.cpp"
