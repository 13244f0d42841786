#pragma once
// The long rate history is made with the other rate files (Kursdateien.h).
#include "kurse/Kursdateien.h"
