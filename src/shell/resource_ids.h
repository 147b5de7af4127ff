/* Resource and control identifiers, shared by the resource script and the code.
   Plain #defines so that the resource compiler can read this file too. */
#pragma once

/* Icon group 100: the program's icon in the task bar and the window class. */
#define IconSetup 100

/* Dialog template 100: the install dialog. */
#define DialogInstall 100
#define ControlTargetDir 101 /* edit: the target directory */
#define ControlProgress 102  /* static: the name of the entry being unpacked */

/* The command the backdrop posts to itself to open the install dialog. */
#define CommandOpenDialog 100
