// The program's windows, created once at start in a fixed order.
#pragma once

// Creates all 30 windows into their form variables; the first becomes the
// main window. Each window's creation event runs as it is made.
void CreateProgramForms();
