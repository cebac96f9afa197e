// IDS_ names of the shell extension's strings (4000 to 4005); the texts stand beside them
// in resources/shellext_strings.inc.
#pragma once

#define STR(id, text)
#include "resources/shellext_strings.inc"
#undef STR
