// The program's one version: the version resource, the status bar, the
// about box and the installer all take it from here.
#pragma once

#define CLEARVANE_VERSION_MAJOR 3
#define CLEARVANE_VERSION_TEXT "3.0.0.0"
#define CLEARVANE_VERSION_COMMAS 3, 0, 0, 0
