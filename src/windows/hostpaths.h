// Paths of the program ("Z:\games\logs\x.txt", "C:\users\me\cords.ini",
// "lang.dat") as the host's C library needs them, whatever drive letter the
// working folder sits on and whatever letters its names are written in.
#pragma once

// Installs the mapping into the text-file layer; once, before any file is read.
void InstallHostPaths();
