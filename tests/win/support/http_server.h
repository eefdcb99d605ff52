// The test web server of the native tests serves the Win32 tests too.
#pragma once
#include "../../native/support/http_server.h"
