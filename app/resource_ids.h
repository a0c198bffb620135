// Ids of the resources in velmora.rc, shared by the script and the code that loads them.
// Plain macros: the resource compiler reads this file too.
#pragma once

// The program icon; the lowest id, so it is the one Explorer shows for Velmora.exe.
#define VELMORA_IDI_APP 1
