// IDS_ names of the program's strings for code that loads a text by id. The names and
// numbers stand in resources/strings.inc next to their texts; STR is empty here so that
// only the #defines remain.
#pragma once

#define STR(id, text)
#include "resources/strings.inc"
#undef STR
