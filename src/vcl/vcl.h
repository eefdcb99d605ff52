// The whole component layer.
#pragma once
#include "vcl/win.h"
#include "vcl/classes.h"
#include "vcl/controls.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"
#include "vcl/menus.h"
#include "vcl/messages.h"
#include "vcl/timers.h"
#include "vcl/wintext.h"
#include "vcl/stdctrls.h"
#include "vcl/extctrls.h"
#include "vcl/grids.h"
