/* Resource numbers shared by the resource script and the program. */
#pragma once

#define IDI_BELL 1
#define IDI_BELL_MUTED 2

/* Whole BMP files. */
#define IDB_MUTE_OFF 1 /* the bell: "Mute Bells" while the bells ring */
#define IDB_MUTE_ON 2  /* the bell behind a prohibition sign: while muted */
#define IDB_QUIT 101
#define IDB_TEST_BELLS 102
#define IDB_PARAMETERS 103
#define IDB_MUTE_LAYOUT 104
#define IDB_CLOCKS 105
